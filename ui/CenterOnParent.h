// Places a dialog over its owner window (or the desktop) by the rule of
// DialogPlacement.h; GenericProc calls it at WM_INITDIALOG.
#ifndef LUMACUT_UI_CENTER_ON_PARENT_H
#define LUMACUT_UI_CENTER_ON_PARENT_H

#include <windows.h>

void CenterOnParent(HWND dialog);

#endif
