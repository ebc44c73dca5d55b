// The plug-in's global allocation functions, linked into the module only (a
// test program that links the plug-in's code keeps its own allocator). On the
// native build the module's symbols stay local, so these never capture the
// host's allocations.
#include <cstddef>
#include <new>

#include "entry/base/HostContext.h"
#include "entry/base/ModuleAllocator.h"

// The language wants std::bad_alloc from a failing operator new, but the
// plug-in's callers only ever see HostError: the entry point turns it into
// the host's memory status.
void* operator new(std::size_t size) { return AllocateModuleBlock(size); }
void* operator new[](std::size_t size) { return AllocateModuleBlock(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return AllocateModuleBlock(size);
    } catch (const HostError&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* block) noexcept { FreeModuleBlock(block); }
void operator delete[](void* block) noexcept { FreeModuleBlock(block); }
void operator delete(void* block, std::size_t) noexcept { FreeModuleBlock(block); }
void operator delete[](void* block, std::size_t) noexcept { FreeModuleBlock(block); }
