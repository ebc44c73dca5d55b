// Photographs in, through the platform's decoders (libjpeg-turbo, libpng and
// libtiff natively, the Windows Imaging Component under Windows) and our own
// PNM reader. Masks go out through PngWriter.h.
#ifndef LUMACUT_HOST_IMAGE_FILE_H
#define LUMACUT_HOST_IMAGE_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/common/RgbImage.h"
#include "host/engine/Document.h"
#include "host/engine/Plane.h"

enum class ImageFormat { Unknown, Jpeg, Png, Tiff, Pnm };

// What the first bytes of a file say it is; 16 bytes are enough to tell.
ImageFormat SniffImageFormat(const uint8_t* bytes, std::size_t size);

// Reads a JPEG, PNG or TIFF (8 or 16 bits per channel, gray or colour) or a
// binary PNM; gray images become RGB, 16-bit samples are rounded to 8 bits
// and transparent pixels are put on white, as a photograph opened as a
// document's background would be. Returns false with a one-line message
// naming the file on failure, also for images larger than the engine
// accepts: that is known from the header, before any pixel is allocated.
// A folder, a FIFO or a device is refused without waiting on it.
bool ReadImageFile(const std::string& path, RgbPlanes& planes, std::string& error);
// The same for a file already in memory; `name` starts the messages. A
// smaller `maxArea` keeps a fuzzer's inputs quick to decode.
bool ReadImageMemory(const uint8_t* data, std::size_t size, const std::string& name, RgbPlanes& planes,
                     std::string& error, std::size_t maxArea = kMaxArea);

#endif
