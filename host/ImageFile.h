// Photographs in, through stb_image. Masks go out through PngWriter.h.
#ifndef LUMACUT_HOST_IMAGE_FILE_H
#define LUMACUT_HOST_IMAGE_FILE_H

#include <cstdint>
#include <string>
#include <vector>

#include "Document.h"
#include "Plane.h"

// Interleaved 8-bit RGB, row after row, as image files hold it.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

// Reads any file stb_image decodes (JPEG, PNG, BMP, GIF, TGA, PSD, PNM);
// gray images become RGB and transparent pixels are put on white, as a
// photograph opened as a document's background would be. Returns false with
// a message on failure, also for images larger than the engine accepts.
bool ReadImageFile(const std::string& path, RgbPlanes& planes, std::string& error);

#endif
