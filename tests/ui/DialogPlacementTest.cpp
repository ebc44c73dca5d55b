// Where a dialog lands, as numbers: centred across its owner, a third of
// the way down, nudged left by the title-bar button width (two thirds of it
// without a system menu), pulled back from the right and bottom screen
// edges but never to a negative position.
#include <gtest/gtest.h>

#include <vector>

#include "ui/DialogPlacement.h"

namespace {
struct Case {
    const char* what;
    ScreenRect area;
    int32_t width, height;
    bool systemMenu;
    int32_t x, y;
};

TEST(DialogPlacement, FollowsTheRuleAcrossOwnerSizesAndScreenEdges) {
    // Button width 18 (shift 18, or 12 without a system menu); screen 1280 x 1024.
    const std::vector<Case> cases = {
        {"narrower than the owner: centred, a third down", {100, 50, 700, 650}, 200, 90, true, 100 + 200 - 18,
         50 + 170},
        {"odd free space rounds down", {0, 0, 301, 301}, 100, 100, true, 100 - 18, 67},
        {"as wide as an owner at the left edge: x = -shift", {0, 40, 400, 600}, 400, 100, true, -18, 40 + 153},
        {"wider than an owner at the left edge: x = -shift", {0, 40, 300, 600}, 500, 100, true, -18, 40 + 153},
        {"no system menu: two thirds of the shift", {0, 40, 300, 600}, 500, 100, false, -12, 40 + 153},
        {"wider than the owner elsewhere: owner's left less the shift", {200, 0, 400, 800}, 300, 100, true, 182, 233},
        {"taller than the owner: at the owner's top", {200, 300, 800, 400}, 200, 500, true, 200 + 200 - 18, 300},
        {"past the right edge: pulled back to end at it", {1000, 0, 1270, 400}, 400, 100, true, 880, 100},
        {"past the bottom edge: pulled back to end at it", {0, 900, 600, 1000}, 200, 300, true, 200 - 18, 724},
        {"wider than the screen: pulled back only as far as 0", {1000, 0, 1270, 400}, 1500, 100, true, 0, 100},
        {"taller than the screen: pulled back only as far as 0", {0, 900, 600, 1000}, 200, 1200, true, 182, 0},
        {"owner off the left edge: stays negative", {-500, -300, 100, 300}, 200, 100, true, -500 + 200 - 18,
         -300 + 166},
        {"ending exactly at the right edge is not past it", {1098, 0, 1298, 300}, 200, 100, true, 1080, 66},
        {"owner beyond the right edge", {2000, 0, 2600, 300}, 200, 100, false, 1080, 66},
    };
    for (const Case& c : cases) {
        DialogPlacementInput input;
        input.ownerArea = c.area;
        input.width = c.width;
        input.height = c.height;
        input.buttonWidth = 18;
        input.hasSystemMenu = c.systemMenu;
        input.screenWidth = 1280;
        input.screenHeight = 1024;
        const DialogPosition position = PlaceDialog(input);
        EXPECT_EQ(position.x, c.x) << c.what;
        EXPECT_EQ(position.y, c.y) << c.what;
    }
}

TEST(DialogPlacement, ShiftWithoutSystemMenuLosesATruncatedThird) {
    struct ShiftCase {
        int32_t button;
        int32_t withMenu, withoutMenu;
    };
    const std::vector<ShiftCase> cases = {{18, 18, 12}, {17, 17, 12}, {16, 16, 11}, {2, 2, 2}, {0, 0, 0}};
    for (const ShiftCase& c : cases) {
        EXPECT_EQ(DialogShift(c.button, true), c.withMenu) << c.button;
        EXPECT_EQ(DialogShift(c.button, false), c.withoutMenu) << c.button;
    }
}

TEST(DialogPlacement, ExtremeInputsDoNotOverflow) {
    DialogPlacementInput input;
    input.ownerArea = {INT32_MAX - 10, INT32_MAX - 10, INT32_MAX, INT32_MAX};
    input.width = INT32_MAX;
    input.height = INT32_MAX;
    input.buttonWidth = 18;
    input.screenWidth = 1280;
    input.screenHeight = 1024;
    const DialogPosition position = PlaceDialog(input);
    EXPECT_EQ(position.x, 0);
    EXPECT_EQ(position.y, 0);
}
}  // namespace
