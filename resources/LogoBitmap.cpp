#include "LogoBitmap.h"

#include <stdexcept>

namespace {
constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;
constexpr int kScale = 3;  // each glyph cell becomes 3 x 3 pixels
constexpr int kGap = 4;    // pixels between letters

// 5 x 7 capitals; '#' is ink.
const char* const kGlyphZ[kGlyphRows] = {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"};
const char* const kGlyphY[kGlyphRows] = {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."};
const char* const kGlyphT[kGlyphRows] = {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."};

void SetGray(LogoImage& image, int x, int y, uint8_t value) {
    uint8_t* p = image.At(x, y);
    p[0] = p[1] = p[2] = value;
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>((value >> (8 * i)) & 0xFF));
}
void Put16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}
}  // namespace

LogoImage DrawLumacutLogo() {
    LogoImage image;
    image.width = kLogoWidth;
    image.height = kLogoHeight;
    image.rgb.assign(static_cast<std::size_t>(kLogoWidth) * kLogoHeight * 3, 0);

    // The tonal range the plug-in selects from, dark on the left.
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x) SetGray(image, x, y, static_cast<uint8_t>(16 + x * 224 / (kLogoWidth - 1)));

    // Ink mask of the initials, centred.
    const char* const* glyphs[] = {kGlyphZ, kGlyphY, kGlyphT};
    const int textWidth = 3 * kGlyphColumns * kScale + 2 * kGap;
    const int left = (kLogoWidth - textWidth) / 2;
    const int top = (kLogoHeight - kGlyphRows * kScale) / 2;
    std::vector<bool> ink(static_cast<std::size_t>(kLogoWidth) * kLogoHeight, false);
    for (int g = 0; g < 3; ++g) {
        const int originX = left + g * (kGlyphColumns * kScale + kGap);
        for (int row = 0; row < kGlyphRows; ++row)
            for (int column = 0; column < kGlyphColumns; ++column) {
                if (glyphs[g][row][column] != '#') continue;
                for (int dy = 0; dy < kScale; ++dy)
                    for (int dx = 0; dx < kScale; ++dx)
                        ink[static_cast<std::size_t>(top + row * kScale + dy) * kLogoWidth + originX + column * kScale + dx] = true;
            }
    }

    // White letters with a dark outline stay readable across the whole ramp.
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x) {
            if (ink[static_cast<std::size_t>(y) * kLogoWidth + x]) {
                SetGray(image, x, y, 255);
                continue;
            }
            bool touchesInk = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < kLogoWidth && ny < kLogoHeight &&
                        ink[static_cast<std::size_t>(ny) * kLogoWidth + nx])
                        touchesInk = true;
                }
            if (touchesInk) SetGray(image, x, y, 0);
        }
    return image;
}

std::vector<uint8_t> WriteBmp24(const LogoImage& image) {
    // Sizes in 64 bits: where size_t is 32 bits the pixel count and the
    // padded row sum would wrap, and the file's size field is 32 bits wide.
    if (image.width <= 0 || image.height <= 0 ||
        image.rgb.size() != static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height) * 3)
        throw std::invalid_argument("image size does not match its pixels");
    const uint64_t paddedStride = (static_cast<uint64_t>(image.width) * 3 + 3) / 4 * 4;
    const uint32_t headers = 14 + 40;
    if (paddedStride * static_cast<uint64_t>(image.height) > UINT32_MAX - headers)
        throw std::invalid_argument("image too large for a bitmap file");
    const uint32_t stride = static_cast<uint32_t>(paddedStride);
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(image.height);

    std::vector<uint8_t> out;
    out.reserve(headers + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, headers + pixelBytes);  // file size
    Put32(out, 0);                     // reserved
    Put32(out, headers);               // offset of the pixels
    Put32(out, 40);                    // BITMAPINFOHEADER size
    Put32(out, static_cast<uint32_t>(image.width));
    Put32(out, static_cast<uint32_t>(image.height));  // positive: bottom-up rows
    Put16(out, 1);                     // planes
    Put16(out, 24);                    // bits per pixel
    Put32(out, 0);                     // BI_RGB, uncompressed
    Put32(out, pixelBytes);
    Put32(out, 2835);                  // 72 dpi, in pixels per metre
    Put32(out, 2835);
    Put32(out, 0);                     // no palette
    Put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.At(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
        for (uint32_t pad = static_cast<uint32_t>(image.width) * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}
