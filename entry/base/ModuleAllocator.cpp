#include "ModuleAllocator.h"

#include <cstdint>

#include "entry/interface/HostCodes.h"
#include "HostContext.h"

void* AllocateModuleBlock(std::size_t size) {
    const BasicSuite* basic = hostContext.basicSuite;
    if (basic == nullptr) throw HostError{kParamError};
    // The host takes a 32-bit size; a larger request cannot be honoured.
    if (size > UINT32_MAX) throw HostError{kMemoryFull};
    void* block = nullptr;
    const HostStatus status = basic->AllocateBlock(static_cast<uint32_t>(size == 0 ? 1 : size), &block);
    if (status != 0 || block == nullptr) throw HostError{kMemoryFull};
    return block;
}

void FreeModuleBlock(void* block) noexcept {
    const BasicSuite* basic = hostContext.basicSuite;
    if (block == nullptr || basic == nullptr) return;
    basic->FreeBlock(block);
}
