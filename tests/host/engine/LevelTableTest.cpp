// The spline table against values worked out by hand (exact fractions of
// the natural spline, then rounded half up and clamped).
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/engine/LevelTable.h"

namespace {
struct HandWorked {
    int input;
    int level;
};

struct CurveCase {
    std::string name;
    std::vector<SplinePoint> points;
    std::vector<HandWorked> values;
};

// Second derivatives at the inner points (exact): Normal 25075/28120664 and
// 892339/28120664; Narrow -5045/52723801 and 3188538/52723801; Band
// -85/1806; Medium 109530/16370687 and 261690/16370687; NarrowMid
// 3874659/810605720 and 47762373/1621211440. The values below follow from
// them; the comment gives the unrounded value.
const std::vector<CurveCase> kCurves = {
    {"NormalCurve",
     {{0, 0}, {85, 0}, {151, 26}, {255, 255}},
     {{0, 0}, {85, 0}, {86, 0} /* 0.0258 */, {120, 5} /* 4.7696 */, {151, 26}, {200, 112} /* 112.1033 */,
      {255, 255}}},
    {"NarrowCurve",
     {{0, 0}, {130, 0}, {177, 22}, {255, 255}},
     {{130, 0}, {131, 0} /* -0.0040, clamped */, {160, 6} /* 5.6320 */, {177, 22}, {220, 128} /* 128.4724 */,
      {255, 255}}},
    {"MidtoneBandCurve",
     {{0, 0}, {126, 255}, {255, 0}},
     {{0, 0}, {1, 3} /* 3.0121 */, {63, 174} /* 174.2006 */, {124, 255} /* 254.8122 */, {126, 255},
      {128, 255} /* 255.0005 */, {190, 178} /* 177.5628 */, {254, 3} /* 2.9886 */, {255, 0}}},
    {"MidtoneMediumCurve",
     {{0, 0}, {47, 0}, {70, 5}, {255, 255}},
     {{20, 0} /* -0.8584, clamped */, {47, 0}, {52, 1} /* 0.6162 */, {70, 5}, {160, 92} /* 92.1453 */,
      {255, 255}}},
    {"MidtoneNarrowCurve",
     {{0, 0}, {97, 1}, {137, 18}, {255, 255}},
     {{50, 0} /* -2.3217, clamped */, {97, 1}, {120, 7} /* 7.3073 */, {137, 18}, {200, 120} /* 119.5901 */,
      {255, 255}}},
    // Two points make a straight line.
    {"line", {{0, 0}, {255, 255}}, {{0, 0}, {1, 1}, {127, 127}, {128, 128}, {255, 255}}},
    // Inner points only: flat before the first and after the last.
    {"flat outside", {{64, 32}, {192, 224}}, {{0, 32}, {63, 32}, {64, 32}, {128, 128}, {192, 224}, {255, 224}}},
    // (0,0), (50,255), (255,255) overshoots to 413.8 at 150: clamped.
    {"clamped above", {{0, 0}, {50, 255}, {255, 255}}, {{50, 255}, {100, 255}, {150, 255}, {254, 255}}},
    // Fractional points, as a descriptor may carry them: 0.5 -> 1 and 253.5 -> 254 (half up).
    {"fractions", {{0, 0.5}, {255, 253.5}}, {{0, 1}, {255, 254}}},
};

class LevelTableCurves : public ::testing::TestWithParam<CurveCase> {};

TEST_P(LevelTableCurves, MatchesHandWorkedValues) {
    const CurveCase& curve = GetParam();
    LevelTable table{};
    ASSERT_TRUE(MakeLevelTable(curve.points, table));
    for (const HandWorked& value : curve.values)
        EXPECT_EQ(table[value.input], value.level) << curve.name << " at input " << value.input;
    // Whatever the curve, the table passes exactly through whole-number points.
    for (const SplinePoint& point : curve.points) {
        if (point.input == std::floor(point.input) && point.output == std::floor(point.output)) {
            EXPECT_EQ(table[static_cast<int>(point.input)], static_cast<int>(point.output)) << curve.name;
        }
    }
}

std::string CurveName(const ::testing::TestParamInfo<CurveCase>& curve) {
    std::string name = curve.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Curves, LevelTableCurves, ::testing::ValuesIn(kCurves), CurveName);

TEST(LevelTable, RejectsPointsItCannotDraw) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<SplinePoint>> refused = {
        {},
        {{0, 0}},
        {{0, 0}, {0, 255}},                // inputs must increase
        {{100, 0}, {50, 255}},             // decreasing
        {{0, 0}, {128, 10}, {128, 20}, {255, 255}},
        {{-1, 0}, {255, 255}},             // outside the level scale
        {{0, 0}, {256, 255}},
        {{0, -0.5}, {255, 255}},
        {{0, 0}, {255, 255.5}},
        {{0, nan}, {255, 255}},
        {{0, 0}, {std::numeric_limits<double>::infinity(), 255}},
        std::vector<SplinePoint>(257, SplinePoint{0, 0}),
    };
    for (const auto& points : refused) {
        LevelTable table = IdentityLevels();
        EXPECT_FALSE(MakeLevelTable(points, table)) << points.size() << " points";
        EXPECT_EQ(table, IdentityLevels()) << "a refused curve must leave the table alone";
    }
}

TEST(LevelTable, ManyPointsFollowTheirLine) {
    // 256 points on a line: the spline is that line, whole table exact.
    std::vector<SplinePoint> points;
    for (int level = 0; level < 256; ++level) points.push_back({double(level), double(255 - level)});
    LevelTable table{};
    ASSERT_TRUE(MakeLevelTable(points, table));
    EXPECT_EQ(table, InvertedLevels());
}
}  // namespace
