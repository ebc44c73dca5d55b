// DialogBoxParamA inside the module's own side-by-side activation context,
// as the platform headers' isolation-aware wrapper does for code built with
// ISOLATION_AWARE_ENABLED (which mingw-w64 does not provide).
#ifndef LUMACUT_UI_MODULE_ACTIVATION_H
#define LUMACUT_UI_MODULE_ACTIVATION_H

#include <windows.h>

// kernel32's activation-context functions. Windows has them from XP on, so
// they are looked up at run time: a module importing them would not load
// on Windows 2000 at all. All three are null where any one is missing.
struct ActivationContextFunctions {
    HANDLE(WINAPI* create)(const ACTCTXA*) = nullptr;
    BOOL(WINAPI* activate)(HANDLE, ULONG_PTR*) = nullptr;
    BOOL(WINAPI* deactivate)(DWORD, ULONG_PTR) = nullptr;
};

// Looks them up in kernel32 (no caching: callers keep the result).
ActivationContextFunctions KernelActivationContextFunctions();

// The context comes from the module's isolation manifest resource (id 2),
// made once on first use. A module without one runs the dialog in the
// default context, as does a system without activation contexts (the
// dialog call then goes straight through).
class ModuleActivation {
public:
    explicit ModuleActivation(const ActivationContextFunctions& functions) : functions_(functions) {}

    // Returns -1 without showing anything when the context cannot be made
    // or activated for another reason.
    INT_PTR ShowDialog(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM parameter);

private:
    enum class ContextState { Unknown, None, Made };
    bool EnsureContext();

    ActivationContextFunctions functions_;
    ContextState state_ = ContextState::Unknown;
    HANDLE context_ = INVALID_HANDLE_VALUE;
};

// The module's one ModuleActivation, over kernel32's functions, looked up
// on first use.
INT_PTR IsolationAwareDialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure,
                                     LPARAM parameter);

#endif
