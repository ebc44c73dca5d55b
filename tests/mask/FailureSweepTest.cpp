// Failure at every Actions-suite operation of every mode, through the real
// module: the run's code is the failing operation's, widened from its low
// 16 bits; nothing after it is played; every handle made so far is freed,
// the result first and then in the order made; the parameters are written
// back only after a run that succeeded.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/ExpectedEvents.h"
#include "entry/interface/HostCodes.h"
#include "host/suites/ActionsHost.h"
#include "support/PluginUnderTest.h"

namespace {
struct Encoding {
    uint32_t status;  // as the host leaves it in the register
    int32_t code;     // as the plug-in must report it
};

// The same code with a clean, a junk and a sign-extended high half, and a
// positive one.
const Encoding kEncodings[] = {
    {0x0000FF80u, -128}, {0x1234FF80u, -128}, {0xFFFFFF80u, -128}, {0x5678002Au, 42}};

bool IsFree(const ActionsCall& call) { return call.operation.size() > 4 && call.operation.rfind("Free") == call.operation.size() - 4; }

int Serial(const std::string& label) { return std::stoi(label.substr(1)); }

struct Outcome {
    HostStatus status = 0;
    std::vector<ActionsCall> calls;
    std::vector<PlayedEvent> played;
    ActionParameters parameters{};
    bool parametersLive = false;
    std::optional<DescriptorValue> parametersContent;
    std::size_t liveHandles = 0;
    std::string firstError;
    std::string log;
};

constexpr int32_t kRecordInfo = 5;

Outcome RunOnce(int32_t mode, bool fillResults, const InjectedFault* fault) {
    StandInHost host;
    host.Actions().SetPlayFillsResult(fillResults);
    host.Actions().SetJunkOutOnFailedMake(true);
    if (fault != nullptr) host.Inject(*fault);
    Outcome outcome;
    ActionParameters parameters{0, kRecordInfo, host.Actions().NewDescriptor({{FourCC("Cnt "), ActionValue::Integer(mode)}})};
    outcome.status = SendRun(PluginUnderTest(), host, &parameters);
    outcome.calls = host.Actions().Calls();
    outcome.played = host.Actions().Played();
    outcome.parameters = parameters;
    outcome.parametersLive = host.Actions().IsLive(parameters.descriptor);
    outcome.parametersContent = host.Actions().Content(parameters.descriptor);
    outcome.liveHandles = host.Actions().LiveHandles();
    outcome.firstError = host.FirstError();
    outcome.log = host.LogText();
    return outcome;
}

class FailureSweep : public PluginTest, public ::testing::WithParamInterface<std::tuple<int32_t, bool>> {};

TEST_P(FailureSweep, EveryOperationFailingEndsTheRunCleanly) {
    const int32_t mode = std::get<0>(GetParam());
    const bool fillResults = std::get<1>(GetParam());
    const Outcome clean = RunOnce(mode, fillResults, nullptr);
    ASSERT_EQ(clean.status, 0) << clean.log;
    ASSERT_EQ(clean.played, expected::Run(mode));
    const DescriptorValue incoming = {{FourCC("Cnt "), ActionValue::Integer(mode)}};

    // Reading the parameter is the first call, writing it back the last
    // three (make, put, free the host's old descriptor).
    const std::size_t count = clean.calls.size();
    ASSERT_EQ(clean.calls.front().operation, "DescriptorGetInteger");
    ASSERT_EQ(clean.calls[count - 3].operation, "DescriptorMake");

    for (std::size_t n = 1; n <= count; ++n) {
        const Encoding& encoding = kEncodings[n % 4];
        const InjectedFault fault{"actions", static_cast<int>(n), static_cast<HostStatus>(encoding.status)};
        const Outcome failed = RunOnce(mode, fillResults, &fault);
        const ActionsCall& failing = clean.calls[n - 1];
        const std::string where = "mode " + std::to_string(mode) + ", operation " + std::to_string(n) + " (" +
                                  failing.operation + " " + failing.handle + ")\n" + failed.log;

        EXPECT_EQ(failed.firstError, "") << where;
        EXPECT_EQ(failed.liveHandles, 0u) << where;

        if (IsFree(failing)) {
            // A failed Free changes nothing.
            EXPECT_EQ(failed.status, 0) << where;
            EXPECT_EQ(failed.played, clean.played) << where;
            EXPECT_EQ(failed.parametersContent, incoming) << where;
            EXPECT_EQ(failed.parameters.recordInfo, 0) << where;
            continue;
        }
        if (n == 1) {
            // The mode could not be read: the run goes on with the default.
            EXPECT_EQ(failed.status, 0) << where;
            EXPECT_EQ(failed.played, expected::Run(1)) << where;
            EXPECT_EQ(failed.parametersContent, (DescriptorValue{{FourCC("Cnt "), ActionValue::Integer(1)}})) << where;
            continue;
        }
        if (n > count - 3) {
            // The write-back failed: the run still succeeds, and the host's
            // parameters are exactly as it passed them.
            EXPECT_EQ(failed.status, 0) << where;
            EXPECT_EQ(failed.played, clean.played) << where;
            EXPECT_TRUE(failed.parametersLive) << where;
            EXPECT_EQ(failed.parametersContent, incoming) << where;
            EXPECT_EQ(failed.parameters.recordInfo, kRecordInfo) << where;
            continue;
        }

        // A pipeline operation failed.
        EXPECT_EQ(failed.status, encoding.code) << where;
        std::size_t playsSoFar = 0;
        for (std::size_t i = 0; i < n; ++i) playsSoFar += clean.calls[i].operation == "Play";
        ASSERT_EQ(failed.played.size(), playsSoFar) << where;
        for (std::size_t i = 0; i < playsSoFar; ++i) {
            EXPECT_EQ(failed.played[i].event, clean.played[i].event) << where;
            EXPECT_EQ(failed.played[i].descriptor, clean.played[i].descriptor) << where;
        }
        if (failing.operation == "Play") {
            EXPECT_EQ(failed.played.back().status, static_cast<HostStatus>(encoding.status)) << where;
        }
        EXPECT_TRUE(failed.parametersLive) << where;
        EXPECT_EQ(failed.parametersContent, incoming) << where;
        EXPECT_EQ(failed.parameters.recordInfo, kRecordInfo) << where;

        // The calls up to the failing one are the clean run's; after it
        // there are only Frees: the result first, then the step's handles
        // in the order made.
        ASSERT_GE(failed.calls.size(), n) << where;
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_EQ(failed.calls[i].operation, clean.calls[i].operation) << where;
            EXPECT_EQ(failed.calls[i].handle, clean.calls[i].handle) << where;
        }
        std::size_t next = n;
        const ActionsCall& failedCall = failed.calls[n - 1];
        if (!failedCall.made.empty()) {
            ASSERT_LT(next, failed.calls.size()) << where;
            EXPECT_EQ(failed.calls[next].operation, "DescriptorFree") << where;
            EXPECT_EQ(failed.calls[next].handle, failedCall.made) << where;
            ++next;
        }
        int previous = 0;
        for (; next < failed.calls.size(); ++next) {
            const ActionsCall& call = failed.calls[next];
            EXPECT_TRUE(IsFree(call)) << call.Text() << " after the failure; " << where;
            EXPECT_GT(Serial(call.handle), previous) << "freed out of the order made; " << where;
            previous = Serial(call.handle);
        }
    }
}

