#include "PngFilter.h"

#include <cstdlib>
#include <cstring>

#include "PaethLanes.h"
#include "PngFilterAvx2.h"

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
            PaethResiduesAvx2(row, above, bytes, step, to);
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

namespace {
#if defined(__SSE2__)
LUMACUT_BYTE_LANES(Sse2Lanes, , 128);
#endif

std::size_t PaethVectorsSse2(const uint8_t* row, const uint8_t* above, std::size_t from, std::size_t bytes,
                             std::size_t step, uint8_t* out) {
#if defined(__SSE2__)
    return PaethVectors<Sse2Lanes>(row, above, from, bytes, step, out);
#else
    (void)row, (void)above, (void)bytes, (void)step, (void)out;
    return from;
#endif
}

// The first pixel as Up, whole vectors of the widest loop given, what is
// left sixteen bytes at a time, then the last bytes one by one.
using PaethLoop = std::size_t (*)(const uint8_t*, const uint8_t*, std::size_t, std::size_t, std::size_t, uint8_t*);
void PaethResiduesWith(PaethLoop widest, const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step,
                       uint8_t* out) {
    const std::size_t first = FirstPixel(bytes, step);
    for (std::size_t i = 0; i < first; ++i) out[i] = static_cast<uint8_t>(row[i] - above[i]);
    const std::size_t wide = widest(row, above, first, bytes, step, out);
    PaethFrom(PaethVectorsSse2(row, above, wide, bytes, step, out), row, above, bytes, step, out);
}
}  // namespace

#if defined(__SSE2__)
bool HavePaethResiduesSse2() { return true; }
#else
bool HavePaethResiduesSse2() { return false; }
#endif

void PaethResiduesSse2(const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step, uint8_t* out) {
    PaethResiduesWith(PaethVectorsSse2, row, above, bytes, step, out);
}

bool HavePaethResiduesAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool have = PaethAvx2Built() && __builtin_cpu_supports("avx2");
    return have;
#else
    return false;
#endif
}

void PaethResiduesAvx2(const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step, uint8_t* out) {
    PaethResiduesWith(HavePaethResiduesAvx2() ? PaethVectorsAvx2 : PaethVectorsSse2, row, above, bytes, step, out);
}

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
