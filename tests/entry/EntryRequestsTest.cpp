// The entry point seen from the host: which requests do work, what every
// call leaves behind, and the status of each way a call can fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry/interface/HostCodes.h"
#include "support/PluginUnderTest.h"

namespace {
const char* const kUIHooks = kUIHooksSuiteName;
const char* const kDescriptors = kDescriptorSuiteName;

struct Pair {
    const char* caller;
    const char* selector;
};

class EntryRequests : public PluginTest {};

TEST_F(EntryRequests, RequestsOtherThanAboutAndRunDoNothing) {
    const std::string longText(4096, 'x');
    const std::vector<Pair> pairs = {{"PS Photoshop", "About"}, {"SP Interface", "Do It"},
                                     {"SP Interface", "Reload"}, {"ps photoshop", "do it"},
                                     {"PS Photoshop", "Do it"},  {"", ""},
                                     {longText.c_str(), longText.c_str()}, {nullptr, nullptr},
                                     {"PS Photoshop", nullptr}};
    for (const Pair& pair : pairs) {
        StandInHost fresh;
        const HostStatus status = SendRequest(PluginUnderTest(), fresh, pair.caller, pair.selector, nullptr);
        EXPECT_EQ(status, 0) << (pair.caller ? pair.caller : "(null)");
        EXPECT_EQ(fresh.AcquireOrder().size(), 0u) << fresh.LogText();
        EXPECT_EQ(fresh.CallCount("GetPluginName"), 0u);
        EXPECT_EQ(fresh.FirstError(), "") << fresh.LogText();
    }
}

TEST_F(EntryRequests, JunkAboveTheHostsEqualByteDoesNotMakeStringsEqual) {
    host.SetIsEqualJunk(0xABCDEF00u);
    EXPECT_EQ(Request("PS Photoshop", "About"), 0);
    EXPECT_EQ(host.CallCount("GetPluginName"), 0u);
    host.Inject({"GetPluginName", 1, 0x4E4F});
    EXPECT_EQ(Request("PS Photoshop", "Do It"), 0x4E4F) << "the run request must still be recognised";
}

TEST_F(EntryRequests, NullMessageOrNullBasicSuiteIsRefusedWithoutTouchingTheHost) {
    EXPECT_EQ(static_cast<uint32_t>(PluginUnderTest().Entry()("PS Photoshop", "Do It", nullptr)), FourCC("Parm"));
    EntryMessage message{};
    message.self = host.Plugin();
    EXPECT_EQ(static_cast<uint32_t>(PluginUnderTest().Entry()("PS Photoshop", "Do It", &message)), FourCC("Parm"));
    EXPECT_TRUE(host.Log().empty()) << host.LogText();
}

TEST_F(EntryRequests, FailedPluginNameEndsTheRunWithItsStatusBeforeAnythingElse) {
    host.Inject({"GetPluginName", 1, -1234});
    char junk = 0;  // what the failing host leaves in the out value
    host.SetFailedNameJunk(reinterpret_cast<HostString>(&junk));
    ActionParameters parameters{1, 7, nullptr};
    EXPECT_EQ(Run(&parameters), -1234);
    const std::vector<std::string> acquired = {kStringSuiteName, kUIHooks};
    EXPECT_EQ(host.AcquireOrder(), acquired) << "no dialog, no parameter read, no event";
    EXPECT_EQ(parameters.recordInfo, 7);
    EXPECT_EQ(host.CallCount("ReleaseString"), 0u) << "a failed call hands back no name to release";
    ExpectCleanHost();
}

TEST_F(EntryRequests, UnreachableSuiteBecomesTheCallsStatusAndNothingStaysHeld) {
    for (const char* suite : {kUIHooks, kDescriptors, kStringSuiteName}) {
        StandInHost fresh;
        fresh.Inject({AcquireOperation(suite), 1, 0x51F7});
        ActionParameters parameters{0, 3, nullptr};
        EXPECT_EQ(SendRun(PluginUnderTest(), fresh, &parameters), 0x51F7) << suite;
        EXPECT_EQ(fresh.SuitesHeld(), 0) << fresh.LogText();
        EXPECT_EQ(fresh.LiveStrings(), 0u) << "the plug-in name is given back on every path";
        EXPECT_EQ(fresh.LiveBlocks(), 0u);
        EXPECT_EQ(parameters.recordInfo, 3);
        EXPECT_EQ(parameters.descriptor, nullptr);
    }
}

TEST_F(EntryRequests, RunWithoutParametersRunsAndWritesNothingBack) {
    EXPECT_EQ(Run(nullptr), 0) << host.LogText();
    EXPECT_EQ(host.CallCount("GetPluginName"), 1u);
    ExpectCleanHost();
}

TEST_F(EntryRequests, EverySuiteOfARunIsAcquiredOnceAndReleasedInTableOrder) {
    ActionParameters parameters{0, 0, nullptr};
    ASSERT_EQ(Run(&parameters), 0) << host.LogText();
    const std::vector<std::string> tableOrder = {kDescriptors,   kControlSuiteName, kReferenceSuiteName,
                                                 kListSuiteName, kUIHooks,          kStringSuiteName};
    EXPECT_EQ(host.ReleaseOrder(), tableOrder);
    for (const auto& use : host.SuiteUses()) EXPECT_EQ(use.second.acquired, 1) << use.first;
    ExpectCleanHost();

    // A second call acquires afresh.
    ASSERT_EQ(Run(&parameters), 0);
    for (const auto& use : host.SuiteUses()) EXPECT_EQ(use.second.acquired, 2) << use.first;
    ExpectCleanHost();
}

#if !defined(_WIN32)
// Natively there is no About box to show: the request still answers 0 and
// holds nothing. (Under Windows the dialog tests drive the real box.)
TEST_F(EntryRequests, AboutRequestAnswersZeroAndRunsNothing) {
    EXPECT_EQ(About(), 0);
    EXPECT_EQ(host.CallCount("GetPluginName"), 0u);
    ExpectCleanHost();
}
#endif
}  // namespace
