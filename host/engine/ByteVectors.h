// Sixteen pixels at a time with GCC's vector extensions: the compiler emits
// SSE2 where the target has it and plain byte loops where it does not, so
// the native and the 32-bit Windows builds compute the same levels from one
// source. Only for the engine's .cpp files: these helpers never cross a
// library boundary, which is why the ABI note about vector arguments on
// targets without SSE does not concern them.
#ifndef LUMACUT_HOST_BYTE_VECTORS_H
#define LUMACUT_HOST_BYTE_VECTORS_H

#include <cstdint>
#include <cstring>

#pragma GCC diagnostic ignored "-Wpsabi"

namespace bytes16 {
typedef uint8_t Vec __attribute__((vector_size(16)));
typedef uint8_t Half __attribute__((vector_size(8)));
typedef uint16_t Wide __attribute__((vector_size(16)));

constexpr int kLanes = 16;

inline Vec Load(const uint8_t* p) {
    Vec v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void Store(uint8_t* p, Vec v) { std::memcpy(p, &v, sizeof v); }
inline Vec Splat(uint8_t level) { return Vec{} + level; }
inline Vec Min(Vec a, Vec b) { return a < b ? a : b; }
inline Vec Max(Vec a, Vec b) { return a > b ? a : b; }
// The middle one of three, lane by lane.
inline Vec Median3(Vec a, Vec b, Vec c) { return Max(Min(a, b), Min(Max(a, b), c)); }

inline Wide LoadWide(const uint8_t* p) {
    Half h;
    std::memcpy(&h, p, sizeof h);
    return __builtin_convertvector(h, Wide);
}
inline void StoreNarrow(uint8_t* p, Wide w) {
    const Half h = __builtin_convertvector(w, Half);
    std::memcpy(p, &h, sizeof h);
}
}  // namespace bytes16

#endif
