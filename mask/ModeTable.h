// What each mode value means: whether the selection is inverted before the
// mask is made, and which curves shape the mask. Shadows reuse the
// highlight curves on the inverted selection.
#ifndef LUMACUT_MASK_MODE_TABLE_H
#define LUMACUT_MASK_MODE_TABLE_H

#include <cstdint>

#include "ToneCurves.h"

struct ModeRow {
    int32_t mode;
    const char* caption;  // the mode dialog's radio button text
    bool invertSelection;
    const ToneCurve* firstCurve;   // null: no curve
    const ToneCurve* secondCurve;  // null: no second curve
};

inline constexpr ModeRow kModeTable[] = {
    {1, "Highlights normal", false, &NormalCurve, nullptr},
    {2, "Highlights narrow", false, &NarrowCurve, nullptr},
    {3, "Shadows normal", true, &NormalCurve, nullptr},
    {4, "Shadows narrow", true, &NarrowCurve, nullptr},
    {5, "Midtones wide", false, &MidtoneBandCurve, nullptr},
    {6, "Midtones medium", false, &MidtoneBandCurve, &MidtoneMediumCurve},
    {7, "Midtones narrow", false, &MidtoneBandCurve, &MidtoneNarrowCurve},
};

constexpr int32_t kModeCount = 7;
static_assert(sizeof kModeTable / sizeof kModeTable[0] == kModeCount, "one row per mode");

// A value with no row (only a scripting parameter can bring one) inverts
// nothing and plays no curve.
inline constexpr ModeRow kNoModeRow = {0, nullptr, false, nullptr, nullptr};

constexpr const ModeRow& ModeRowFor(int32_t mode) {
    return mode >= 1 && mode <= kModeCount ? kModeTable[mode - 1] : kNoModeRow;
}

#endif
