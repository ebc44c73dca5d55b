// Memory for large planes from the system. A fresh page costs a fault on its
// first touch, which on a virtual machine is about as dear as a pixel pass
// over it; where the system lets a program ask for large pages, a plane's
// pixels get them and a 24-megapixel plane is faulted in a dozen times
// instead of six thousand.
#ifndef LUMACUT_HOST_PLANE_MEMORY_H
#define LUMACUT_HOST_PLANE_MEMORY_H

#include <cstddef>
#include <cstdint>

// Throws std::bad_alloc when there is no memory; the bytes are not set.
uint8_t* AllocatePlaneBytes(std::size_t bytes);
// Takes back what AllocatePlaneBytes gave, with the same size.
void FreePlaneBytes(uint8_t* pixels, std::size_t bytes) noexcept;

#endif
