// The contact sheet: its tiles scaled, placed and captioned.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/EngineReference.h"
#include "host/pictures/ContactSheet.h"

namespace {
TEST(ContactSheet, ScalingAveragesTheCoveredPixels) {
    // 4 x 2 -> 2 x 1: each output pixel is the rounded mean of a 2 x 2 block.
    const Plane source = PlaneOf(4, 2, [](int x, int y) { return static_cast<uint8_t>(x * 10 + y * 101); });
    const Plane half = ScaledDown(source, 2, 1);
    EXPECT_EQ(half.At(0, 0), (0 + 10 + 101 + 111 + 2) / 4);
    EXPECT_EQ(half.At(1, 0), (20 + 30 + 121 + 131 + 2) / 4);
    // 5 -> 2 columns, 3 -> 2 rows: uneven blocks, 2 then 3 columns, 1 then 2 rows.
    const Plane uneven = ScaledDown(PlaneOf(5, 3, [](int x, int y) { return static_cast<uint8_t>(x * 10 + y * 50); }), 2, 2);
    EXPECT_EQ(uneven.At(0, 0), (0 + 10 + 1) / 2);
    EXPECT_EQ(uneven.At(1, 0), (20 + 30 + 40 + 1) / 3);
    EXPECT_EQ(uneven.At(1, 1), (70 + 80 + 90 + 120 + 130 + 140 + 3) / 6);
    EXPECT_TRUE(ScaledDown(source, 4, 2).SharesPixelsWith(source)) << "same size: nothing to do";
    // A band of more rows than 16-bit column sums hold (257 of 255): 600
    // rows, 599 of 255 and one of 0, round to 255; 601 rows, 300 of 255 and
    // 301 of 254, to 254 (the mean 254.499...).
    EXPECT_EQ(ScaledDown(PlaneOf(3, 600, [](int, int y) { return static_cast<uint8_t>(y == 0 ? 0 : 255); }), 1, 1).At(0, 0), 255);
    EXPECT_EQ(ScaledDown(PlaneOf(2, 601, [](int, int y) { return static_cast<uint8_t>(y < 300 ? 255 : 254); }), 1, 1).At(0, 0), 254);
}

TEST(ContactSheet, PutsEveryTileInItsPlaceWithItsCaptionBelow) {
    SheetLayout layout;
    layout.columns = 3;
    layout.largestTileWidth = 50;
    layout.margin = 10;
    layout.captionHeight = 20;
    std::vector<SheetTile> tiles;
    for (int i = 0; i < 4; ++i) {
        const Plane level(100, 40, static_cast<uint8_t>(40 * (i + 1)));  // scaled to 50 x 20
        tiles.push_back({"Tile " + std::to_string(i), {level, level, level}});
    }
    const RgbImage sheet = MakeContactSheet(tiles, layout);
    ASSERT_EQ(sheet.width, 10 + 3 * (50 + 10));
    ASSERT_EQ(sheet.height, 10 + 2 * (20 + 20 + 10));
    auto at = [&](int x, int y) { return sheet.pixels[(static_cast<std::size_t>(y) * sheet.width + x) * 3]; };
    for (int i = 0; i < 4; ++i) {
        const int left = 10 + (i % 3) * 60, top = 10 + (i / 3) * 50;
        EXPECT_EQ(at(left, top), 40 * (i + 1)) << "tile " << i;
        EXPECT_EQ(at(left + 49, top + 19), 40 * (i + 1)) << "tile " << i;
        EXPECT_EQ(at(left - 1, top), 255) << "paper left of tile " << i;
        int ink = 0;
        for (int y = top + 20; y < top + 40; ++y)
            for (int x = left; x < left + 50; ++x) ink += at(x, y) < 128;
        EXPECT_GT(ink, 20) << "caption of tile " << i;
    }
    EXPECT_EQ(at(sheet.width - 30, sheet.height - 30), 255) << "no fifth tile";

    tiles.push_back({"odd", {Plane(3, 3, 0), Plane(3, 3, 0), Plane(3, 3, 0)}});
    EXPECT_THROW(MakeContactSheet(tiles, layout), std::invalid_argument);
    EXPECT_THROW(MakeContactSheet({}, layout), std::invalid_argument);

    // Refused before its pixels are made: the byte count of this sheet
    // (120150 x 90080 x 3) wraps a 32-bit size_t.
    tiles.pop_back();
    layout.margin = 30000;
    EXPECT_THROW(MakeContactSheet(tiles, layout), std::length_error);
}
}  // namespace
