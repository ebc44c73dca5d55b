// The steps seen from inside the plug-in's code: the exact host operations
// of each step in order, the release order on success and after a failure
// at any of its operations, and the pipeline status.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "support/ExpectedEvents.h"
#include "entry/interface/HostCodes.h"
#include "entry/base/HostContext.h"
#include "entry/base/HostSuiteTable.h"
#include "host/suites/ActionsHost.h"
#include "host/suites/StandInHost.h"
#include "mask/EventSteps.h"
#include "mask/MaskCurve.h"
#include "mask/MaskPipeline.h"

extern "C" HostStatus LUMACUT_CDECL AutoPluginMain(const char* caller, const char* selector, void* message) noexcept;

namespace {
using Trace = std::vector<std::string>;

struct StepCase {
    const char* name;
    std::function<int32_t()> run;
    PlayedEvent event;
    Trace trace;  // with the host handing back a result descriptor
};

void PrintTo(const StepCase& step, std::ostream* out) { *out << step.name; }

// The curve step's operations for n points: E D1, A L2, K D3, R R4, L L5,
// the points D6 on, the result after them.
Trace CurveTrace(int points) {
    Trace trace = {"DescriptorMake -> D1", "ListMake -> L2",         "DescriptorMake -> D3",      "ReferenceMake -> R4",
                   "ReferencePutEnumerated R4", "DescriptorPutReference D3", "ListMake -> L5"};
    for (int i = 0; i < points; ++i) {
        const std::string point = "D" + std::to_string(6 + i);
        for (const std::string& call : {"DescriptorMake -> " + point, "DescriptorPutFloat " + point,
                                        "DescriptorPutFloat " + point, std::string("ListPutObject L5")})
            trace.push_back(call);
    }
    const std::string result = "D" + std::to_string(6 + points);
    for (const std::string& call : {std::string("DescriptorPutList D3"), std::string("ListPutObject L2"),
                                    std::string("DescriptorPutList D1"), "Play D1 -> " + result,
                                    "DescriptorFree " + result, std::string("DescriptorFree D1"), std::string("ListFree L2"),
                                    std::string("DescriptorFree D3"), std::string("ReferenceFree R4"),
                                    std::string("ListFree L5")})
        trace.push_back(call);
    for (int i = 0; i < points; ++i) trace.push_back("DescriptorFree D" + std::to_string(6 + i));
    return trace;
}

const Trace kSelectionTrace = {"DescriptorMake -> D1",     "ReferenceMake -> R2",   "ReferencePutProperty R2",
                               "DescriptorPutReference D1", "ReferenceMake -> R3",   "ReferencePutEnumerated R3",
                               "DescriptorPutReference D1", "Play D1 -> D4",         "DescriptorFree D4",
                               "DescriptorFree D1",         "ReferenceFree R2",      "ReferenceFree R3"};

std::vector<StepCase> StepCases() {
    return {
        {"MakeWorkLayer", MakeWorkLayer, expected::MakeWorkLayer(),
         {"DescriptorMake -> D1", "ReferenceMake -> R2", "ReferencePutClass R2", "DescriptorPutReference D1",
          "Play D1 -> D3", "DescriptorFree D3", "DescriptorFree D1", "ReferenceFree R2"}},
        {"StampVisible", StampVisible, expected::StampVisible(),
         {"DescriptorMake -> D1", "DescriptorPutBoolean D1", "Play D1 -> D2", "DescriptorFree D2", "DescriptorFree D1"}},
        {"LoadLuminositySelection", LoadLuminositySelection, expected::LoadLuminositySelection(), kSelectionTrace},
        {"InvertSelection", InvertSelection, expected::InvertSelection(), {"Play -> D1", "DescriptorFree D1"}},
        {"AddRevealMask", AddRevealMask, expected::AddRevealMask(),
         {"DescriptorMake -> D1", "DescriptorPutClass D1", "ReferenceMake -> R2", "ReferencePutEnumerated R2",
          "DescriptorPutReference D1", "DescriptorPutEnumerated D1", "Play D1 -> D3", "DescriptorFree D3",
          "DescriptorFree D1", "ReferenceFree R2"}},
        {"SmoothMask", SmoothMask, expected::SmoothMask(),
         {"DescriptorMake -> D1", "DescriptorPutInteger D1", "DescriptorPutInteger D1", "Play D1 -> D2",
          "DescriptorFree D2", "DescriptorFree D1"}},
        {"LoadMaskSelection", LoadMaskSelection, expected::LoadMaskSelection(), kSelectionTrace},
        {"DeleteWorkLayer", DeleteWorkLayer, expected::DeleteWorkLayer(),
         {"DescriptorMake -> D1", "ReferenceMake -> R2", "ReferencePutEnumerated R2", "DescriptorPutReference D1",
          "Play D1 -> D3", "DescriptorFree D3", "DescriptorFree D1", "ReferenceFree R2"}},
        {"NormalCurve", [] { return ApplyMaskCurve(NormalCurve); }, expected::Curves(expected::kNormal), CurveTrace(4)},
        {"NarrowCurve", [] { return ApplyMaskCurve(NarrowCurve); }, expected::Curves(expected::kNarrow), CurveTrace(4)},
        {"MidtoneBandCurve", [] { return ApplyMaskCurve(MidtoneBandCurve); }, expected::Curves(expected::kMidtoneBand),
         CurveTrace(3)},
        {"MidtoneMediumCurve", [] { return ApplyMaskCurve(MidtoneMediumCurve); },
         expected::Curves(expected::kMidtoneMedium), CurveTrace(4)},
        {"MidtoneNarrowCurve", [] { return ApplyMaskCurve(MidtoneNarrowCurve); },
         expected::Curves(expected::kMidtoneNarrow), CurveTrace(4)},
    };
}

// Without a result from the host, Play makes nothing and nothing is freed
// for it.
Trace WithoutResult(const Trace& trace) {
    std::string result;
    Trace stripped;
    for (const std::string& call : trace) {
        if (call.rfind("Play", 0) == 0) {
            result = call.substr(call.find(" -> ") + 4);
            stripped.push_back(call.substr(0, call.find(" -> ")));
        } else if (call != "DescriptorFree " + result) {
            stripped.push_back(call);
        }
    }
    return stripped;
}

std::string CallText(const ActionsCall& call) {
    ActionsCall shown = call;
    shown.status = 0;
    return shown.Text();
}

Trace TraceOf(const StandInHost& host) {
    Trace trace;
    for (const ActionsCall& call : host.Actions().Calls()) trace.push_back(CallText(call));
    return trace;
}

// Runs one step on a fresh host the plug-in's code talks to, and gives the
// host back for inspection (suites released, as at the end of a call).
struct InProcessRun {
    explicit InProcessRun(const std::function<void(StandInHost&)>& prepare) {
        hostContext.basicSuite = host.Basic();
        hostContext.pluginRef = host.Plugin();
        prepare(host);
    }
    ~InProcessRun() { ReleaseAllHostSuites(); }
    StandInHost host;
};

class EventSteps : public ::testing::TestWithParam<std::tuple<StepCase, bool>> {};

TEST_P(EventSteps, MakePutPlayReleaseInTheTablesOrder) {
    const StepCase& step = std::get<0>(GetParam());
    const bool fill = std::get<1>(GetParam());
    InProcessRun run([&](StandInHost& host) { host.Actions().SetPlayFillsResult(fill); });
    EXPECT_EQ(step.run(), 0);
    EXPECT_EQ(TraceOf(run.host), fill ? step.trace : WithoutResult(step.trace));
    ASSERT_EQ(run.host.Actions().Played().size(), 1u);
    EXPECT_EQ(run.host.Actions().Played()[0], step.event);
    EXPECT_EQ(run.host.Actions().LiveHandles(), 0u);
    EXPECT_EQ(run.host.FirstError(), "") << run.host.LogText();
}

TEST_P(EventSteps, FailureAtAnyOperationStopsAndReleasesWhatWasMade) {
    const StepCase& step = std::get<0>(GetParam());
    const bool fill = std::get<1>(GetParam());
    const Trace clean = fill ? step.trace : WithoutResult(step.trace);
    for (std::size_t n = 1; n <= clean.size(); ++n) {
        InProcessRun run([&](StandInHost& host) {
            host.Actions().SetPlayFillsResult(fill);
            host.Actions().SetJunkOutOnFailedMake(true);  // which the step must not take for a handle
            host.Inject({"actions", static_cast<int>(n), static_cast<HostStatus>(0x1234FF80u)});
        });
        const int32_t code = step.run();
        const std::string& failing = clean[n - 1];
        const Trace trace = TraceOf(run.host);
        const std::string where = std::string(step.name) + " failing at " + failing + "\n" + run.host.LogText();
        EXPECT_EQ(run.host.Actions().LiveHandles(), 0u) << where;
        EXPECT_EQ(run.host.FirstError(), "") << where;
        if (failing.find("Free") != std::string::npos) {
            EXPECT_EQ(code, 0) << "a failed Free changes nothing; " << where;
            EXPECT_EQ(trace, clean) << where;
            continue;
        }
        EXPECT_EQ(code, -128) << where;
        // The calls before the failing one as in the clean run; a failed
        // Make hands out nothing, a failed Play still its result.
        Trace expectedTrace(clean.begin(), clean.begin() + static_cast<std::ptrdiff_t>(n - 1));
        const bool failedPlay = failing.rfind("Play", 0) == 0;
        expectedTrace.push_back(failedPlay ? failing : failing.substr(0, failing.find(" -> ")));
        // The result goes first, then the handles made before, in the order made.
        std::vector<std::string> made;
        for (const std::string& call : expectedTrace) {
            const std::size_t arrow = call.find(" -> ");
            if (arrow != std::string::npos) made.push_back(call.substr(arrow + 4));
        }
        if (failedPlay && failing.find(" -> ") != std::string::npos) {
            made.insert(made.begin(), made.back());
            made.pop_back();
        }
        for (const std::string& handle : made) {
            const char* kind = handle[0] == 'D' ? "DescriptorFree " : handle[0] == 'R' ? "ReferenceFree " : "ListFree ";
            expectedTrace.push_back(kind + handle);
        }
        EXPECT_EQ(trace, expectedTrace) << where;
        EXPECT_EQ(run.host.Actions().Played().size(), failedPlay ? 1u : 0u) << where;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryStep, EventSteps, ::testing::Combine(::testing::ValuesIn(StepCases()), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<StepCase, bool>>& test) {
                             return std::string(std::get<0>(test.param).name) +
                                    (std::get<1>(test.param) ? "_WithResult" : "_NoResult");
                         });

struct PipelineCase {
    int32_t mode;
    InjectedFault fault;  // an empty operation: none
    int32_t status;
    std::size_t events;   // attempted, the failing one included
};

class Pipeline : public ::testing::TestWithParam<PipelineCase> {};

TEST_P(Pipeline, WritesTheFirstFailuresCodeOrZeroAndStopsThere) {
    const PipelineCase& c = GetParam();
    InProcessRun run([&](StandInHost& host) {
        if (!c.fault.operation.empty()) host.Inject(c.fault);
    });
    currentMode = c.mode;
    pipelineStatus = 99;  // whatever an earlier run left
    RunMaskPipeline();
    EXPECT_EQ(pipelineStatus, c.status);
    const std::vector<PlayedEvent> all = expected::Run(c.mode);
    const std::vector<PlayedEvent>& played = run.host.Actions().Played();
    ASSERT_EQ(played.size(), c.events) << run.host.LogText();
    for (std::size_t i = 0; i < played.size(); ++i) EXPECT_EQ(played[i].descriptor, all[i].descriptor);
    EXPECT_EQ(run.host.Actions().LiveHandles(), 0u);
    currentMode = 1;
    pipelineStatus = 0;
}

INSTANTIATE_TEST_SUITE_P(
    ModesAndFailures, Pipeline,
    ::testing::Values(PipelineCase{1, {}, 0, 8}, PipelineCase{3, {}, 0, 9}, PipelineCase{7, {}, 0, 9},
                      PipelineCase{12, {}, 0, 7},
                      PipelineCase{1, {"DescriptorMake", 1, 0x0000FF80}, -128, 0},
                      PipelineCase{6, {"Play", 5, -25}, -25, 5},             // first curve: no second, no closing
                      PipelineCase{6, {"Play", 6, 0x00030007}, 7, 6},        // second curve
                      PipelineCase{4, {"Play", 4, -1}, -1, 4},               // the inversion
                      PipelineCase{-3, {"ReferenceMake", 7, 0x7FFF}, 32767, 6},  // delete's reference
                      PipelineCase{2, {"ListPutObject", 3, -108}, -108, 4}));

TEST(PipelineStatus, IsZeroAfterACallWhosePipelineFailed) {
    InProcessRun run([](StandInHost& host) { host.Inject({"Play", 2, 0x1234FF80}); });
    ActionParameters parameters{0, 0, nullptr};
    EntryMessage message{};
    message.self = run.host.Plugin();
    message.basic = run.host.Basic();
    message.actionParameters = &parameters;
    EXPECT_EQ(AutoPluginMain("PS Photoshop", "Do It", &message), -128);
    EXPECT_EQ(pipelineStatus, 0);
    EXPECT_EQ(run.host.Actions().Played().size(), 2u);
    EXPECT_EQ(parameters.descriptor, nullptr);
}
}  // namespace
