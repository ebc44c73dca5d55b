#include "ContactSheet.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "Canvas.h"

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
}  // namespace

Plane ScaledDown(const Plane& plane, int width, int height) {
    if (width == plane.Width() && height == plane.Height()) return plane;
    Plane out(width, height);
    const long long sourceWidth = plane.Width(), sourceHeight = plane.Height();
    // The columns of the rows an output row covers are summed first, so each
    // source byte is read once, row by row: a 24-megapixel mask is scaled
    // on the host's thread between two runs of the plug-in.
    // 32-bit sums: a plane is at most kMaxSide rows tall.
    static_assert(uint64_t{kMaxSide} * 255 <= UINT32_MAX, "column sums fit in 32 bits");
    std::vector<uint32_t> columns(static_cast<std::size_t>(sourceWidth));
    for (int y = 0; y < height; ++y) {
        const int y0 = static_cast<int>(y * sourceHeight / height);
        const int y1 = std::max(y0 + 1, static_cast<int>((y + 1) * sourceHeight / height));
        std::fill(columns.begin(), columns.end(), 0u);
        for (int sy = y0; sy < y1; ++sy) {
            const uint8_t* row = plane.Row(sy);
            for (std::size_t sx = 0; sx < columns.size(); ++sx) columns[sx] += row[sx];
        }
        for (int x = 0; x < width; ++x) {
            const int x0 = static_cast<int>(x * sourceWidth / width);
            const int x1 = std::max(x0 + 1, static_cast<int>((x + 1) * sourceWidth / width));
            unsigned long long sum = 0;
            for (int sx = x0; sx < x1; ++sx) sum += columns[static_cast<std::size_t>(sx)];
            const unsigned long long count = static_cast<unsigned long long>(y1 - y0) * (x1 - x0);
            out.MutableRow(y)[x] = static_cast<uint8_t>((sum + count / 2) / count);
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
