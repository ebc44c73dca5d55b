#include "PngFilter.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
uint8_t Paeth(int left, int above, int aboveLeft) {
    const int estimate = left + above - aboveLeft;
    const int toLeft = std::abs(estimate - left), toAbove = std::abs(estimate - above),
              toAboveLeft = std::abs(estimate - aboveLeft);
    if (toLeft <= toAbove && toLeft <= toAboveLeft) return static_cast<uint8_t>(left);
    return static_cast<uint8_t>(toAbove <= toAboveLeft ? above : aboveLeft);
}

// The bytes of a row's first pixel have nothing to their left: Paeth's
// prediction there is the byte above, as with Up.
std::size_t FirstPixel(std::size_t bytes, std::size_t step) { return step < bytes ? step : bytes; }

void PaethFrom(std::size_t begin, const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step,
               uint8_t* out) {
    for (std::size_t i = begin; i < bytes; ++i)
        out[i] = static_cast<uint8_t>(row[i] - Paeth(row[i - step], above[i], above[i - step]));
}

unsigned long long Magnitude(const uint8_t* filtered, std::size_t bytes) {
    unsigned long long sum = 0;
    for (std::size_t i = 0; i < bytes; ++i) sum += filtered[i] < 128 ? filtered[i] : 256 - filtered[i];
    return sum;
}

void FilterOne(PngFilter filter, const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step,
               uint8_t* out) {
    out[0] = static_cast<uint8_t>(filter);
    uint8_t* to = out + 1;
    const std::size_t first = FirstPixel(bytes, step);
    switch (filter) {
        case PngFilter::Sub:
            std::memcpy(to, row, first);
            for (std::size_t i = first; i < bytes; ++i) to[i] = static_cast<uint8_t>(row[i] - row[i - step]);
            break;
        case PngFilter::Up:
            for (std::size_t i = 0; i < bytes; ++i) to[i] = static_cast<uint8_t>(row[i] - above[i]);
            break;
        case PngFilter::Average:
            for (std::size_t i = 0; i < first; ++i) to[i] = static_cast<uint8_t>(row[i] - above[i] / 2);
            for (std::size_t i = first; i < bytes; ++i)
                to[i] = static_cast<uint8_t>(row[i] - (row[i - step] + above[i]) / 2);
            break;
        case PngFilter::Paeth:
            PaethResiduesSse2(row, above, bytes, step, to);
            break;
        default:
            std::memcpy(to, row, bytes);
            break;
    }
}
}  // namespace

void PaethResiduesScalar(const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step, uint8_t* out) {
    const std::size_t first = FirstPixel(bytes, step);
    for (std::size_t i = 0; i < first; ++i) out[i] = static_cast<uint8_t>(row[i] - above[i]);
    PaethFrom(first, row, above, bytes, step, out);
}

#if defined(__SSE2__)
bool HavePaethResiduesSse2() { return true; }

// Paeth picks left (a), above (b) or above-left (c), whichever is nearest
// to a + b - c; its distances are |b - c|, |a - c| and |a + b - 2c|. Only
// their order matters, so all sixteen lanes stay in bytes: the third is the
// sum of the other two where b - c and a - c have one sign, and the
// difference of them where not; a sum saturated at 255 is still no smaller
// than either, which is all the comparisons ask. Ties go to a, then b, as
// in the scalar loop.
namespace {
__m128i AbsoluteDifference(__m128i x, __m128i y) { return _mm_or_si128(_mm_subs_epu8(x, y), _mm_subs_epu8(y, x)); }
__m128i AtMost(__m128i x, __m128i y) { return _mm_cmpeq_epi8(_mm_subs_epu8(x, y), _mm_setzero_si128()); }

__m128i PaethChoice(__m128i a, __m128i b, __m128i c) {
    const __m128i toA = AbsoluteDifference(b, c), toB = AbsoluteDifference(a, c);
    const __m128i signsDiffer = _mm_xor_si128(AtMost(c, b), AtMost(c, a));
    const __m128i toC = _mm_or_si128(_mm_andnot_si128(signsDiffer, _mm_adds_epu8(toA, toB)),
                                     _mm_and_si128(signsDiffer, AbsoluteDifference(toA, toB)));
    const __m128i pickA = _mm_and_si128(AtMost(toA, toB), AtMost(toA, toC));
    const __m128i pickB = AtMost(toB, toC);
    const __m128i bOrC = _mm_or_si128(_mm_and_si128(pickB, b), _mm_andnot_si128(pickB, c));
    return _mm_or_si128(_mm_and_si128(pickA, a), _mm_andnot_si128(pickA, bOrC));
}
}  // namespace

void PaethResiduesSse2(const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step, uint8_t* out) {
    const std::size_t first = FirstPixel(bytes, step);
    for (std::size_t i = 0; i < first; ++i) out[i] = static_cast<uint8_t>(row[i] - above[i]);
    std::size_t i = first;
    for (; i + 16 <= bytes; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i - step));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + i));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + i - step));
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_sub_epi8(x, PaethChoice(a, b, c)));
    }
    PaethFrom(i, row, above, bytes, step, out);
}
#else
bool HavePaethResiduesSse2() { return false; }

void PaethResiduesSse2(const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step, uint8_t* out) {
    PaethResiduesScalar(row, above, bytes, step, out);
}
#endif

void FilterPngRow(PngFilter filter, const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step,
                  uint8_t* out, std::vector<uint8_t>& scratch) {
    if (filter != PngFilter::Adaptive) {
        FilterOne(filter, row, above, bytes, step, out);
        return;
    }
    scratch.resize(bytes + 1);
    unsigned long long best = ~0ull;
    for (PngFilter each : {PngFilter::None, PngFilter::Sub, PngFilter::Up, PngFilter::Average, PngFilter::Paeth}) {
        FilterOne(each, row, above, bytes, step, scratch.data());
        const unsigned long long magnitude = Magnitude(scratch.data() + 1, bytes);
        if (magnitude < best) {
            best = magnitude;
            std::memcpy(out, scratch.data(), bytes + 1);
        }
    }
}
