// The base of the plug-in's modal dialogs: a subclass overrides the hooks,
// the shared dialog procedure (GenericProc) calls them, RunModal shows the
// dialog over the host's active window and returns its end code.
#ifndef LUMACUT_UI_MODAL_DIALOG_H
#define LUMACUT_UI_MODAL_DIALOG_H

#include <windows.h>

#include <cstdint>

#include "entry/interface/HostInterface.h"

class ModalDialog {
public:
    ModalDialog() = default;
    // Dialogs are automatic objects of the function that shows them; they
    // own nothing and are never copied.
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Once, from WM_INITDIALOG, after `window` is set.
    virtual void OnInit() {}
    // Every WM_COMMAND, before the framework decides whether OK or Cancel
    // ends the dialog.
    virtual void OnCommand(int controlId) { (void)controlId; }
    // Every other message while the dialog is attached; no result.
    virtual void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        (void)message;
        (void)wParam;
        (void)lParam;
    }
    // Shows template `id` (its low 16 bits) from the plug-in's module over
    // the active window. Returns the end code, or -1 when the dialog cannot
    // be shown. `name` only tells the reader of a call which dialog it is.
    // Throws HostError when the host's access suite cannot be acquired,
    // before any window exists.
    virtual INT_PTR RunModal(PluginRef pluginRef, const char* name, int32_t id);

    int32_t dialogId = 0;
    HWND window = nullptr;  // set at WM_INITDIALOG, kept after the window is gone
    PluginRef plugin = nullptr;
};

#endif
