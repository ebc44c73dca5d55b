// Where a dialog goes over its owner: centred across, a third of the way
// down, nudged left by a title-bar button's width, and pulled back inside
// the right and bottom screen edges. The arithmetic alone, portable, so it
// can be checked without windows; CenterOnParent feeds it real ones.
#ifndef LUMACUT_UI_DIALOG_PLACEMENT_H
#define LUMACUT_UI_DIALOG_PLACEMENT_H

#include <cstdint>

struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct DialogPlacementInput {
    ScreenRect ownerArea;   // the owner's client area in screen coordinates
    int32_t width = 0;      // the dialog's outer size
    int32_t height = 0;
    int32_t buttonWidth = 0;  // SM_CXSIZE
    bool hasSystemMenu = true;
    int32_t screenWidth = 0;  // primary display
    int32_t screenHeight = 0;
};

struct DialogPosition {
    int32_t x = 0;
    int32_t y = 0;
};

// A dialog without a system menu has no close box, and is shifted by only
// two thirds of a button's width.
int32_t DialogShift(int32_t buttonWidth, bool hasSystemMenu);

// Only the right and bottom edges are clamped, and never below 0; a
// position that comes out negative otherwise is kept.
DialogPosition PlaceDialog(const DialogPlacementInput& input);

#endif
