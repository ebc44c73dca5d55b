// Where the dialogs' templates and strings come from: the handle DllMain
// stored, or what the host's access suite says, with the host failing in
// each of the ways it can.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry/base/HostContext.h"
#include "entry/base/HostSuiteTable.h"
#include "host/suites/StandInHost.h"
#include "ui/ModuleInstance.h"

namespace {
int dllMainModule;  // any distinct addresses will do as handles
int defaultModule;
int resourceModule;

ModuleHandle Handle(int& object) { return &object; }

class ModuleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReleaseAllHostSuites();
        hostContext.basicSuite = host.Basic();
        hostContext.pluginRef = host.Plugin();
        moduleInstance = Handle(dllMainModule);
    }
    void TearDown() override {
        ReleaseAllHostSuites();
        hostContext.basicSuite = nullptr;
        moduleInstance = nullptr;
        EXPECT_EQ(host.FirstError(), "") << host.LogText();
    }
    StandInHost host;
};

TEST_F(ModuleInstanceTest, NullReferenceReturnsTheStoredHandleWithoutAskingTheHost) {
    EXPECT_EQ(GetModuleInstance(nullptr), Handle(dllMainModule));
    EXPECT_TRUE(host.AcquireOrder().empty()) << host.LogText();
    EXPECT_EQ(host.CallCount("GetPluginAccess"), 0u);
}

TEST_F(ModuleInstanceTest, HostsAnswerIsStoredAndReturnedWithThePreferenceForTheSecondHandle) {
    struct Case {
        const char* what;
        ModuleHandle first, second, expected;
    };
    const std::vector<Case> cases = {
        {"both given: the second", Handle(defaultModule), Handle(resourceModule), Handle(resourceModule)},
        {"second null: the first", Handle(defaultModule), nullptr, Handle(defaultModule)},
        {"only the second", nullptr, Handle(resourceModule), Handle(resourceModule)},
        {"both null: null", nullptr, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        moduleInstance = Handle(dllMainModule);
        host.SetAccessModules(c.first, c.second);
        EXPECT_EQ(GetModuleInstance(host.Plugin()), c.expected) << c.what;
        // The answer persists for the lookups without a reference.
        EXPECT_EQ(GetModuleInstance(nullptr), c.expected) << c.what;
        EXPECT_EQ(moduleInstance, c.expected) << c.what;
    }
    EXPECT_EQ(host.SuiteUses().at(kAccessSuiteName).acquired, 1) << "held for the rest of the call";
}

TEST_F(ModuleInstanceTest, HostFailuresLeaveOrClearTheStoredHandle) {
    struct Case {
        const char* what;
        InjectedFault fault;
        bool nullAccessRef;
        ModuleHandle expected;
    };
    const std::vector<Case> cases = {
        {"plug-in access fails: unchanged", {"GetPluginAccess", 1, -1}, false, Handle(dllMainModule)},
        {"plug-in access gives no reference: unchanged", {"", 0, 0}, true, Handle(dllMainModule)},
        {"platform access fails: null", {"GetPlatformAccess", 1, 0x7EEE}, false, nullptr},
    };
    for (const Case& c : cases) {
        StandInHost fresh;
        hostContext.basicSuite = fresh.Basic();
        moduleInstance = Handle(dllMainModule);
        fresh.SetAccessModules(Handle(defaultModule), Handle(resourceModule));
        fresh.SetNullAccessRef(c.nullAccessRef);
        if (!c.fault.operation.empty()) fresh.Inject(c.fault);
        EXPECT_EQ(GetModuleInstance(fresh.Plugin()), c.expected) << c.what;
        EXPECT_EQ(GetModuleInstance(nullptr), c.expected) << c.what;
        EXPECT_EQ(fresh.CallCount("GetPlatformAccess"), c.fault.operation == "GetPlatformAccess" ? 1u : 0u)
            << c.what;
        ReleaseAllHostSuites();
        EXPECT_EQ(fresh.SuitesHeld(), 0) << c.what;
        EXPECT_EQ(fresh.FirstError(), "") << fresh.LogText();
    }
    hostContext.basicSuite = host.Basic();
}

TEST_F(ModuleInstanceTest, UnreachableAccessSuiteRaisesTheHostsStatusAndKeepsTheHandle) {
    host.Inject({AcquireOperation(kAccessSuiteName), 1, 0x53214664});
    int32_t raised = 0;
    try {
        GetModuleInstance(host.Plugin());
    } catch (const HostError& error) {
        raised = error.status;
    }
    EXPECT_EQ(raised, 0x53214664);
    EXPECT_EQ(moduleInstance, Handle(dllMainModule));
    EXPECT_EQ(host.CallCount("GetPluginAccess"), 0u);
}
}  // namespace
