// The plug-in's logo, bitmap 102 of the mode dialog: a tonal ramp from dark
// to light with the initials "ZYT", drawn here so the picture is ours.
#ifndef LUMACUT_RESOURCES_LOGO_BITMAP_H
#define LUMACUT_RESOURCES_LOGO_BITMAP_H

#include <cstdint>
#include <vector>

struct LogoImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // rows top to bottom, three bytes a pixel

    uint8_t* At(int x, int y) { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
    const uint8_t* At(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

constexpr int kLogoWidth = 80;
constexpr int kLogoHeight = 33;

LogoImage DrawLumacutLogo();

// A .bmp file: file header, BITMAPINFOHEADER, then uncompressed 24-bit rows
// bottom to top, blue-green-red, each padded to four bytes. The resource
// compiler keeps everything after the file header as the bitmap resource.
std::vector<uint8_t> WriteBmp24(const LogoImage& image);

#endif
