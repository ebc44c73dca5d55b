// Memory for large planes. A fresh page costs a fault on its first touch,
// which on a virtual machine is about as dear as a pixel pass over it, and
// the seven runs of one photograph each make a fresh mask of the same size.
// So large blocks that are let go are kept for the next plane of their
// size, as long as what is kept and what is in use together stay within
// the most that planes have ever held at once: keeping them never raises
// the peak.
#ifndef LUMACUT_HOST_PLANE_MEMORY_H
#define LUMACUT_HOST_PLANE_MEMORY_H

#include <cstddef>
#include <cstdint>

// Throws std::bad_alloc when there is no memory; the bytes are not set, and
// a kept block still holds the levels of the plane that had it.
uint8_t* AllocatePlaneBytes(std::size_t bytes);
// Takes back what AllocatePlaneBytes gave, with the same size.
void FreePlaneBytes(uint8_t* pixels, std::size_t bytes) noexcept;

// The system's half (PlaneMemory_posix.cpp, PlaneMemory_win.cpp): memory
// straight from the system and back, and whether a block of this size is
// worth keeping (large ones only, and never where a memory checker must
// see every block go).
uint8_t* SystemPlaneBytes(std::size_t bytes);
void ReturnSystemPlaneBytes(uint8_t* pixels, std::size_t bytes) noexcept;
bool WorthKeeping(std::size_t bytes);

#endif
