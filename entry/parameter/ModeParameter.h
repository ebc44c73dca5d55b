// The plug-in's one scripting parameter, the mode, carried across the host
// boundary so that a recorded action replays the same tonal range.
#ifndef LUMACUT_ENTRY_MODE_PARAMETER_H
#define LUMACUT_ENTRY_MODE_PARAMETER_H

#include <cstdint>

#include "entry/interface/HostInterface.h"

// Reads "Cnt " straight into the current mode; no range check, by design:
// the pipeline knows what to do with a value it has no row for.
int32_t ReadModeParameter(ActionParameters& parameters);

// Replaces the host's descriptor with a new one holding only the mode.
int32_t WriteModeParameter(ActionParameters& parameters);

#endif
