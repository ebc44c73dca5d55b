// The Curves event on the target channel (after AddRevealMask, the work
// layer's mask) with one of the constant tone curves.
#ifndef LUMACUT_MASK_MASK_CURVE_H
#define LUMACUT_MASK_MASK_CURVE_H

#include <cstdint>

#include "ToneCurves.h"

// The host's code: 0 when the curve was applied.
int32_t ApplyMaskCurve(const ToneCurve& curve);

#endif
