#include "RowBands.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

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

void ForEachRowBand(int rows, std::size_t pixelsPerRow, const std::function<void(int, int)>& pass) {
    if (rows <= 0) return;
    const std::size_t pixels = static_cast<std::size_t>(rows) * pixelsPerRow;
    unsigned bands = RowBandThreads();
    bands = static_cast<unsigned>(std::min<std::size_t>(bands, std::max<std::size_t>(1, pixels / kPixelsWorthAThread)));
    bands = std::min(bands, static_cast<unsigned>(rows));
    if (bands <= 1) {
        pass(0, rows);
        return;
    }
    std::vector<std::thread> helpers;
    helpers.reserve(bands - 1);
    auto bandStart = [&](unsigned band) { return static_cast<int>(static_cast<long long>(rows) * band / bands); };
    // If a thread cannot be started, the bands not handed out run here.
    unsigned handedOut = 1;
    try {
        for (; handedOut < bands; ++handedOut)
            helpers.emplace_back(pass, bandStart(handedOut), bandStart(handedOut + 1));
    } catch (...) {
    }
    pass(bandStart(0), bandStart(1));
    for (unsigned band = handedOut; band < bands; ++band) pass(bandStart(band), bandStart(band + 1));
    for (std::thread& helper : helpers) helper.join();
}
