// Masks and contact sheets out as PNG, deflated by zlib. A file is streamed
// row by row, so writing needs memory for one row and zlib's window only.
#ifndef LUMACUT_HOST_PNG_WRITER_H
#define LUMACUT_HOST_PNG_WRITER_H

#include <string>

#include "ImageFile.h"
#include "host/engine/Plane.h"

// The row filters PNG defines, and the per-row choice of the one whose
// output has the smallest sum of magnitudes (the usual heuristic of PNG
// encoders), so that settings can be compared on real masks.
enum class PngFilter { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4, Adaptive = 5 };

struct PngSettings {
    int level;     // zlib's 0 to 9
    int strategy;  // Z_DEFAULT_STRATEGY, Z_FILTERED, Z_RLE, ...
    PngFilter filter;
};

// Chosen by measuring the seven masks of a 6000 x 4000 photograph
// (docs/document-engine.md, "Writing masks"): masks are smooth or flat over
// large areas, where Paeth's prediction leaves runs of small residues that
// zlib's run-length matching codes about as fast as storing would, and
// smaller than its general matching at any level up to 6.
PngSettings MaskPngSettings();

// False with a message naming `path` when the image is empty or the file
// cannot be written; what was written may then be incomplete, so callers
// write to a temporary (CliFiles.h).
bool WriteGrayPng(const std::string& path, const Plane& plane, std::string& error,
                  const PngSettings& settings = MaskPngSettings());
bool WriteRgbPng(const std::string& path, const RgbImage& image, std::string& error,
                 const PngSettings& settings = MaskPngSettings());

#endif
