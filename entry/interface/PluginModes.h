// The plug-in's modes as the host, its recorded actions and the plug-in
// count them, and the key that carries the mode in the scripting
// parameters.
#ifndef LUMACUT_ENTRY_PLUGIN_MODES_H
#define LUMACUT_ENTRY_PLUGIN_MODES_H

#include <cstdint>

#include "HostCodes.h"

constexpr int32_t kFirstMode = 1;
constexpr int32_t kModeCount = 7;
constexpr int32_t kLastMode = kFirstMode + kModeCount - 1;

// The key as the terminology resource spells it, and as a code.
inline constexpr char kModeKeyText[] = "Cnt ";
constexpr FourCharCode kModeKey = FourCC(kModeKeyText);

#endif
