// The dialog procedure of every framework dialog, exported as
// "_GenericProc@16" by the 32-bit module and "GenericProc" by the x64 one.
#ifndef LUMACUT_UI_GENERIC_PROC_H
#define LUMACUT_UI_GENERIC_PROC_H

#include <windows.h>

class ModalDialog;

// The dialog attached to the open framework dialog, or null. One for the
// whole module: only one framework dialog is open at a time.
extern ModalDialog* currentDialog;

// Places the dialog and attaches the object at WM_INITDIALOG, passes
// commands and other messages to the hooks, ends the dialog on OK and
// Cancel (notification code 0) with their own ids, detaches at WM_DESTROY.
// Whatever a hook throws is caught here: nothing may unwind into the
// dialog manager.
extern "C" INT_PTR CALLBACK GenericProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

#endif
