// The Adler-32 checksum that ends a zlib stream, sixteen bytes at a time
// with SSE2 where the build has it: zlib's own loop takes a byte at a time
// and cost as much as our whole coder on a 24-megapixel mask.
#ifndef LUMACUT_HOST_ADLER32_H
#define LUMACUT_HOST_ADLER32_H

#include <cstddef>
#include <cstdint>

// The checksum of `bytes` bytes continued from `adler` (1 for a fresh
// stream), as zlib's adler32 gives it.
uint32_t Adler32(uint32_t adler, const uint8_t* data, std::size_t bytes);
// The byte loop alone, for tests and targets without SSE2.
uint32_t Adler32Scalar(uint32_t adler, const uint8_t* data, std::size_t bytes);

#endif
