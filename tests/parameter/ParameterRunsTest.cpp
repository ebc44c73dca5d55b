// The mode as a scripting parameter, seen from the host: what a run reads
// from the descriptor it is given, what it plays, and what it hands back to
// be recorded; and that a run that fails hands back nothing.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "entry/interface/HostCodes.h"
#include "host/suites/ActionsHost.h"
#include "support/ExpectedEvents.h"
#include "support/PluginUnderTest.h"

namespace {
DescriptorValue Mode(int32_t mode) { return {{FourCC("Cnt "), ActionValue::Integer(mode)}}; }

struct ParameterCase {
    const char* name;
    std::optional<DescriptorValue> incoming;  // none: the run carries no descriptor
    int32_t mode;                             // played, and written back
};

const ParameterCase kParameterCases[] = {
    {"NoDescriptor", std::nullopt, 1},
    {"Six", Mode(6), 6},
    {"Three", Mode(3), 3},
    {"ZeroAsItStands", Mode(0), 0},
    {"TwelveAsItStands", Mode(12), 12},
    {"NegativeAsItStands", Mode(-3), -3},
    {"LargestAsItStands", Mode(INT32_MAX), INT32_MAX},
    {"MissingKey", DescriptorValue{{FourCC("Othr"), ActionValue::Integer(4)}}, 1},
    {"FloatKey", DescriptorValue{{FourCC("Cnt "), ActionValue::Float(6.0)}}, 1},
    {"EnumeratedKey", DescriptorValue{{FourCC("Cnt "), ActionValue::Enumerated(FourCC("Chnl"), FourCC("RGB "))}}, 1},
    {"OtherKeysNotCarriedOver",
     DescriptorValue{{FourCC("Othr"), ActionValue::Boolean(true)}, {FourCC("Cnt "), ActionValue::Integer(5)}}, 5},
};

class ParameterRuns : public PluginTest, public ::testing::WithParamInterface<ParameterCase> {};

TEST_P(ParameterRuns, PlayTheModeReadAndWriteOnlyItBack) {
    const ParameterCase& c = GetParam();
    const ActionDescriptor incoming = c.incoming ? host.Actions().NewDescriptor(*c.incoming) : nullptr;
    ActionParameters parameters{0, 7, incoming};

    ASSERT_EQ(Run(&parameters), 0) << host.LogText();

    EXPECT_EQ(host.Actions().Played(), expected::Run(c.mode));
    ASSERT_NE(parameters.descriptor, nullptr);
    EXPECT_NE(parameters.descriptor, incoming) << "a new descriptor is handed back";
    if (incoming != nullptr) {
        EXPECT_FALSE(host.Actions().IsLive(incoming)) << "the host's old descriptor is freed";
    }
    EXPECT_EQ(parameters.recordInfo, 0);
    ExpectCleanHost();
    EXPECT_EQ(host.Actions().TakeDescriptor(parameters.descriptor), Mode(c.mode));
}

INSTANTIATE_TEST_SUITE_P(Cases, ParameterRuns, ::testing::ValuesIn(kParameterCases),
                         [](const ::testing::TestParamInfo<ParameterCase>& test) { return std::string(test.param.name); });

// Which occurrence of `operation` is the write-back's: its last one in a
// clean run of the same parameters.
int LastOccurrence(const std::optional<DescriptorValue>& incoming, const std::string& operation) {
    StandInHost clean;
    ActionParameters parameters{0, 0, incoming ? clean.Actions().NewDescriptor(*incoming) : nullptr};
    SendRun(PluginUnderTest(), clean, &parameters);
    int count = 0;
    for (const ActionsCall& call : clean.Actions().Calls()) count += call.operation == operation;
    return count;
}

struct UntouchedCase {
    const char* name;
    std::optional<DescriptorValue> incoming;
    std::string operation;  // the operation that fails
    int nth;                // 0: its write-back occurrence
    HostStatus injected;
    HostStatus status;      // the run's
};

const UntouchedCase kUntouchedCases[] = {
    {"FirstEventFails", Mode(6), "Play", 1, -128, -128},
    {"LastEventFails", Mode(6), "Play", 9, 0x1234FFFE, -2},
    {"CurveBuildingFails", Mode(2), "DescriptorPutFloat", 5, -108, -108},
    {"PipelineFailsWithoutDescriptor", std::nullopt, "ReferenceMake", 3, -1, -1},
    {"WriteBackMakeFails", Mode(4), "DescriptorMake", 0, -108, 0},
    {"WriteBackPutFails", Mode(4), "DescriptorPutInteger", 0, 0x0000FF9C, 0},
    {"WriteBackPutFailsWithoutDescriptor", std::nullopt, "DescriptorPutInteger", 0, -1, 0},
};

class UntouchedParameters : public PluginTest, public ::testing::WithParamInterface<UntouchedCase> {};

TEST_P(UntouchedParameters, AreExactlyAsTheHostPassedThem) {
    const UntouchedCase& c = GetParam();
    const int nth = c.nth != 0 ? c.nth : LastOccurrence(c.incoming, c.operation);
    host.Inject({c.operation, nth, c.injected});
    const ActionDescriptor incoming = c.incoming ? host.Actions().NewDescriptor(*c.incoming) : nullptr;
    ActionParameters parameters{0, 7, incoming};

    EXPECT_EQ(Run(&parameters), c.status) << host.LogText();

    EXPECT_EQ(parameters.descriptor, incoming);
    EXPECT_EQ(parameters.recordInfo, 7);
    if (incoming != nullptr) {
        EXPECT_EQ(host.Actions().Content(incoming), c.incoming);
    }
    ExpectCleanHost();
    EXPECT_EQ(host.Actions().LiveHandles(), 0u) << "nothing made for the write-back is left behind";
    if (incoming != nullptr) host.Actions().TakeDescriptor(incoming);
}

INSTANTIATE_TEST_SUITE_P(Cases, UntouchedParameters, ::testing::ValuesIn(kUntouchedCases),
                         [](const ::testing::TestParamInfo<UntouchedCase>& test) { return std::string(test.param.name); });
}  // namespace
