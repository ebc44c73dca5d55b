// The Paeth residues 32 bytes at a time. Only this file is built for AVX2,
// and it holds nothing but its lanes, so that no code built for AVX2 can be
// picked where another file asked for the same inline function: the filter
// calls it only on a CPU that has AVX2.
#include "PngFilterAvx2.h"

#include "PaethLanes.h"

#if defined(__AVX2__)
#include <immintrin.h>

namespace {
struct Avx2Lanes {
    using V = __m256i;
    static constexpr std::size_t kBytes = 32;
    static V Load(const uint8_t* at) { return _mm256_loadu_si256(reinterpret_cast<const V*>(at)); }
    static void Store(uint8_t* at, V x) { _mm256_storeu_si256(reinterpret_cast<V*>(at), x); }
    static V Zero() { return _mm256_setzero_si256(); }
    static V SubtractSaturated(V x, V y) { return _mm256_subs_epu8(x, y); }
    static V AddSaturated(V x, V y) { return _mm256_adds_epu8(x, y); }
    static V Subtract(V x, V y) { return _mm256_sub_epi8(x, y); }
    static V Equal(V x, V y) { return _mm256_cmpeq_epi8(x, y); }
    static V And(V x, V y) { return _mm256_and_si256(x, y); }
    static V AndNot(V x, V y) { return _mm256_andnot_si256(x, y); }
    static V Or(V x, V y) { return _mm256_or_si256(x, y); }
    static V Xor(V x, V y) { return _mm256_xor_si256(x, y); }
};
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
