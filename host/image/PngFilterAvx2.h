// The Paeth filter's AVX2 half, kept apart: see PngFilterAvx2.cpp.
#ifndef LUMACUT_HOST_PNG_FILTER_AVX2_H
#define LUMACUT_HOST_PNG_FILTER_AVX2_H

#include <cstddef>
#include <cstdint>

// Whether this build has the AVX2 loop (x86 builds do).
bool PaethAvx2Built();

// PaethVectors (PaethLanes.h) 32 bytes at a time; `from` untouched where
// the build has no AVX2. Only for a CPU that has it.
std::size_t PaethVectorsAvx2(const uint8_t* row, const uint8_t* above, std::size_t from, std::size_t bytes,
                             std::size_t step, uint8_t* out);

#endif
