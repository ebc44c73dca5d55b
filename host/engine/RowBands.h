// Runs a row-wise pixel pass over bands of rows on every core. Small images
// stay on the calling thread: starting a thread costs more than they do.
#ifndef LUMACUT_HOST_ROW_BANDS_H
#define LUMACUT_HOST_ROW_BANDS_H

#include <cstddef>
#include <functional>
#include <vector>

struct RowBand {
    int begin;
    int end;
};

// Disjoint bands that together cover [0, rows), one per thread the pass
// will use; none for rows <= 0.
std::vector<RowBand> PlanRowBands(int rows, std::size_t pixelsPerRow);

// Calls pass(band index, first row, end row) for every band, on the calling
// thread and on helper threads that are started once and kept; returns
// when all are done. Calls may come from several threads at once: each
// caller works through its own bands too, so none waits on busy helpers.
// pass must not throw: whatever it needs to allocate is allocated before,
// per band.
void RunRowBands(const std::vector<RowBand>& bands, const std::function<void(std::size_t, int, int)>& pass);

// Both at once, for passes that need nothing per band.
void ForEachRowBand(int rows, std::size_t pixelsPerRow, const std::function<void(int, int)>& pass);

// The number of threads a large pass uses (1 when threads are switched off).
unsigned RowBandThreads();
// Lets a benchmark or a test compare with a single thread: 0 restores the
// machine's count.
void SetRowBandThreads(unsigned threads);

#endif
