// Sizes and offsets that cannot wrap. On 32-bit Windows size_t and long are
// 32 bits, so width x height or offset + length taken in them can wrap to a
// small number that then passes every limit. These take the counts in 64
// bits, and a result too large even for that saturates, so a comparison
// with any limit still refuses it; a count is narrowed to size_t only once
// it is known to fit.
#ifndef LUMACUT_HOST_CHECKED_SIZE_H
#define LUMACUT_HOST_CHECKED_SIZE_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>

constexpr uint64_t kSaturated = std::numeric_limits<uint64_t>::max();

// a * b (* c), or kSaturated when the product does not fit in 64 bits.
constexpr uint64_t Product64(uint64_t a, uint64_t b) {
    uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? kSaturated : product;
}
constexpr uint64_t Product64(uint64_t a, uint64_t b, uint64_t c) { return Product64(Product64(a, b), c); }

// a + b, or kSaturated when the sum does not fit in 64 bits.
constexpr uint64_t Sum64(uint64_t a, uint64_t b) { return a > kSaturated - b ? kSaturated : a + b; }

// True when `length` items from `offset` lie inside `size` items.
constexpr bool RangeInside(uint64_t offset, uint64_t length, uint64_t size) {
    return offset <= size && length <= size - offset;
}

// A count fit to allocate or index with; throws std::length_error where
// this process's size_t (or the largest array it may make) cannot hold it.
inline std::size_t SizeFor(uint64_t count) {
    if (count > static_cast<uint64_t>(std::numeric_limits<std::ptrdiff_t>::max()))
        throw std::length_error("a size larger than this process can address");
    return static_cast<std::size_t>(count);
}

#endif
