/* The captions of the modes, in mode order: the mode dialog's radio buttons
   in the resource script, and the labels the host stand-in gives each
   mode's mask. Plain defines, as the resource compiler reads this file too. */
#ifndef LUMACUT_RESOURCES_MODE_CAPTIONS_H
#define LUMACUT_RESOURCES_MODE_CAPTIONS_H

#define LUMACUT_MODE_1_CAPTION "Highlights normal"
#define LUMACUT_MODE_2_CAPTION "Highlights narrow"
#define LUMACUT_MODE_3_CAPTION "Shadows normal"
#define LUMACUT_MODE_4_CAPTION "Shadows narrow"
#define LUMACUT_MODE_5_CAPTION "Midtones wide"
#define LUMACUT_MODE_6_CAPTION "Midtones medium"
#define LUMACUT_MODE_7_CAPTION "Midtones narrow"

#ifndef RC_INVOKED
#include <string>

#include "entry/interface/PluginModes.h"

inline constexpr const char* kModeCaptions[] = {LUMACUT_MODE_1_CAPTION, LUMACUT_MODE_2_CAPTION, LUMACUT_MODE_3_CAPTION,
                                                LUMACUT_MODE_4_CAPTION, LUMACUT_MODE_5_CAPTION, LUMACUT_MODE_6_CAPTION,
                                                LUMACUT_MODE_7_CAPTION};
static_assert(sizeof kModeCaptions / sizeof kModeCaptions[0] == kModeCount, "one caption a mode");

// "Highlights normal", ...; an empty string for any other mode.
inline std::string ModeCaption(int32_t mode) {
    return mode >= kFirstMode && mode <= kLastMode ? kModeCaptions[mode - kFirstMode] : std::string();
}
#endif

#endif
