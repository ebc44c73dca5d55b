#include "ContactSheet.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "Canvas.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
const Rgb kPaper = Gray(255);
const Rgb kInk = Gray(24);
// stb_easy_font draws glyphs about 7 pixels tall; twice that reads well.
const int kTextScale = 2;

// The caption centred in the band [left, left + bandWidth) from top.
void Caption(Canvas& canvas, const std::string& text, int left, int top, int bandWidth) {
    const int textWidth = TextWidth(text, kTextScale);
    canvas.Text(text, left + std::max(0, (bandWidth - textWidth) / 2), top, kInk, kTextScale);
}

// columns[i] += row[i], sixteen at a time where the target has SSE2.
void AddRow(const uint8_t* row, uint16_t* columns, std::size_t count) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= count; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        __m128i* to = reinterpret_cast<__m128i*>(columns + i);
        _mm_storeu_si128(to, _mm_add_epi16(_mm_loadu_si128(to), _mm_unpacklo_epi8(bytes, zero)));
        _mm_storeu_si128(to + 1, _mm_add_epi16(_mm_loadu_si128(to + 1), _mm_unpackhi_epi8(bytes, zero)));
    }
#endif
    for (; i < count; ++i) columns[i] = static_cast<uint16_t>(columns[i] + row[i]);
}
}  // namespace

Plane ScaledDown(const Plane& plane, int width, int height) {
    if (width == plane.Width() && height == plane.Height()) return plane;
    Plane out(width, height);
    const long long sourceWidth = plane.Width(), sourceHeight = plane.Height();
    // The source columns of each output column: at least one, when a plane is scaled up.
    const auto edge = [&](long long x) { return static_cast<std::size_t>(x * sourceWidth / width); };
    std::vector<std::size_t> columnBegin(static_cast<std::size_t>(width)), columnEnd(columnBegin.size());
    for (std::size_t x = 0; x < columnBegin.size(); ++x) {
        columnBegin[x] = edge(static_cast<long long>(x));
        columnEnd[x] = std::max(columnBegin[x] + 1, edge(static_cast<long long>(x) + 1));
    }
    // The rows an output row covers are summed column by column first, so
    // each source byte is read once, row by row: a 24-megapixel mask is
    // scaled on the host's thread between two runs of the plug-in. The
    // column sums are 16 bits, sixteen to a vector, which hold 257 rows of
    // 255; a taller band is summed that many rows at a time.
    constexpr int kRowsIn16Bits = 65535 / 255;
    std::vector<uint16_t> columns(static_cast<std::size_t>(sourceWidth));
    std::vector<uint64_t> sums(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        const int y0 = static_cast<int>(y * sourceHeight / height);
        const int y1 = std::max(y0 + 1, static_cast<int>((y + 1) * sourceHeight / height));
        std::fill(sums.begin(), sums.end(), 0u);
        for (int chunk = y0; chunk < y1; chunk += kRowsIn16Bits) {
            std::fill(columns.begin(), columns.end(), uint16_t{0});
            for (int sy = chunk; sy < std::min(y1, chunk + kRowsIn16Bits); ++sy)
                AddRow(plane.Row(sy), columns.data(), columns.size());
            for (std::size_t x = 0; x < sums.size(); ++x)
                for (std::size_t sx = columnBegin[x]; sx < columnEnd[x]; ++sx) sums[x] += columns[sx];
        }
        uint8_t* outRow = out.MutableRow(y);
        for (std::size_t x = 0; x < sums.size(); ++x) {
            const uint64_t count = static_cast<uint64_t>(y1 - y0) * (columnEnd[x] - columnBegin[x]);
            const uint64_t rounded = sums[x] + count / 2;
            // A 32-bit division, several times cheaper, wherever the sum
            // allows: everywhere but in planes scaled to a few pixels.
            const uint64_t mean = (rounded | count) <= UINT32_MAX
                                      ? static_cast<uint32_t>(rounded) / static_cast<uint32_t>(count)
                                      : rounded / count;
            outRow[x] = static_cast<uint8_t>(mean);
        }
    }
    return out;
}

namespace {
struct TileSize {
    int width, height;
};

TileSize SheetTileSize(int sourceWidth, int sourceHeight, const SheetLayout& layout) {
    const int width = std::min(sourceWidth, layout.largestTileWidth);
    return {width, std::max(1, static_cast<int>(static_cast<long long>(sourceHeight) * width / sourceWidth))};
}
}  // namespace

RgbPlanes ScaledForSheet(const RgbPlanes& image, const SheetLayout& layout) {
    const TileSize size = SheetTileSize(image.red.Width(), image.red.Height(), layout);
    RgbPlanes scaled{ScaledDown(image.red, size.width, size.height),
                     image.green.SharesPixelsWith(image.red) ? Plane() : ScaledDown(image.green, size.width, size.height),
                     image.blue.SharesPixelsWith(image.red) ? Plane() : ScaledDown(image.blue, size.width, size.height)};
    if (scaled.green.Empty()) scaled.green = scaled.red;
    if (scaled.blue.Empty()) scaled.blue = scaled.red;
    return scaled;
}

RgbImage MakeContactSheet(const std::vector<SheetTile>& tiles, const SheetLayout& layout) {
    if (tiles.empty()) throw std::invalid_argument("a contact sheet needs tiles");
    const int sourceWidth = tiles[0].image.red.Width();
    const int sourceHeight = tiles[0].image.red.Height();
    for (const SheetTile& tile : tiles)
        if (tile.image.red.Width() != sourceWidth || tile.image.red.Height() != sourceHeight)
            throw std::invalid_argument("contact sheet tiles of different sizes");
    const TileSize tile = SheetTileSize(sourceWidth, sourceHeight, layout);
    const int tileWidth = tile.width;
    const int tileHeight = tile.height;
    const int columns = std::max(1, std::min(layout.columns, static_cast<int>(tiles.size())));
    const int rows = (static_cast<int>(tiles.size()) + columns - 1) / columns;

    // In 64 bits: a layout's margins and tile count multiply, and a sheet
    // the engine could not write is refused before its pixels are made.
    const long long margin = layout.margin;
    const long long sheetWidth = margin + columns * (tileWidth + margin);
    const long long sheetHeight = margin + rows * (tileHeight + margin + layout.captionHeight);
    if (sheetWidth <= 0 || sheetHeight <= 0 || sheetWidth > kMaxSide || sheetHeight > kMaxSide ||
        !PlaneSizeAccepted(static_cast<int>(sheetWidth), static_cast<int>(sheetHeight)))
        throw std::length_error("a contact sheet of " + std::to_string(sheetWidth) + " x " +
                                std::to_string(sheetHeight) + " pixels is larger than the engine accepts");
    Canvas canvas(static_cast<int>(sheetWidth), static_cast<int>(sheetHeight), kPaper);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const int column = static_cast<int>(i) % columns;
        const int row = static_cast<int>(i) / columns;
        const int left = layout.margin + column * (tileWidth + layout.margin);
        const int top = layout.margin + row * (tileHeight + layout.captionHeight + layout.margin);
        canvas.Paste(ScaledForSheet(tiles[i].image, layout), left, top);
        Caption(canvas, tiles[i].caption, left, top + tileHeight + layout.captionHeight / 4, tileWidth);
    }
    return canvas.TakeImage();
}
