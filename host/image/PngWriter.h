// Masks and contact sheets out as PNG, deflated by zlib in blocks that every
// core shares (PngDeflate.h). Writing holds the compressed file in memory
// until it is written, a few MB for a 24-megapixel mask, and a block of
// filtered rows per thread.
#ifndef LUMACUT_HOST_PNG_WRITER_H
#define LUMACUT_HOST_PNG_WRITER_H

#include <string>

#include "ImageFile.h"
#include "PngDeflate.h"
#include "host/engine/Plane.h"

// Chosen by measuring the seven masks of a 6000 x 4000 photograph
// (docs/document-engine.md, "Writing masks"): masks are smooth or flat over
// large areas, where Paeth's prediction leaves runs of small residues that
// run-length matching codes smaller than zlib's general matching at any
// level up to 6, and our own coder of runs (RunLengthDeflate.h) codes them
// several times faster than zlib's.
PngSettings MaskPngSettings();

// False with a message naming `path` when the image is empty or the file
// cannot be written; what was written may then be incomplete, so callers
// write to a temporary (host/common/OutputFiles.h). `times`, when given, gets the time
// spent on each stage added to it.
bool WriteGrayPng(const std::string& path, const Plane& plane, std::string& error,
                  const PngSettings& settings = MaskPngSettings(), PngTimes* times = nullptr);
bool WriteRgbPng(const std::string& path, const RgbImage& image, std::string& error,
                 const PngSettings& settings = MaskPngSettings(), PngTimes* times = nullptr);

#endif
