#include "Adler32.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
constexpr uint32_t kBase = 65521;
// The most bytes after which both sums, reduced before, still fit 32 bits.
constexpr std::size_t kMaxRun = 5552;
}  // namespace

uint32_t Adler32Scalar(uint32_t adler, const uint8_t* data, std::size_t bytes) {
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
    while (bytes > 0) {
        const std::size_t run = std::min(bytes, kMaxRun);
        for (std::size_t i = 0; i < run; ++i) {
            a += data[i];
            b += a;
        }
        a %= kBase;
        b %= kBase;
        data += run;
        bytes -= run;
    }
    return (b << 16) | a;
}

#if defined(__SSE2__)
namespace {
uint64_t Sum32(__m128i v) {
    alignas(16) uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), v);
    return uint64_t{lanes[0]} + lanes[1] + lanes[2] + lanes[3];
}
}  // namespace

// For m vectors of 16 bytes after a and b: a grows by every byte, and b by
// 16 m a, plus each vector's bytes weighted 16 down to 1, plus 16 times the
// bytes of every vector before it (what a held when that vector began).
uint32_t Adler32(uint32_t adler, const uint8_t* data, std::size_t bytes) {
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
    const __m128i zero = _mm_setzero_si128();
    const __m128i weightsHigh = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
    const __m128i weightsLow = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
    while (bytes >= 16) {
        const std::size_t vectors = std::min(bytes, kMaxRun / 16 * 16) / 16;
        __m128i sums = zero, earlier = zero, weighted = zero;
        for (std::size_t v = 0; v < vectors; ++v) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * v));
            earlier = _mm_add_epi32(earlier, sums);
            sums = _mm_add_epi32(sums, _mm_sad_epu8(x, zero));
            weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(x, zero), weightsHigh));
            weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(x, zero), weightsLow));
        }
        const uint64_t newB = b + 16 * vectors * uint64_t{a} + 16 * Sum32(earlier) + Sum32(weighted);
        a = static_cast<uint32_t>((a + Sum32(sums)) % kBase);
        b = static_cast<uint32_t>(newB % kBase);
        data += 16 * vectors;
        bytes -= 16 * vectors;
    }
    return Adler32Scalar((b << 16) | a, data, bytes);
}
#else
uint32_t Adler32(uint32_t adler, const uint8_t* data, std::size_t bytes) { return Adler32Scalar(adler, data, bytes); }
#endif
