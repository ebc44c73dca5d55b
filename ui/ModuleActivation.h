// DialogBoxParamA inside the module's own side-by-side activation context,
// as the platform headers' isolation-aware wrapper does for code built with
// ISOLATION_AWARE_ENABLED (which mingw-w64 does not provide).
#ifndef LUMACUT_UI_MODULE_ACTIVATION_H
#define LUMACUT_UI_MODULE_ACTIVATION_H

#include <windows.h>

// The context comes from the module's isolation manifest resource (id 2),
// made once on first use. A module without one runs the dialog in the
// default context, as does a system without activation contexts. Returns
// -1 without showing anything when the context cannot be made or activated
// for another reason.
INT_PTR IsolationAwareDialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure,
                                     LPARAM parameter);

#endif
