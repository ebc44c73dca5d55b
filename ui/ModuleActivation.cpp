#include "ModuleActivation.h"

// The image base of whichever module this code is linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {
constexpr WORD kIsolationManifestId = 2;  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID

bool MeansNoManifest(DWORD error) {
    return error == ERROR_RESOURCE_DATA_NOT_FOUND || error == ERROR_RESOURCE_TYPE_NOT_FOUND ||
           error == ERROR_RESOURCE_NAME_NOT_FOUND || error == ERROR_RESOURCE_LANG_NOT_FOUND;
}

// What a kernel answers whose functions exist only as stubs.
bool MeansNoActivationContexts(DWORD error) {
    return error == ERROR_PROC_NOT_FOUND || error == ERROR_CALL_NOT_IMPLEMENTED;
}

// GetProcAddress's generic pointer, as the function it names; going
// through void (*)() tells the compiler the cast is meant.
template <typename Function>
void Find(HMODULE kernel, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, name)));
}
}  // namespace

ActivationContextFunctions KernelActivationContextFunctions() {
    ActivationContextFunctions found;
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return found;
    Find(kernel, "CreateActCtxA", found.create);
    Find(kernel, "ActivateActCtx", found.activate);
    Find(kernel, "DeactivateActCtx", found.deactivate);
    if (!found.create || !found.activate || !found.deactivate) return ActivationContextFunctions{};
    return found;
}

// False when the context is wanted but cannot be had.
bool ModuleActivation::EnsureContext() {
    if (state_ != ContextState::Unknown) return true;
    if (!functions_.create) {
        state_ = ContextState::None;
        return true;
    }
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = reinterpret_cast<HMODULE>(&__ImageBase);
    request.lpResourceName = MAKEINTRESOURCEA(kIsolationManifestId);
    HANDLE made = functions_.create(&request);
    if (made != INVALID_HANDLE_VALUE) {
        context_ = made;
        state_ = ContextState::Made;
        return true;
    }
    const DWORD error = GetLastError();
    if (MeansNoManifest(error) || MeansNoActivationContexts(error)) {
        state_ = ContextState::None;
        return true;
    }
    // Anything else may pass (a busy system); ask again next time.
    return false;
}

INT_PTR ModuleActivation::ShowDialog(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure,
                                     LPARAM parameter) {
    if (!EnsureContext()) return -1;
    if (state_ == ContextState::None) return DialogBoxParamA(instance, templateName, owner, procedure, parameter);

    ULONG_PTR cookie = 0;
    if (!functions_.activate(context_, &cookie)) {
        if (!MeansNoActivationContexts(GetLastError())) return -1;
        return DialogBoxParamA(instance, templateName, owner, procedure, parameter);
    }
    const INT_PTR result = DialogBoxParamA(instance, templateName, owner, procedure, parameter);
    functions_.deactivate(0, cookie);
    return result;
}

INT_PTR IsolationAwareDialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure,
                                     LPARAM parameter) {
    static ModuleActivation module(KernelActivationContextFunctions());
    return module.ShowDialog(instance, templateName, owner, procedure, parameter);
}
