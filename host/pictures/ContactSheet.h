// One picture a person can look at: the photograph and the mask of every
// mode side by side, each with its caption underneath.
#ifndef LUMACUT_HOST_CONTACT_SHEET_H
#define LUMACUT_HOST_CONTACT_SHEET_H

#include <string>
#include <vector>

#include "host/engine/Document.h"
#include "host/image/ImageFile.h"

struct SheetTile {
    std::string caption;
    RgbPlanes image;  // a gray mask is the same plane three times
};

struct SheetLayout {
    int columns = 4;
    int largestTileWidth = 480;  // larger images are scaled down to this
    int margin = 16;
    int captionHeight = 32;
};

// The tiles in rows of `columns`, all of the first tile's size after
// scaling. Throws std::invalid_argument without tiles or for tiles of
// different sizes, std::length_error for a sheet larger than a plane may be
// (very tall tiles, or a layout's margins).
RgbImage MakeContactSheet(const std::vector<SheetTile>& tiles, const SheetLayout& layout = SheetLayout());

// The image at the size MakeContactSheet gives its tiles: tiles scaled
// early make the same sheet, and a large mask need not be kept for it.
RgbPlanes ScaledForSheet(const RgbPlanes& image, const SheetLayout& layout = SheetLayout());

// The plane scaled to the given size, each output pixel the rounded mean of
// the source pixels it covers.
Plane ScaledDown(const Plane& plane, int width, int height);

#endif
