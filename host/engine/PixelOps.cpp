#include "PixelOps.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "ByteVectors.h"
#include "host/common/CheckedSize.h"
#include "LevelLookup.h"
#include "RowBands.h"
#include "WideVectors.h"

#if defined(LUMACUT_WIDE_VECTORS)
#include <immintrin.h>
#endif

using namespace bytes16;

namespace {
// Scratch rows hold a row with one repeated pixel on each side, padded to
// whole vectors of the widest kind plus one more, so that a pass can always
// read and write full vectors; the lanes past the row are never stored.
constexpr std::size_t kWidestLanes = 64;
std::size_t PaddedLength(int width) {
    return (static_cast<std::size_t>(width) + 2 + kWidestLanes - 1) / kWidestLanes * kWidestLanes + kWidestLanes;
}

void CheckSameSize(const Plane& a, const Plane& b) {
    if (a.Empty() || b.Empty() || a.Width() != b.Width() || a.Height() != b.Height())
        throw std::invalid_argument("planes of different sizes");
}
}  // namespace

Plane Luminosity(const Plane& red, const Plane& green, const Plane& blue) {
    CheckSameSize(red, green);
    CheckSameSize(red, blue);
    Plane out(red.Width(), red.Height());
    const std::size_t size = red.Size();
    const uint8_t* r = red.Data();
    const uint8_t* g = green.Data();
    const uint8_t* b = blue.Data();
    uint8_t* o = out.MutableData();
    // The planes are one run of bytes each, so the pass splits the run rather
    // than rows. 30 R + 59 G + 11 B + 50 is at most 25550: it fits 16 bits,
    // and dividing by 100 then rounds the weighted sum half up, exactly.
    const int chunks = static_cast<int>((size + 4095) / 4096);
    ForEachRowBand(chunks, 4096, [&](int firstChunk, int endChunk) {
        std::size_t i = static_cast<std::size_t>(firstChunk) * 4096;
        const std::size_t end = std::min(size, static_cast<std::size_t>(endChunk) * 4096);
        for (; i + 8 <= end; i += 8) {
            const Wide sum = LoadWide(r + i) * 30 + LoadWide(g + i) * 59 + LoadWide(b + i) * 11 + 50;
            StoreNarrow(o + i, sum / 100);
        }
        for (; i < end; ++i) o[i] = static_cast<uint8_t>((r[i] * 30u + g[i] * 59u + b[i] * 11u + 50u) / 100u);
    });
    return out;
}

void InvertLevels(Plane& plane) {
    if (plane.Empty()) return;
    const std::size_t size = plane.Size();
    const uint8_t* from = nullptr;
    uint8_t* p = plane.PixelsToReplace(from);
    const int chunks = static_cast<int>((size + 4095) / 4096);
    ForEachRowBand(chunks, 4096, [&](int firstChunk, int endChunk) {
        std::size_t i = static_cast<std::size_t>(firstChunk) * 4096;
        const std::size_t end = std::min(size, static_cast<std::size_t>(endChunk) * 4096);
        for (; i + kLanes <= end; i += kLanes) Store(p + i, Splat(255) - Load(from + i));
        for (; i < end; ++i) p[i] = static_cast<uint8_t>(255 - from[i]);
    });
}

void ApplyLevelTable(Plane& plane, const LevelTable& table) {
    if (plane.Empty()) return;
    const std::size_t size = plane.Size();
    const uint8_t* from = nullptr;
    uint8_t* p = plane.PixelsToReplace(from);
    const int chunks = static_cast<int>((size + 4095) / 4096);
    ForEachRowBand(chunks, 4096, [&](int firstChunk, int endChunk) {
        const std::size_t begin = static_cast<std::size_t>(firstChunk) * 4096;
        const std::size_t end = std::min(size, static_cast<std::size_t>(endChunk) * 4096);
        LookUpLevels(from + begin, p + begin, end - begin, table);
    });
}

