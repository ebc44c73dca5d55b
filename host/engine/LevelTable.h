// Tone curves as the host applies them: a table of 256 output levels built
// from the curve's points by a natural cubic spline.
#ifndef LUMACUT_HOST_LEVEL_TABLE_H
#define LUMACUT_HOST_LEVEL_TABLE_H

#include <array>
#include <cstdint>
#include <vector>

using LevelTable = std::array<uint8_t, 256>;

// One point of a curve, input and output on the scale 0 to 255.
struct SplinePoint {
    double input;
    double output;
};

// The table for the points: the natural cubic spline through them (second
// derivative zero at the first and last point), flat before the first and
// after the last point, rounded half up and clamped to 0..255. Returns false
// and leaves the table alone unless there are 2 to 256 finite points inside
// 0..255 with strictly increasing inputs.
bool MakeLevelTable(const std::vector<SplinePoint>& points, LevelTable& table);

LevelTable IdentityLevels();
LevelTable InvertedLevels();

#endif
