#include "RowBands.h"

#include <algorithm>
#include <atomic>
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

void RunRowBands(const std::vector<RowBand>& bands, const std::function<void(std::size_t, int, int)>& pass) {
    std::vector<std::thread> helpers;
    std::size_t handedOut = 1;
    // If a thread cannot be started, the bands not handed out run here.
    try {
        helpers.reserve(bands.size());
        for (; handedOut < bands.size(); ++handedOut)
            helpers.emplace_back(pass, handedOut, bands[handedOut].begin, bands[handedOut].end);
    } catch (...) {
    }
    for (std::size_t band = 0; band < bands.size(); ++band) {
        if (band != 0 && band < handedOut) continue;
        pass(band, bands[band].begin, bands[band].end);
    }
    for (std::thread& helper : helpers) helper.join();
}

void ForEachRowBand(int rows, std::size_t pixelsPerRow, const std::function<void(int, int)>& pass) {
    RunRowBands(PlanRowBands(rows, pixelsPerRow), [&](std::size_t, int begin, int end) { pass(begin, end); });
}
