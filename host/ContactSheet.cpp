#include "ContactSheet.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include <stb/stb_easy_font.h>

namespace {
const uint8_t kPaper = 255;
const uint8_t kInk = 24;
// stb_easy_font draws glyphs about 7 pixels tall; twice that reads well.
const int kTextScale = 2;

struct Canvas {
    int width, height;
    std::vector<uint8_t> rgb;

    void Fill(int x0, int y0, int x1, int y1, uint8_t level) {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, width);
        y1 = std::min(y1, height);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                for (int c = 0; c < 3; ++c) rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c] = level;
    }

    void Paste(const RgbPlanes& image, int left, int top) {
        const Plane* planes[3] = {&image.red, &image.green, &image.blue};
        for (int y = 0; y < image.red.Height(); ++y)
            for (int x = 0; x < image.red.Width(); ++x)
                for (int c = 0; c < 3; ++c)
                    rgb[(static_cast<std::size_t>(top + y) * width + left + x) * 3 + c] = planes[c]->At(x, y);
    }

    // The caption centred in the band [left, left + bandWidth) from top.
    void Caption(const std::string& text, int left, int top, int bandWidth) {
        std::vector<char> line(text.begin(), text.end());
        line.push_back('\0');
        const int textWidth = stb_easy_font_width(line.data()) * kTextScale;
        const float x = static_cast<float>(left + std::max(0, (bandWidth - textWidth) / 2));
        // Each quad is four vertices of 16 bytes (x, y, z as floats, then a
        // colour); 300 bytes of quads per character is stb's own bound.
        struct Vertex {
            float x, y, z;
            unsigned char colour[4];
        };
        std::vector<Vertex> vertices(line.size() * 300 / sizeof(Vertex) + 4);
        const int quads = stb_easy_font_print(0, 0, line.data(), nullptr, vertices.data(),
                                              static_cast<int>(vertices.size() * sizeof(Vertex)));
        for (int q = 0; q < quads; ++q) {
            const Vertex* v = &vertices[static_cast<std::size_t>(q) * 4];
            const float x0 = std::min(v[0].x, v[2].x), x1 = std::max(v[0].x, v[2].x);
            const float y0 = std::min(v[0].y, v[2].y), y1 = std::max(v[0].y, v[2].y);
            Fill(static_cast<int>(x + x0 * kTextScale), top + static_cast<int>(y0 * kTextScale),
                 static_cast<int>(x + x1 * kTextScale), top + static_cast<int>(y1 * kTextScale), kInk);
        }
    }
};
}  // namespace

Plane ScaledDown(const Plane& plane, int width, int height) {
    if (width == plane.Width() && height == plane.Height()) return plane;
    Plane out(width, height);
    const long long sourceWidth = plane.Width(), sourceHeight = plane.Height();
    for (int y = 0; y < height; ++y) {
        const int y0 = static_cast<int>(y * sourceHeight / height);
        const int y1 = std::max(y0 + 1, static_cast<int>((y + 1) * sourceHeight / height));
        for (int x = 0; x < width; ++x) {
            const int x0 = static_cast<int>(x * sourceWidth / width);
            const int x1 = std::max(x0 + 1, static_cast<int>((x + 1) * sourceWidth / width));
            unsigned long long sum = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) sum += plane.At(sx, sy);
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

    Canvas canvas;
    canvas.width = layout.margin + columns * (tileWidth + layout.margin);
    canvas.height = layout.margin + rows * (tileHeight + layout.captionHeight + layout.margin);
    canvas.rgb.assign(static_cast<std::size_t>(canvas.width) * canvas.height * 3, kPaper);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const int column = static_cast<int>(i) % columns;
        const int row = static_cast<int>(i) / columns;
        const int left = layout.margin + column * (tileWidth + layout.margin);
        const int top = layout.margin + row * (tileHeight + layout.captionHeight + layout.margin);
        canvas.Paste(ScaledForSheet(tiles[i].image, layout), left, top);
        canvas.Caption(tiles[i].caption, left, top + tileHeight + layout.captionHeight / 4, tileWidth);
    }
    RgbImage sheet;
    sheet.width = canvas.width;
    sheet.height = canvas.height;
    sheet.pixels = std::move(canvas.rgb);
    return sheet;
}
