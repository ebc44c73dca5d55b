// Every dynamic allocation of the plug-in's own code comes from host memory,
// through the basic suite of the latest entry call.
#ifndef LUMACUT_ENTRY_MODULE_ALLOCATOR_H
#define LUMACUT_ENTRY_MODULE_ALLOCATOR_H

#include <cstddef>

// Throws HostError: -108 when the host refuses, -50 with no basic suite.
void* AllocateModuleBlock(std::size_t size);
// Does nothing for a null block or with no basic suite known.
void FreeModuleBlock(void* block) noexcept;

#endif
