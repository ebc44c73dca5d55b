#include <windows.h>

#include "Interrupt.h"

namespace {
// Ctrl-C and Ctrl-Break: handled, so Windows does not end the process.
// Closing the console or logging off cannot be refused for long, so those
// keep the default.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    NoteInterrupt();
    return TRUE;
}
}  // namespace

void CatchInterrupts() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }
