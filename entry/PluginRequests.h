// Declarations of the work the entry point hands out; each lives with its
// own subsystem.
#ifndef LUMACUT_ENTRY_PLUGIN_REQUESTS_H
#define LUMACUT_ENTRY_PLUGIN_REQUESTS_H

#include <cstdint>

#include "HostInterface.h"

// 0 after OK (the chosen mode stored), -128 after Cancel or when the dialog
// cannot be shown.
int32_t ShowModeDialog();

// The end code of the About box, or -1 when it cannot be shown.
int32_t ShowAboutBox(PluginRef plugin, int32_t dialogId);

// One run request: name, mode, dialog, pipeline, write-back.
int32_t RunRequest(ActionParameters* parameters);

#endif
