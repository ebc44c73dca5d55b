// Runs a row-wise pixel pass over bands of rows on every core. Small images
// stay on the calling thread: starting a thread costs more than they do.
#ifndef LUMACUT_HOST_ROW_BANDS_H
#define LUMACUT_HOST_ROW_BANDS_H

#include <cstddef>
#include <functional>

// Calls pass(firstRow, endRow) for disjoint bands that together cover
// [0, rows); returns when every band is done. pass must not throw.
void ForEachRowBand(int rows, std::size_t pixelsPerRow, const std::function<void(int, int)>& pass);

// The number of threads a large pass uses (1 when threads are switched off).
unsigned RowBandThreads();
// Lets a benchmark or a test compare with a single thread: 0 restores the
// machine's count.
void SetRowBandThreads(unsigned threads);

#endif
