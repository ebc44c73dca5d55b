// The two dialogs the requests show. Without Windows the plug-in answers as
// Windows does when a dialog cannot be shown.
#ifndef LUMACUT_UI_PLUGIN_DIALOGS_H
#define LUMACUT_UI_PLUGIN_DIALOGS_H

#include <cstdint>

#include "entry/interface/HostInterface.h"

// 0 after OK (the chosen mode stored), -128 after Cancel or when the dialog
// cannot be shown.
int32_t ShowModeDialog();

// The end code of the About box, or -1 when it cannot be shown.
int32_t ShowAboutBox(PluginRef plugin, int32_t dialogId);

#endif
