// Host memory for the plug-in's own allocations, and what it raises when the
// host cannot give any.
#include <gtest/gtest.h>

#include "entry/interface/HostCodes.h"
#include "entry/base/HostContext.h"
#include "entry/base/ModuleAllocator.h"
#include "host/suites/StandInHost.h"

namespace {
int32_t AllocationFailure(std::size_t size) {
    try {
        void* block = AllocateModuleBlock(size);
        FreeModuleBlock(block);
    } catch (const HostError& error) {
        return error.status;
    }
    return 0;
}

TEST(ModuleAllocator, BlocksComeFromTheHostAndGoBack) {
    StandInHost host;
    hostContext.basicSuite = host.Basic();
    void* block = AllocateModuleBlock(256);
    EXPECT_EQ(host.LiveBlocks(), 1u);
    FreeModuleBlock(block);
    EXPECT_EQ(host.LiveBlocks(), 0u);
    EXPECT_EQ(host.FirstError(), "");
    hostContext.basicSuite = nullptr;
}

TEST(ModuleAllocator, RefusedMemoryRaisesMemoryFullWhateverTheHostSaid) {
    StandInHost host;
    hostContext.basicSuite = host.Basic();
    for (HostStatus refusal : {-1, 0x12345678, -108}) {
        host.Inject({"AllocateBlock", static_cast<int>(host.CallCount("AllocateBlock")) + 1, refusal});
        EXPECT_EQ(AllocationFailure(16), kMemoryFull) << "host status " << refusal;
    }
    EXPECT_EQ(host.LiveBlocks(), 0u);
    hostContext.basicSuite = nullptr;
}

TEST(ModuleAllocator, WithoutHostAllocationRaisesParamErrorAndReleaseDoesNothing) {
    hostContext.basicSuite = nullptr;
    EXPECT_EQ(AllocationFailure(16), kParamError);
    int local = 0;
    FreeModuleBlock(&local);  // must not reach any host
}
}  // namespace
