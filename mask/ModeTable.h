// What each mode value means: whether the selection is inverted before the
// mask is made, and which curves shape the mask. Shadows reuse the
// highlight curves on the inverted selection.
#ifndef LUMACUT_MASK_MODE_TABLE_H
#define LUMACUT_MASK_MODE_TABLE_H

#include <cstdint>

#include "ToneCurves.h"
#include "entry/interface/PluginModes.h"

struct ModeRow {
    int32_t mode;
    bool invertSelection;
    const ToneCurve* firstCurve;   // null: no curve
    const ToneCurve* secondCurve;  // null: no second curve
};

inline constexpr ModeRow kModeTable[] = {
    {1, false, &NormalCurve, nullptr},
    {2, false, &NarrowCurve, nullptr},
    {3, true, &NormalCurve, nullptr},
    {4, true, &NarrowCurve, nullptr},
    {5, false, &MidtoneBandCurve, nullptr},
    {6, false, &MidtoneBandCurve, &MidtoneMediumCurve},
    {7, false, &MidtoneBandCurve, &MidtoneNarrowCurve},
};

static_assert(sizeof kModeTable / sizeof kModeTable[0] == kModeCount, "one row per mode");

// A value with no row (only a scripting parameter can bring one) inverts
// nothing and plays no curve.
inline constexpr ModeRow kNoModeRow = {0, false, nullptr, nullptr};

constexpr const ModeRow& ModeRowFor(int32_t mode) {
    return mode >= kFirstMode && mode <= kLastMode ? kModeTable[mode - kFirstMode] : kNoModeRow;
}

#endif
