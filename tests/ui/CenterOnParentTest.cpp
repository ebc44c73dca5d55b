// Placement on real windows of known sizes: the owner's client area, the
// title-bar button width and the screen come from the system, as they do
// for the plug-in's dialogs.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "FrameworkTestDialogs.h"
#include "ui/CenterOnParent.h"

namespace {
class CenterOnParentTest : public FrameworkTest {};

struct Expected {
    int base;      // the position before the shift
    int shifted;   // 1: less the shift, 0: not shifted (pulled back to an edge)
};

struct Case {
    const char* what;
    bool hasOwner;
    WindowBox owner;
    int width, height;
    bool systemMenu;
    Expected x;
    int y;
};

TEST_F(CenterOnParentTest, PlacesRealWindowsOverTheirOwnersByTheRule) {
    const int sw = GetSystemMetrics(SM_CXSCREEN);
    const int sh = GetSystemMetrics(SM_CYSCREEN);
    const int button = GetSystemMetrics(SM_CXSIZE);
    ASSERT_GT(button, 2);
    ASSERT_GE(sw, 1024);
    ASSERT_GE(sh, 768);
    const std::vector<Case> cases = {
        {"narrower than the owner: centred, a third down", true, {100, 100, 900, 700}, 300, 200, true,
         {100 + 250, 1}, 100 + 133},
        {"as wide as an owner at the left edge", true, {0, 100, 400, 500}, 400, 150, true, {0, 1}, 100 + 83},
        {"wider than an owner at the left edge, no system menu", true, {0, 100, 400, 500}, 600, 150, false,
         {0, 1}, 100 + 83},
        {"past the right edge: ends at it", true, {sw - 300, 100, sw - 20, 500}, 400, 100, true, {sw - 400, 0},
         100 + 100},
        {"past the bottom edge: ends at it", true, {100, sh - 150, 700, sh - 50}, 200, 300, true, {100 + 200, 1},
         sh - 300},
        {"wider than the screen: at 0, not beyond", true, {100, 100, 500, 400}, sw + 200, 100, true, {0, 0},
         100 + 66},
        {"taller than the screen: at 0, not beyond", true, {100, 100, 500, 400}, 200, sh + 100, true, {100 + 100, 1},
         0},
        {"no owner: over the desktop", false, {}, 300, 200, true, {(sw - 300) / 2, 1}, (sh - 200) / 3},
    };
    for (const Case& c : cases) {
        std::unique_ptr<HostWindow> owner;
        if (c.hasOwner) {
            owner = std::make_unique<HostWindow>(c.owner, HostWindow::Frame::None);
            ASSERT_TRUE(owner->Created());
            const WindowBox area = owner->ClientOnScreen();
            ASSERT_EQ(area.left, c.owner.left) << c.what;
            ASSERT_EQ(area.Width(), c.owner.Width()) << c.what;
        }
        const DWORD style = WS_POPUP | WS_CAPTION | (c.systemMenu ? WS_SYSMENU : 0);
        HWND dialog = CreateWindowExA(0, "STATIC", "placed", style, 7, 9, c.width, c.height,
                                      owner ? static_cast<HWND>(owner->Handle()) : nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(dialog, nullptr) << c.what;

        CenterOnParent(dialog);

        RECT placed{};
        GetWindowRect(dialog, &placed);
        const int shift = c.systemMenu ? button : button - button / 3;
        EXPECT_EQ(placed.left, c.x.base - c.x.shifted * shift) << c.what << " (shift " << shift << ")";
        EXPECT_EQ(placed.top, c.y) << c.what;
        EXPECT_EQ(placed.right - placed.left, c.width) << c.what << ": the size is kept";
        EXPECT_EQ(placed.bottom - placed.top, c.height) << c.what;
        DestroyWindow(dialog);
    }
}

TEST_F(CenterOnParentTest, ShiftWithoutSystemMenuIsTwoThirdsOfTheButtonWidth) {
    // The same dialog at the left edge of an owner narrower than it, with
    // and without a system menu: the difference is a third of the button.
    HostWindow owner({0, 200, 300, 600}, HostWindow::Frame::None);
    ASSERT_TRUE(owner.Created());
    int left[2] = {};
    for (int withMenu = 0; withMenu < 2; ++withMenu) {
        HWND dialog = CreateWindowExA(0, "STATIC", "placed", WS_POPUP | WS_CAPTION | (withMenu ? WS_SYSMENU : 0), 0,
                                      0, 500, 100, static_cast<HWND>(owner.Handle()), nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(dialog, nullptr);
        CenterOnParent(dialog);
        RECT placed{};
        GetWindowRect(dialog, &placed);
        left[withMenu] = placed.left;
        DestroyWindow(dialog);
    }
    const int button = GetSystemMetrics(SM_CXSIZE);
    EXPECT_EQ(left[1], -button);
    EXPECT_EQ(left[0] - left[1], button / 3);
}
}  // namespace
