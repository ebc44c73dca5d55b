// The suite table seen from inside: acquisition on first use, one release
// per call, statuses raised and kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry/interface/HostCodes.h"
#include "entry/base/HostContext.h"
#include "entry/base/HostSuiteTable.h"
#include "host/suites/StandInHost.h"

namespace {
const char* const kUIHooks = kUIHooksSuiteName;
const char* const kStrings = kStringSuiteName;
const char* const kAccess = kAccessSuiteName;
const char* const kFileList = kFileListSuiteName;

class SuiteTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReleaseAllHostSuites();
        hostContext.basicSuite = host.Basic();
        hostContext.pluginRef = host.Plugin();
    }
    void TearDown() override {
        ReleaseAllHostSuites();
        hostContext.basicSuite = nullptr;
    }
    StandInHost host;
};

int32_t RaisedBy(void (*operation)()) {
    try {
        operation();
    } catch (const HostError& error) {
        return error.status;
    }
    ADD_FAILURE() << "nothing was raised";
    return 0;
}

TEST_F(SuiteTableTest, SuiteUsedManyTimesIsAcquiredOnceAndReleasedAtTheEnd) {
    for (int i = 0; i < 5; ++i) {
        UIHooks();
        Strings();
    }
    EXPECT_EQ(host.SuiteUses().at(kUIHooks).acquired, 1);
    EXPECT_EQ(host.SuiteUses().at(kStrings).acquired, 1);
    EXPECT_EQ(host.SuitesHeld(), 2);
    ReleaseAllHostSuites();
    EXPECT_EQ(host.SuitesHeld(), 0);
    EXPECT_EQ(host.FirstError(), "");
}

TEST_F(SuiteTableTest, HeldSuitesAreReleasedInTableOrderWhateverTheOrderOfUse) {
    FileList();
    Access();
    Strings();
    UIHooks();
    ReleaseAllHostSuites();
    const std::vector<std::string> expected = {kUIHooks, kStrings, kAccess, kFileList};
    EXPECT_EQ(host.ReleaseOrder(), expected);
}

TEST_F(SuiteTableTest, SecondReleaseOfEverythingMakesNoHostCall) {
    UIHooks();
    ReleaseAllHostSuites();
    const std::size_t calls = host.Log().size();
    ReleaseAllHostSuites();
    EXPECT_EQ(host.Log().size(), calls);
}

TEST_F(SuiteTableTest, FailedAcquisitionRaisesTheHostStatusAndKeepsItInLastError) {
    host.Inject({AcquireOperation(kStrings), 1, 0x7E57});
    EXPECT_EQ(RaisedBy([] { Strings(); }), 0x7E57);
    EXPECT_EQ(SuiteRecord(HostSuiteId::String).lastError, 0x7E57);
    EXPECT_EQ(SuiteRecord(HostSuiteId::String).suite, nullptr);
    // The next use asks again, and success clears the kept status.
    Strings();
    EXPECT_EQ(SuiteRecord(HostSuiteId::String).lastError, 0);
}

TEST_F(SuiteTableTest, WithoutBasicSuiteFirstUseRaisesParmAndLeavesLastError) {
    hostContext.basicSuite = nullptr;
    SuiteRecord(HostSuiteId::UIHooks).lastError = 17;
    EXPECT_EQ(static_cast<uint32_t>(RaisedBy([] { UIHooks(); })), FourCC("Parm"));
    EXPECT_EQ(SuiteRecord(HostSuiteId::UIHooks).lastError, 17);
    SuiteRecord(HostSuiteId::UIHooks).lastError = 0;
    EXPECT_TRUE(host.Log().empty());
}

TEST_F(SuiteTableTest, HeldSuiteStaysHeldWhileNoBasicSuiteIsKnown) {
    UIHooks();
    hostContext.basicSuite = nullptr;
    ReleaseAllHostSuites();
    EXPECT_NE(SuiteRecord(HostSuiteId::UIHooks).suite, nullptr);
    hostContext.basicSuite = host.Basic();
    ReleaseAllHostSuites();
    EXPECT_EQ(host.SuitesHeld(), 0);
}

TEST_F(SuiteTableTest, HostThatReportsSuccessWithoutATableIsNotCalledThrough) {
    host.SetAcquireReturnsNullSuite(kUIHooks);
    EXPECT_EQ(static_cast<uint32_t>(RaisedBy([] { UIHooks(); })), FourCC("Parm"));
    // Nothing is held, so nothing is released.
    ReleaseAllHostSuites();
    EXPECT_EQ(host.ReleaseOrder().size(), 0u);
}

TEST(SuiteTable, HoldsTheFourteenRecordsInOrder) {
    // Spelled out here, not taken from the interface header, so that a
    // name or version mistyped there is caught.
    const char* const identifiers[] = {"df135115-c769-11d0-8079-00c04fd7ec47",
                                       "bc1e4d70-f953-11d0-8d9f-00c04fd5f7ee",
                                       "df135117-c769-11d0-8079-00c04fd7ec47",
                                       "df135116-c769-11d0-8079-00c04fd7ec47",
                                       "61e608b0-40fd-11d1-8da3-00c04fd5f7ee",
                                       "Photoshop UIHooks Suite for Plug-ins",
                                       "Photoshop Handle Suite for Plug-ins",
                                       "AS ZString Suite",
                                       "SP Access Suite",
                                       "Photoshop GetFileList Suite for Plug-ins",
                                       "Photoshop Buffer Suite for Plug-ins",
                                       "Photoshop ChannelPorts Suite for Plug-ins",
                                       "SP Runtime Suite",
                                       "Photoshop Property Suite for Plug-ins"};
    const int32_t versions[] = {2, 2, 2, 1, 1, 1, 2, 1, 3, 4, 1, 3, 5, 1};
    for (std::size_t i = 0; i < kHostSuiteCount; ++i) {
        EXPECT_STREQ(HostSuiteTable[i].identifier, identifiers[i]) << "record " << i + 1;
        EXPECT_EQ(HostSuiteTable[i].version, versions[i]) << "record " << i + 1;
    }
}
}  // namespace
