// The library entry Windows calls, through the runtime's start-up code, for
// every process and thread notification: the runtime is up before the
// attach calls and still up during the detach calls, so its files and clock
// can be used here.
#include <windows.h>

#include "module/LoadLog.h"
#include "ui/ModuleInstance.h"

// No host is known here, so nothing may allocate through the module
// allocator; the load log writes from fixed buffers. A log that cannot be
// written (read-only file, no drive C:) changes nothing: the module loads.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    AppendLoadLogLine(kLoadLogPath, reason);
    moduleInstance = instance;
    return TRUE;
}
