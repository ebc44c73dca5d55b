// The pixel passes behind the document's events. Each works row by row on
// whole planes, on every core for large images.
#ifndef LUMACUT_HOST_PIXEL_OPS_H
#define LUMACUT_HOST_PIXEL_OPS_H

#include "LevelTable.h"
#include "Plane.h"

// round(0.30 R + 0.59 G + 0.11 B) per pixel, computed exactly in integers.
// The three planes must have one size.
Plane Luminosity(const Plane& red, const Plane& green, const Plane& blue);

// Every level v becomes 255 - v.
void InvertLevels(Plane& plane);

// Every level v becomes table[v].
void ApplyLevelTable(Plane& plane, const LevelTable& table);

// The median of each pixel's 3 x 3 neighbourhood, the border rows and
// columns repeated outward. A pixel takes the median only where it differs
// from it by more than the threshold, so threshold 0 replaces every pixel.
Plane Median3x3(const Plane& source, int threshold);
// The same on the plane itself, with no second plane: a row is overwritten
// only once the rows around it have been read.
void Median3x3InPlace(Plane& plane, int threshold);

#endif
