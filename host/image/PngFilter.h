// PNG's row filters: each byte of a row stored as its difference from a
// prediction made of the bytes left of it and above it, which a decoder
// undoes. Smooth masks become long runs of small residues that deflate well.
#ifndef LUMACUT_HOST_PNG_FILTER_H
#define LUMACUT_HOST_PNG_FILTER_H

#include <cstddef>
#include <cstdint>
#include <vector>

// The row filters PNG defines, and the per-row choice of the one whose
// output has the smallest sum of magnitudes (the usual heuristic of PNG
// encoders), so that settings can be compared on real masks.
enum class PngFilter { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4, Adaptive = 5 };

// Filters `bytes` bytes of `row` into out[1..bytes], with the filter's type
// byte in out[0]. `above` is the row before (zeros for the first row) and
// `step` the bytes of a pixel; bytes left of the row count as zero, as PNG
// decoders assume. Adaptive tries every filter in `scratch` (resized as
// needed) and keeps the smallest.
void FilterPngRow(PngFilter filter, const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step,
                  uint8_t* out, std::vector<uint8_t>& scratch);

// The Paeth residues alone (no type byte), byte by byte and, where the
// target has them, sixteen (SSE2) or 32 (AVX2) bytes at a time; all give
// the same bytes. FilterPngRow uses the fastest this build and CPU have.
void PaethResiduesScalar(const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step, uint8_t* out);
bool HavePaethResiduesSse2();
// Falls back to the scalar loop where the build has no SSE2.
void PaethResiduesSse2(const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step, uint8_t* out);
bool HavePaethResiduesAvx2();
// Falls back to PaethResiduesSse2 where the build or the CPU has no AVX2.
void PaethResiduesAvx2(const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step, uint8_t* out);

#endif
