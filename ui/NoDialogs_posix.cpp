// Where there are no Windows dialogs the plug-in answers exactly as the
// Windows code does when the dialog manager cannot show a dialog.
#include "entry/interface/HostCodes.h"
#include "PluginDialogs.h"

int32_t ShowModeDialog() { return kUserCancelled; }

int32_t ShowAboutBox(PluginRef, int32_t) { return -1; }
