#include "PlaneMemory.h"

// Large pages on Windows need a privilege that programs rarely hold: plain
// heap memory.
uint8_t* AllocatePlaneBytes(std::size_t bytes) { return new uint8_t[bytes]; }

void FreePlaneBytes(uint8_t* pixels, std::size_t) noexcept { delete[] pixels; }