namespace {
// Copies a row into a scratch row with one repeated pixel on each side.
void PadRow(const uint8_t* row, int width, uint8_t* padded) {
    padded[0] = row[0];
    std::memcpy(padded + 1, row, static_cast<std::size_t>(width));
    padded[width + 1] = row[width - 1];
}

// One output row of `width` pixels. With each column of three sorted into
// low, middle and high, the median of the nine is the median of: the
// largest of the three lows, the median of the three middles and the
// smallest of the three highs. The columns are sorted for the row and the
// two repeated pixels beside it, in whole vectors; the lanes past the row
// are computed and never stored.
void MedianRowNarrow(const uint8_t* above, const uint8_t* here, const uint8_t* below, std::size_t width,
                     uint8_t* low, uint8_t* mid, uint8_t* high, uint8_t* out, int threshold) {
    const std::size_t sorted = (width + 2 + kLanes - 1) / kLanes * kLanes;
    for (std::size_t p = 0; p < sorted; p += kLanes) {
        const Vec a = Load(above + p), b = Load(here + p), c = Load(below + p);
        const Vec lo = Min(a, b), hi = Max(a, b);
        Store(low + p, Min(lo, c));
        Store(high + p, Max(hi, c));
        Store(mid + p, Max(lo, Min(hi, c)));
    }
    const Vec limit = Splat(static_cast<uint8_t>(threshold));
    for (std::size_t x = 0; x < width; x += kLanes) {
        const Vec maxLow = Max(Max(Load(low + x), Load(low + x + 1)), Load(low + x + 2));
        const Vec minHigh = Min(Min(Load(high + x), Load(high + x + 1)), Load(high + x + 2));
        const Vec midMid = Median3(Load(mid + x), Load(mid + x + 1), Load(mid + x + 2));
        const Vec median = Median3(maxLow, midMid, minHigh);
        const Vec self = Load(here + x + 1);
        const Vec distance = Max(median, self) - Min(median, self);
        const Vec chosen = distance > limit ? median : self;
        if (x + kLanes <= width) {
            Store(out + x, chosen);
        } else {
            // The last, partial vector: the bytes past the row are not ours.
            uint8_t last[kLanes];
            Store(last, chosen);
            std::memcpy(out + x, last, width - x);
        }
    }
}

#if defined(LUMACUT_WIDE_VECTORS)
// The same with 64 lanes, in intrinsics: the wide vectors stay in
// registers, where locals of them copied through memory would be placed
// wrongly by AddressSanitizer.
LUMACUT_WIDE_TARGET inline __m512i WideAt(const uint8_t* p) { return _mm512_loadu_si512(p); }

LUMACUT_WIDE_TARGET inline __m512i WideMedian3(__m512i a, __m512i b, __m512i c) {
    return _mm512_max_epu8(_mm512_min_epu8(a, b), _mm512_min_epu8(_mm512_max_epu8(a, b), c));
}

LUMACUT_WIDE_TARGET void MedianRowWide(const uint8_t* above, const uint8_t* here, const uint8_t* below,
                                       std::size_t width, uint8_t* low, uint8_t* mid, uint8_t* high, uint8_t* out,
                                       int threshold) {
    constexpr std::size_t lanes = 64;
    const std::size_t sorted = (width + 2 + lanes - 1) / lanes * lanes;
    for (std::size_t p = 0; p < sorted; p += lanes) {
        const __m512i a = WideAt(above + p), b = WideAt(here + p), c = WideAt(below + p);
        const __m512i lo = _mm512_min_epu8(a, b), hi = _mm512_max_epu8(a, b);
        _mm512_storeu_si512(low + p, _mm512_min_epu8(lo, c));
        _mm512_storeu_si512(high + p, _mm512_max_epu8(hi, c));
        _mm512_storeu_si512(mid + p, _mm512_max_epu8(lo, _mm512_min_epu8(hi, c)));
    }
    const __m512i limit = _mm512_set1_epi8(static_cast<char>(threshold));
    for (std::size_t x = 0; x < width; x += lanes) {
        const __m512i maxLow =
            _mm512_max_epu8(_mm512_max_epu8(WideAt(low + x), WideAt(low + x + 1)), WideAt(low + x + 2));
        const __m512i minHigh =
            _mm512_min_epu8(_mm512_min_epu8(WideAt(high + x), WideAt(high + x + 1)), WideAt(high + x + 2));
        const __m512i midMid = WideMedian3(WideAt(mid + x), WideAt(mid + x + 1), WideAt(mid + x + 2));
        const __m512i median = WideMedian3(maxLow, midMid, minHigh);
        const __m512i self = WideAt(here + x + 1);
        const __m512i distance = _mm512_sub_epi8(_mm512_max_epu8(median, self), _mm512_min_epu8(median, self));
        const __m512i chosen = _mm512_mask_blend_epi8(_mm512_cmpgt_epu8_mask(distance, limit), self, median);
        const std::size_t left = width - x;
        // The last, partial vector stores only the row's own bytes.
        const __mmask64 keep = left >= lanes ? ~__mmask64{0} : (__mmask64{1} << left) - 1;
        _mm512_mask_storeu_epi8(out + x, keep, chosen);
    }
}
#endif

using MedianRow = void (*)(const uint8_t*, const uint8_t*, const uint8_t*, std::size_t, uint8_t*, uint8_t*, uint8_t*,
                           uint8_t*, int);
MedianRow ChosenMedianRow() {
#if defined(LUMACUT_WIDE_VECTORS)
    if (WideVectors()) return MedianRowWide;
#endif
    return MedianRowNarrow;
}
}  // namespace

