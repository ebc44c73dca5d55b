#include <signal.h>

#include "Interrupt.h"

namespace {
void OnSignal(int) { NoteInterrupt(); }
}  // namespace

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted reads and writes go on, rather than fail with EINTR.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}
