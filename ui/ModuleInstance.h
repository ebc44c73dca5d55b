// The module instance from which the plug-in's dialog templates and strings
// are loaded. Portable: the handle is opaque here (an HINSTANCE on Windows).
#ifndef LUMACUT_UI_MODULE_INSTANCE_H
#define LUMACUT_UI_MODULE_INSTANCE_H

#include "entry/interface/HostInterface.h"

using ModuleHandle = void*;

// Stored by DllMain with the module handle of every notification; replaced
// by GetModuleInstance when it asks the host. Null until the first
// notification.
extern ModuleHandle moduleInstance;

// With a null reference: the stored handle, unchanged. With a plug-in
// reference: asks the host's access suite where the plug-in's resources
// live and stores the answer (the resource module if the host names one,
// else the default module; null if the host fails to describe them), then
// returns it. Throws HostError when the access suite cannot be acquired.
ModuleHandle GetModuleInstance(PluginRef plugin);

#endif
