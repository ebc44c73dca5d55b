#include "PlaneMemory.h"

// Large pages on Windows need a privilege that programs rarely hold: plain
// heap memory, whose large blocks come fresh from the system each time,
// and so are worth keeping as elsewhere.
uint8_t* SystemPlaneBytes(std::size_t bytes) { return new uint8_t[bytes]; }

void ReturnSystemPlaneBytes(uint8_t* pixels, std::size_t) noexcept { delete[] pixels; }

bool WorthKeeping(std::size_t bytes) { return bytes >= (std::size_t{1} << 20); }
