// A run recorded the way a host action records it, and replayed: the
// descriptor an earlier run handed back, kept in a file, makes a later run
// play the same events.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "entry/interface/HostCodes.h"
#include "host/suites/ActionText.h"
#include "host/suites/ActionsHost.h"
#include "host/suites/DescriptorFile.h"
#include "support/ExpectedEvents.h"
#include "support/PluginUnderTest.h"

namespace {
std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "lumacut-" + name; }

class RecordReplay : public PluginTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(RecordReplay, ReplayedRunPlaysWhatTheRecordedOnePlayed) {
    const int32_t mode = GetParam();
    const std::string path = TempPath("record-" + std::to_string(mode) + ".txt");
    std::vector<PlayedEvent> recordedEvents;
    {
        StandInHost recording;
        ActionParameters parameters{0, 0,
                                    recording.Actions().NewDescriptor({{FourCC("Cnt "), ActionValue::Integer(mode)}})};
        ASSERT_EQ(SendRun(PluginUnderTest(), recording, &parameters), 0) << recording.LogText();
        std::string error;
        ASSERT_TRUE(SaveDescriptorHandle(recording.Actions(), parameters.descriptor, path, &error)) << error;
        recording.Actions().TakeDescriptor(parameters.descriptor);
        recordedEvents = recording.Actions().Played();
    }
    EXPECT_EQ(FileText(path), "# lumacut descriptor\n{\"Cnt \": " + std::to_string(mode) + "}\n");

    // The replay: the dialog is not asked for, the descriptor comes from the file.
    std::string error;
    ActionParameters parameters{0, 1, LoadDescriptorHandle(host.Actions(), path, &error)};
    ASSERT_NE(parameters.descriptor, nullptr) << error;
    ASSERT_EQ(Run(&parameters), 0) << host.LogText();
    EXPECT_EQ(host.Actions().Played(), recordedEvents);
    EXPECT_EQ(host.Actions().Played(), expected::Run(mode));
    ExpectCleanHost();
    EXPECT_EQ(host.Actions().TakeDescriptor(parameters.descriptor),
              (DescriptorValue{{FourCC("Cnt "), ActionValue::Integer(mode)}}));
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(EveryMode, RecordReplay, ::testing::Values(1, 2, 3, 4, 5, 6, 7, 12));

TEST(DescriptorFile, KeepsAWholeEventDescriptor) {
    const std::string path = TempPath("curves.txt");
    const PlayedEvent curves = expected::Curves({{0, 0}, {0.1, 1.0 / 3.0}, {126.5, 255}});
    std::string error;
    ASSERT_TRUE(SaveDescriptorFile(path, *curves.descriptor, &error)) << error;
    const std::optional<DescriptorValue> loaded = LoadDescriptorFile(path, &error);
    ASSERT_TRUE(loaded.has_value()) << error;
    EXPECT_EQ(*loaded, *curves.descriptor);
    std::remove(path.c_str());
}

struct BadFile {
    const char* name;
    std::string content;  // empty: no file at all
    const char* why;
};

class DescriptorFileRefuses : public ::testing::TestWithParam<BadFile> {};

TEST_P(DescriptorFileRefuses, WithAReasonAndNoHandle) {
    const std::string path = TempPath(std::string("bad-") + GetParam().name + ".txt");
    std::remove(path.c_str());
    if (!GetParam().content.empty()) std::ofstream(path, std::ios::binary) << GetParam().content;
    StandInHost host;
    std::string error;
    EXPECT_EQ(LoadDescriptorHandle(host.Actions(), path, &error), nullptr);
    EXPECT_NE(error.find(GetParam().why), std::string::npos) << error;
    EXPECT_TRUE(host.Log().empty()) << "no descriptor was made: " << host.LogText();
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Cases, DescriptorFileRefuses,
                         ::testing::Values(BadFile{"Missing", "", "No such file or directory"},
                                           BadFile{"OnlyComments", "# lumacut descriptor\n", "expected '{'"},
                                           BadFile{"Truncated", "{\"Cnt \": 6", "expected '}'"},
                                           BadFile{"TwoDescriptors", "{}\n{}\n", "unexpected text"},
                                           BadFile{"Huge", "{\"Cnt \": 6}" + std::string(2 << 20, ' '), "too large"}),
                         [](const ::testing::TestParamInfo<BadFile>& test) { return std::string(test.param.name); });
}  // namespace