const int32_t kModes[] = {1, 2, 3, 4, 5, 6, 7, 0, 12, -3};
INSTANTIATE_TEST_SUITE_P(EveryModeEveryOperation, FailureSweep,
                         ::testing::Combine(::testing::ValuesIn(kModes), ::testing::Bool()));

// Only the low 16 bits of an Actions status count, taken with their sign.
class StatusWidening : public PluginTest, public ::testing::WithParamInterface<Encoding> {};

TEST_P(StatusWidening, PlayStatusBecomesTheRunsCode) {
    const Encoding encoding = GetParam();
    host.Inject({"Play", 3, static_cast<HostStatus>(encoding.status)});
    ActionParameters parameters{0, 0, nullptr};
    EXPECT_EQ(Run(&parameters), encoding.code) << host.LogText();
    const std::size_t played = host.Actions().Played().size();
    EXPECT_EQ(played, encoding.code == 0 ? 8u : 3u);
    if (encoding.code == 0) host.Actions().TakeDescriptor(parameters.descriptor);
    ExpectCleanHost();
}

const Encoding kWidenings[] = {{0x0000FF80u, -128}, {0x1234FF80u, -128}, {0xFFFFFF80u, -128}, {0x00007FFFu, 32767},
                               {0x00008000u, -32768}, {0xABCD0001u, 1},   {0x00010000u, 0},    {0x12340000u, 0}};
INSTANTIATE_TEST_SUITE_P(LowHalfSignExtended, StatusWidening, ::testing::ValuesIn(kWidenings));

// A suite that cannot be acquired in the middle of a step: the run returns
// the host's status whole, and the handles the step made are still freed.
class UnreachableSuite : public PluginTest {};

TEST_F(UnreachableSuite, MidStepLeavesNoHandleBehind) {
    const char* const suites[] = {kReferenceSuiteName, kControlSuiteName, kListSuiteName};
    for (const char* suite : suites) {
        StandInHost fresh;
        fresh.Inject({AcquireOperation(suite), 1, 0x12345678});
        ActionParameters parameters{0, 0, nullptr};
        EXPECT_EQ(SendRun(PluginUnderTest(), fresh, &parameters), 0x12345678) << suite;
        EXPECT_EQ(fresh.Actions().LiveHandles(), 0u) << fresh.LogText();
        EXPECT_EQ(fresh.FirstError(), "") << fresh.LogText();
        EXPECT_EQ(parameters.descriptor, nullptr);
        EXPECT_EQ(fresh.SuitesHeld(), 0);
    }
}
}  // namespace
