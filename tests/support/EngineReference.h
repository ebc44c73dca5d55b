// Plain, slow, obviously right versions of the engine's pixel passes, and
// small image makers, for the engine tests to compare against.
#ifndef LUMACUT_TESTS_ENGINE_ENGINE_REFERENCE_H
#define LUMACUT_TESTS_ENGINE_ENGINE_REFERENCE_H

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "host/engine/Document.h"
#include "host/engine/LevelTable.h"
#include "host/engine/Plane.h"

inline Plane PlaneOf(int width, int height, const std::function<uint8_t(int, int)>& level) {
    Plane plane(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) plane.MutableRow(y)[x] = level(x, y);
    return plane;
}

inline Plane RandomPlane(int width, int height, unsigned seed, int levels = 256) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, levels - 1);
    return PlaneOf(width, height, [&](int, int) { return static_cast<uint8_t>(pick(random) * 255 / std::max(1, levels - 1)); });
}

// The median of the nine neighbours, sorting them; outside pixels repeat the border.
inline Plane ReferenceMedian(const Plane& in, int threshold = 0) {
    return PlaneOf(in.Width(), in.Height(), [&](int x, int y) {
        std::array<uint8_t, 9> nine{};
        std::size_t count = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                nine[count++] = in.At(std::clamp(x + dx, 0, in.Width() - 1), std::clamp(y + dy, 0, in.Height() - 1));
        std::sort(nine.begin(), nine.end());
        const int median = nine[4], self = in.At(x, y);
        return static_cast<uint8_t>(std::abs(median - self) > threshold ? median : self);
    });
}

inline Plane ReferenceTable(const Plane& in, const LevelTable& table) {
    return PlaneOf(in.Width(), in.Height(), [&](int x, int y) { return table[in.At(x, y)]; });
}

// 0.30 R + 0.59 G + 0.11 B rounded half up, worked in hundredths so that
// no binary fraction can tip a half the wrong way.
inline uint8_t ReferenceLuma(int r, int g, int b) {
    const int hundredths = 30 * r + 59 * g + 11 * b;
    return static_cast<uint8_t>(hundredths / 100 + (hundredths % 100 >= 50 ? 1 : 0));
}

inline RgbPlanes GrayPlanes(const Plane& gray) { return {gray, gray, gray}; }

inline RgbPlanes SolidPlanes(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    return {Plane(width, height, r), Plane(width, height, g), Plane(width, height, b)};
}

#endif
