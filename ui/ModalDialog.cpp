#include "ModalDialog.h"

#include "GenericProc.h"
#include "ModuleActivation.h"
#include "ModuleInstance.h"

INT_PTR ModalDialog::RunModal(PluginRef pluginRef, const char* name, int32_t id) {
    (void)name;
    dialogId = id;
    plugin = pluginRef;
    // The host's window that has the focus owns the dialog: it is disabled
    // while the dialog is up and gets the activation back afterwards.
    HWND owner = GetActiveWindow();
    HINSTANCE instance = static_cast<HINSTANCE>(GetModuleInstance(pluginRef));
    return IsolationAwareDialogBoxParam(instance, MAKEINTRESOURCEA(LOWORD(static_cast<DWORD>(id))), owner, GenericProc,
                                        reinterpret_cast<LPARAM>(this));
}