void Median3x3InPlace(Plane& plane, int threshold) {
    if (plane.Empty()) return;
    if (threshold < 0 || threshold > 255) throw std::invalid_argument("median threshold outside 0..255");
    const int width = plane.Width();
    const int height = plane.Height();
    uint8_t* const pixels = plane.MutableData();
    auto row = [&](int y) { return pixels + static_cast<std::size_t>(std::clamp(y, 0, height - 1)) * width; };
    const std::size_t length = PaddedLength(width);
    const MedianRow medianRow = ChosenMedianRow();
    const std::vector<RowBand> bands = PlanRowBands(height, static_cast<std::size_t>(width));
    // Per band: three source rows in rotation, the column sorts, and the
    // rows just outside the band. Those belong to a neighbouring
    // band, which may overwrite them at any time, so they are copied here,
    // before any band starts. Everything is allocated before the threads run.
    constexpr std::size_t kRowsPerBand = 8;
    std::vector<uint8_t> scratch(SizeFor(Product64(length, kRowsPerBand, bands.size())), 0);
    for (std::size_t b = 0; b < bands.size(); ++b) {
        uint8_t* own = scratch.data() + b * kRowsPerBand * length;
        PadRow(row(bands[b].begin - 1), width, own + 6 * length);
        PadRow(row(bands[b].end), width, own + 7 * length);
    }
    RunRowBands(bands, [&](std::size_t band, int firstRow, int endRow) {
        uint8_t* own = scratch.data() + band * kRowsPerBand * length;
        uint8_t* rows[3] = {own, own + length, own + 2 * length};
        uint8_t* low = own + 3 * length;
        uint8_t* mid = own + 4 * length;
        uint8_t* high = own + 5 * length;
        const uint8_t* below = own + 7 * length;
        std::memcpy(rows[0], own + 6 * length, length);
        PadRow(row(firstRow), width, rows[1]);
        for (int y = firstRow; y < endRow; ++y) {
            // Row y + 1 is still the source's own: rows are overwritten only
            // once they have been copied here.
            if (y + 1 < endRow)
                PadRow(row(y + 1), width, rows[2]);
            else
                std::memcpy(rows[2], below, length);
            // Row y itself is in rows[1] by now, so the result goes straight into it.
            medianRow(rows[0], rows[1], rows[2], static_cast<std::size_t>(width), low, mid, high,
                      pixels + static_cast<std::size_t>(y) * width, threshold);
            std::rotate(rows, rows + 1, rows + 3);
        }
    });
}

Plane Median3x3(const Plane& source, int threshold) {
    Plane out = source;
    Median3x3InPlace(out, threshold);
    return out;
}
