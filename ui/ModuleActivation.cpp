#include "ModuleActivation.h"

// The image base of whichever module this code is linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {
constexpr WORD kIsolationManifestId = 2;  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID

enum class ContextState { Unknown, None, Made };

ContextState contextState = ContextState::Unknown;
HANDLE moduleContext = INVALID_HANDLE_VALUE;

bool MeansNoManifest(DWORD error) {
    return error == ERROR_RESOURCE_DATA_NOT_FOUND || error == ERROR_RESOURCE_TYPE_NOT_FOUND ||
           error == ERROR_RESOURCE_NAME_NOT_FOUND || error == ERROR_RESOURCE_LANG_NOT_FOUND;
}

bool MeansNoActivationContexts(DWORD error) {
    return error == ERROR_PROC_NOT_FOUND || error == ERROR_CALL_NOT_IMPLEMENTED;
}

// False when the context is wanted but cannot be had.
bool EnsureModuleContext() {
    if (contextState != ContextState::Unknown) return true;
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = reinterpret_cast<HMODULE>(&__ImageBase);
    request.lpResourceName = MAKEINTRESOURCEA(kIsolationManifestId);
    HANDLE made = CreateActCtxA(&request);
    if (made != INVALID_HANDLE_VALUE) {
        moduleContext = made;
        contextState = ContextState::Made;
        return true;
    }
    const DWORD error = GetLastError();
    if (MeansNoManifest(error) || MeansNoActivationContexts(error)) {
        contextState = ContextState::None;
        return true;
    }
    // Anything else may pass (a busy system); ask again next time.
    return false;
}
}  // namespace

INT_PTR IsolationAwareDialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure,
                                     LPARAM parameter) {
    if (!EnsureModuleContext()) return -1;
    if (contextState == ContextState::None)
        return DialogBoxParamA(instance, templateName, owner, procedure, parameter);

    ULONG_PTR cookie = 0;
    if (!ActivateActCtx(moduleContext, &cookie)) {
        if (!MeansNoActivationContexts(GetLastError())) return -1;
        return DialogBoxParamA(instance, templateName, owner, procedure, parameter);
    }
    const INT_PTR result = DialogBoxParamA(instance, templateName, owner, procedure, parameter);
    DeactivateActCtx(0, cookie);
    return result;
}
