// Paeth's prediction for a vector of bytes at once, for any vector width:
// written once here, instantiated for SSE2 in PngFilter.cpp and for AVX2 in
// PngFilterAvx2.cpp (the one file built for AVX2), each with its own
// `Lanes` in an unnamed namespace, so no code built for AVX2 is shared with
// code that runs without it.
//
// Paeth picks left (a), above (b) or above-left (c), whichever is nearest
// to a + b - c; its distances are |b - c|, |a - c| and |a + b - 2c|. Only
// their order matters, so every lane stays a byte: the third is the sum of
// the other two where b - c and a - c have one sign, and the difference of
// them where not; a sum saturated at 255 is still no smaller than either,
// which is all the comparisons ask. Ties go to a, then b, as in the byte
// loop.
#ifndef LUMACUT_HOST_PAETH_LANES_H
#define LUMACUT_HOST_PAETH_LANES_H

#include <cstddef>
#include <cstdint>

// Lanes: V, kBytes, Load, Store, Zero, SubtractSaturated, AddSaturated,
// Subtract, Equal, And, AndNot (~x & y), Or, Xor. The intrinsics of a
// width differ only in their prefix (_mm, _mm256) and the bits of their
// whole-vector operations (si128, si256), so one macro names them all:
// LUMACUT_BYTE_LANES(Name, , 128) for SSE2, (Name, 256, 256) for AVX2.
#define LUMACUT_BYTE_LANES(Name, Width, Bits)                                                                     \
    struct Name {                                                                                                 \
        using V = __m##Bits##i;                                                                                   \
        static constexpr std::size_t kBytes = Bits / 8;                                                           \
        static V Load(const uint8_t* at) { return _mm##Width##_loadu_si##Bits(reinterpret_cast<const V*>(at)); } \
        static void Store(uint8_t* at, V x) { _mm##Width##_storeu_si##Bits(reinterpret_cast<V*>(at), x); }       \
        static V Zero() { return _mm##Width##_setzero_si##Bits(); }                                               \
        static V SubtractSaturated(V x, V y) { return _mm##Width##_subs_epu8(x, y); }                             \
        static V AddSaturated(V x, V y) { return _mm##Width##_adds_epu8(x, y); }                                  \
        static V Subtract(V x, V y) { return _mm##Width##_sub_epi8(x, y); }                                       \
        static V Equal(V x, V y) { return _mm##Width##_cmpeq_epi8(x, y); }                                        \
        static V And(V x, V y) { return _mm##Width##_and_si##Bits(x, y); }                                        \
        static V AndNot(V x, V y) { return _mm##Width##_andnot_si##Bits(x, y); }                                  \
        static V Or(V x, V y) { return _mm##Width##_or_si##Bits(x, y); }                                          \
        static V Xor(V x, V y) { return _mm##Width##_xor_si##Bits(x, y); }                                        \
    }

template <class Lanes>
typename Lanes::V PaethChoice(typename Lanes::V a, typename Lanes::V b, typename Lanes::V c) {
    using V = typename Lanes::V;
    const auto distance = [](V x, V y) {
        return Lanes::Or(Lanes::SubtractSaturated(x, y), Lanes::SubtractSaturated(y, x));
    };
    const auto atMost = [](V x, V y) { return Lanes::Equal(Lanes::SubtractSaturated(x, y), Lanes::Zero()); };
    const V toA = distance(b, c), toB = distance(a, c);
    const V signsDiffer = Lanes::Xor(atMost(c, b), atMost(c, a));
    const V toC = Lanes::Or(Lanes::AndNot(signsDiffer, Lanes::AddSaturated(toA, toB)),
                            Lanes::And(signsDiffer, distance(toA, toB)));
    const V pickA = Lanes::And(atMost(toA, toB), atMost(toA, toC));
    const V pickB = atMost(toB, toC);
    const V bOrC = Lanes::Or(Lanes::And(pickB, b), Lanes::AndNot(pickB, c));
    return Lanes::Or(Lanes::And(pickA, a), Lanes::AndNot(pickA, bOrC));
}

// The residues of whole vectors from `from` (at least one pixel in) while
// they fit in `bytes`; returns where it stopped.
template <class Lanes>
std::size_t PaethVectors(const uint8_t* row, const uint8_t* above, std::size_t from, std::size_t bytes,
                         std::size_t step, uint8_t* out) {
    std::size_t i = from;
    for (; i + Lanes::kBytes <= bytes; i += Lanes::kBytes) {
        const auto choice = PaethChoice<Lanes>(Lanes::Load(row + i - step), Lanes::Load(above + i),
                                               Lanes::Load(above + i - step));
        Lanes::Store(out + i, Lanes::Subtract(Lanes::Load(row + i), choice));
    }
    return i;
}

#endif
