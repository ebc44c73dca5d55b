// The Paeth residues 32 bytes at a time. Only this file is built for AVX2,
// and it holds nothing but its lanes, so that no code built for AVX2 can be
// picked where another file asked for the same inline function: the filter
// calls it only on a CPU that has AVX2.
#include "PngFilterAvx2.h"

#include "PaethLanes.h"

#if defined(__AVX2__)
#include <immintrin.h>

namespace {
LUMACUT_BYTE_LANES(Avx2Lanes, 256, 256);
}  // namespace

bool PaethAvx2Built() { return true; }

std::size_t PaethVectorsAvx2(const uint8_t* row, const uint8_t* above, std::size_t from, std::size_t bytes,
                             std::size_t step, uint8_t* out) {
    return PaethVectors<Avx2Lanes>(row, above, from, bytes, step, out);
}
#else
bool PaethAvx2Built() { return false; }

std::size_t PaethVectorsAvx2(const uint8_t*, const uint8_t*, std::size_t from, std::size_t, std::size_t, uint8_t*) {
    return from;
}
#endif
