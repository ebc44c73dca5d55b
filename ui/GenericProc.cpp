#include "GenericProc.h"

#include "CenterOnParent.h"
#include "ModalDialog.h"

ModalDialog* currentDialog = nullptr;

namespace {
// A hook that fails (host memory or a suite that cannot be had) has done
// nothing a user could rely on; a short beep says the click went nowhere,
// and the dialog carries on as if the hook had returned.
template <typename Hook>
void CallHook(Hook hook) noexcept {
    try {
        hook();
    } catch (...) {
        MessageBeep(MB_ICONWARNING);
    }
}
}  // namespace

extern "C" INT_PTR CALLBACK GenericProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_DESTROY:
        currentDialog = nullptr;
        return 0;

    case WM_INITDIALOG: {
        CenterOnParent(window);
        currentDialog = reinterpret_cast<ModalDialog*>(lParam);
        if (currentDialog == nullptr) return FALSE;
        ModalDialog* dialog = currentDialog;
        dialog->window = window;
        CallHook([dialog] { dialog->OnInit(); });
        // TRUE: the dialog manager gives the first tab stop the focus.
        return TRUE;
    }

    case WM_COMMAND: {
        const int controlId = LOWORD(wParam);
        const int notification = HIWORD(wParam);
        if (ModalDialog* dialog = currentDialog) CallHook([dialog, controlId] { dialog->OnCommand(controlId); });
        // A button's other notifications (focus, double click) and menu or
        // accelerator codes do not end the dialog.
        if ((controlId == IDOK || controlId == IDCANCEL) && notification == 0) EndDialog(window, controlId);
        return TRUE;
    }

    default:
        if (ModalDialog* dialog = currentDialog)
            CallHook([dialog, message, wParam, lParam] { dialog->OnMessage(message, wParam, lParam); });
        return FALSE;
    }
}
