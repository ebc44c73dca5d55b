#include "LevelLookup.h"

#include <cstring>

#include "WideVectors.h"

#if defined(LUMACUT_WIDE_VECTORS)
#include <immintrin.h>
#endif

namespace {
void LookUpLevelsByteByByte(const uint8_t* from, uint8_t* to, std::size_t count, const LevelTable& table) {
    const LevelTable local = table;  // a private copy keeps the lookups in this core's cache
    std::size_t i = 0;
    // Eight bytes read and written at once: the loads and stores of the
    // byte loop, not the lookups, are what bound it.
    for (; i + 8 <= count; i += 8) {
        uint64_t in;
        std::memcpy(&in, from + i, 8);
        uint64_t out = 0;
        for (int b = 0; b < 8; ++b) out |= uint64_t{local[(in >> (8 * b)) & 0xFF]} << (8 * b);
        std::memcpy(to + i, &out, 8);
    }
    for (; i < count; ++i) to[i] = local[from[i]];
}

#if defined(LUMACUT_WIDE_VECTORS)
LUMACUT_WIDE_TARGET void LookUpWide(const uint8_t* from, uint8_t* to, std::size_t count, const LevelTable& table) {
    const __m512i levels0 = _mm512_loadu_si512(table.data());
    const __m512i levels64 = _mm512_loadu_si512(table.data() + 64);
    const __m512i levels128 = _mm512_loadu_si512(table.data() + 128);
    const __m512i levels192 = _mm512_loadu_si512(table.data() + 192);
    std::size_t i = 0;
    for (; i + 64 <= count; i += 64) {
        const __m512i in = _mm512_loadu_si512(from + i);
        // Each lookup takes the low seven bits; the top bit picks the half.
        const __m512i low = _mm512_permutex2var_epi8(levels0, in, levels64);
        const __m512i high = _mm512_permutex2var_epi8(levels128, in, levels192);
        _mm512_storeu_si512(to + i, _mm512_mask_blend_epi8(_mm512_movepi8_mask(in), low, high));
    }
    if (i < count) LookUpLevelsByteByByte(from + i, to + i, count - i, table);
}
#endif
}  // namespace

void LookUpLevels(const uint8_t* from, uint8_t* to, std::size_t count, const LevelTable& table) {
#if defined(LUMACUT_WIDE_VECTORS)
    if (WideVectors()) {
        LookUpWide(from, to, count, table);
        return;
    }
#endif
    LookUpLevelsByteByByte(from, to, count, table);
}
