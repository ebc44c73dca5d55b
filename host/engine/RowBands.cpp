#include "RowBands.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "host/common/CheckedSize.h"

namespace {
// Below this many pixels a pass finishes before a thread would have started.
constexpr std::size_t kPixelsWorthAThread = std::size_t{1} << 17;
constexpr unsigned kMostThreads = 16;

std::atomic<unsigned> chosenThreads{0};

unsigned MachineThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(cores, 1u, kMostThreads);
}
}  // namespace

unsigned RowBandThreads() {
    const unsigned chosen = chosenThreads.load();
    return chosen != 0 ? chosen : MachineThreads();
}

void SetRowBandThreads(unsigned threads) { chosenThreads.store(std::min(threads, kMostThreads)); }

std::vector<RowBand> PlanRowBands(int rows, std::size_t pixelsPerRow) {
    std::vector<RowBand> bands;
    if (rows <= 0) return bands;
    const uint64_t pixels = Product64(static_cast<uint64_t>(rows), pixelsPerRow);
    std::size_t count = static_cast<std::size_t>(
        std::min<uint64_t>(RowBandThreads(), std::max<uint64_t>(1, pixels / kPixelsWorthAThread)));
    count = std::min<std::size_t>(count, static_cast<std::size_t>(rows));
    for (std::size_t band = 0; band < count; ++band)
        bands.push_back({static_cast<int>(static_cast<long long>(rows) * band / count),
                         static_cast<int>(static_cast<long long>(rows) * (band + 1) / count)});
    return bands;
}

namespace {
// One call's bands, claimed one at a time by whichever thread gets there
// first: the caller itself, or any of the helpers.
struct BandJob {
    const std::vector<RowBand>* bands;
    const std::function<void(std::size_t, int, int)>* pass;
    std::size_t next = 0;      // the first band not yet claimed
    std::size_t finished = 0;  // bands done
};

// Helper threads started once and kept for the life of the process: a
// thread costs far more to start than a band of a large pass takes (under
// Wine, milliseconds), and the passes of one mask's run come one after
// another.
class Helpers {
public:
    // Queues the job and makes sure up to `wanted` helpers exist; false
    // when not one could be started, and then nothing is queued.
    bool Offer(BandJob& job, std::size_t wanted) {
        std::lock_guard<std::mutex> hold(lock_);
        try {
            while (threads_ < wanted) {
                std::thread(&Helpers::Serve, this).detach();
                ++threads_;
            }
        } catch (...) {
            // Fewer helpers than wanted still take bands; none cannot.
        }
        if (threads_ == 0) return false;
        try {
            jobs_.push_back(&job);
        } catch (...) {
            return false;
        }
        wake_.notify_all();
        return true;
    }

    // Runs the job's unclaimed bands on the calling thread, then waits for
    // those the helpers took.
    void Finish(BandJob& job) {
        std::unique_lock<std::mutex> hold(lock_);
        while (job.next < job.bands->size()) RunOne(job, hold);
        done_.wait(hold, [&] { return job.finished == job.bands->size(); });
    }

private:
    void RunOne(BandJob& job, std::unique_lock<std::mutex>& hold) {
        const std::size_t band = job.next++;
        if (job.next == job.bands->size()) Forget(job);
        hold.unlock();
        (*job.pass)(band, (*job.bands)[band].begin, (*job.bands)[band].end);
        hold.lock();
        if (++job.finished == job.bands->size()) done_.notify_all();
    }

    void Forget(BandJob& job) {
        for (std::size_t i = 0; i < jobs_.size(); ++i)
            if (jobs_[i] == &job) {
                jobs_.erase(jobs_.begin() + static_cast<std::ptrdiff_t>(i));
                return;
            }
    }

    void Serve() {
        std::unique_lock<std::mutex> hold(lock_);
        for (;;) {
            wake_.wait(hold, [&] { return !jobs_.empty(); });
            RunOne(*jobs_.front(), hold);
        }
    }

    std::mutex lock_;
    std::condition_variable wake_, done_;
    std::vector<BandJob*> jobs_;  // jobs with bands still to claim, oldest first
    std::size_t threads_ = 0;
};

// Never destroyed: its threads wait on it until the process ends.
Helpers& TheHelpers() {
    static Helpers* helpers = new Helpers;
    return *helpers;
}
}  // namespace

void RunRowBands(const std::vector<RowBand>& bands, const std::function<void(std::size_t, int, int)>& pass) {
    BandJob job{&bands, &pass};
    if (bands.size() > 1 && TheHelpers().Offer(job, bands.size() - 1)) {
        TheHelpers().Finish(job);
        return;
    }
    // One band, or no helper to be had: all of them here.
    for (std::size_t band = 0; band < bands.size(); ++band) pass(band, bands[band].begin, bands[band].end);
}

void ForEachRowBand(int rows, std::size_t pixelsPerRow, const std::function<void(int, int)>& pass) {
    RunRowBands(PlanRowBands(rows, pixelsPerRow), [&](std::size_t, int begin, int end) { pass(begin, end); });
}
