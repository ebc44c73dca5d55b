#include "Interrupt.h"

#include <atomic>

namespace {
// Lock-free, so a signal handler may set it.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler needs a lock-free flag");
}  // namespace

bool Interrupted() { return interrupted.load(); }

void NoteInterrupt() { interrupted.store(true); }
