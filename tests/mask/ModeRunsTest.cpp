// A run of each mode seen from the host: the exact events, their exact
// descriptors, the handles the plug-in made all freed, and the result
// descriptor rule, whether or not the host hands results back.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>
#include <tuple>

#include "support/ExpectedEvents.h"
#include "entry/interface/HostCodes.h"
#include "host/suites/ActionsHost.h"
#include "support/PluginUnderTest.h"

namespace {
// Modes 1 to 7, and values no dialog can give but a scripting parameter can.
const int32_t kModes[] = {1, 2, 3, 4, 5, 6, 7, 0, 12, -3, INT32_MIN};

class ModeRuns : public PluginTest, public ::testing::WithParamInterface<std::tuple<int32_t, bool>> {};

// The first (or last) line of the host's log that holds `text`; the log's
// size when none does.
std::size_t LineWith(const std::vector<std::string>& log, const std::string& text, bool last = false) {
    std::size_t found = log.size();
    for (std::size_t i = 0; i < log.size() && (last || found == log.size()); ++i)
        if (log[i].find(text) != std::string::npos) found = i;
    return found;
}

TEST_P(ModeRuns, PlaysExactlyTheEventsOfTheModeAndFreesEveryHandle) {
    const int32_t mode = std::get<0>(GetParam());
    const bool hostFillsResults = std::get<1>(GetParam());
    host.Actions().SetPlayFillsResult(hostFillsResults);
    ActionParameters parameters{0, 3, host.Actions().NewDescriptor({{FourCC("Cnt "), ActionValue::Integer(mode)}})};

    ASSERT_EQ(Run(&parameters), 0) << host.LogText();

    EXPECT_EQ(host.Actions().Played(), expected::Run(mode));
    // The event counts of the table, as a check on the expectation itself.
    const std::size_t count = (mode == 3 || mode == 4 || mode == 6 || mode == 7) ? 9 : (mode >= 1 && mode <= 7) ? 8 : 7;
    EXPECT_EQ(host.Actions().Played().size(), count);

    // Every result the host handed back is freed, and nothing else was
    // freed as a result when there were none.
    std::set<std::string> results, freed;
    for (const ActionsCall& call : host.Actions().Calls()) {
        if (call.operation == "Play" && !call.made.empty()) results.insert(call.made);
        if (call.operation == "DescriptorFree") freed.insert(call.handle);
    }
    EXPECT_EQ(results.size(), hostFillsResults ? count : 0u);
    for (const std::string& result : results) EXPECT_EQ(freed.count(result), 1u) << result;
    EXPECT_EQ(host.Actions().LiveHandles(), 0u);
    ExpectCleanHost();

    // The name is taken before the first event and given back after the
    // last one, before the mode is written back.
    const std::vector<std::string>& log = host.Log();
    const std::size_t writeBack = LineWith(log, "DescriptorPutInteger", true);
    ASSERT_LT(writeBack, log.size()) << host.LogText();
    EXPECT_NE(log[writeBack].find("\"Cnt \""), std::string::npos) << log[writeBack];
    EXPECT_LT(LineWith(log, "GetPluginName"), LineWith(log, "Play "));
    EXPECT_LT(LineWith(log, "Play ", true), LineWith(log, "ReleaseString"));
    EXPECT_LT(LineWith(log, "ReleaseString"), writeBack) << host.LogText();

    const std::optional<DescriptorValue> written = host.Actions().TakeDescriptor(parameters.descriptor);
    EXPECT_EQ(written, (DescriptorValue{{FourCC("Cnt "), ActionValue::Integer(mode)}}));
    EXPECT_EQ(parameters.recordInfo, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, ModeRuns, ::testing::Combine(::testing::ValuesIn(kModes), ::testing::Bool()));

// The run log shows each event as the host received it.
class RunLog : public PluginTest {};

TEST_F(RunLog, ShowsEveryEventReadably) {
    ActionParameters parameters{0, 0, nullptr};
    ASSERT_EQ(Run(&parameters), 0);
    const std::string log = host.LogText();
    EXPECT_NE(log.find("Play \"Mk  \" {\"null\": ref(class \"Lyr \")}\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Play \"Crvs\" {\"Adjs\": list[object \"CrvA\" {\"Chnl\": ref(enum \"Chnl\" \"Ordn\" \"Trgt\"), "
                       "\"Crv \": list[object \"Pnt \" {\"Hrzn\": 0.0, \"Vrtc\": 0.0}, object \"Pnt \" {\"Hrzn\": 85.0, "
                       "\"Vrtc\": 0.0}, object \"Pnt \" {\"Hrzn\": 151.0, \"Vrtc\": 26.0}, object \"Pnt \" {\"Hrzn\": "
                       "255.0, \"Vrtc\": 255.0}]}]}\n"),
              std::string::npos)
        << log;
    host.Actions().TakeDescriptor(parameters.descriptor);
}
}  // namespace
