#include "CliTestSupport.h"

// The null device answers every open, in every folder; a FIFO or a socket
// has no name in a Windows folder.
std::vector<NotAFile> NotFiles(const ScratchFolder&) { return {{"NUL", "is a device"}}; }
