// Pixels as image files and screenshots hold them, for every part of the
// stand-in that makes or writes a picture without needing the other's code.
#ifndef LUMACUT_HOST_RGB_IMAGE_H
#define LUMACUT_HOST_RGB_IMAGE_H

#include <cstdint>
#include <vector>

// Interleaved 8-bit RGB, row after row, as image files hold it.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

#endif
