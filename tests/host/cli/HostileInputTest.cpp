// Files made to break image decoders (tests/host/cli/hostile): each must end in a
// one-line error and exit status 1, leaving nothing behind, on every build.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "host/cli/CommandLine.h"

namespace fs = std::filesystem;

namespace {
TEST(HostileInput, EndsInOneLineErrorAndLeavesNoFile) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(LUMACUT_HOSTILE_IMAGES))
        if (entry.path().filename() != "NOTICE.md") files.push_back(entry.path());
    ASSERT_GE(files.size(), 6u) << "the hostile folder was not found: " << LUMACUT_HOSTILE_IMAGES;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        ScratchFolder folder("hostile");
        const ProgramResult result =
            RunHostProgram({"run", "--mode", "1", file.string(), "--mask", folder / "m.png"}, folder.Path());
        EXPECT_EQ(result.exitStatus, kExitInputOutput) << result.err;
        const std::vector<std::string> lines = Lines(result.err);
        ASSERT_EQ(lines.size(), 1u) << result.err;
        EXPECT_EQ(lines[0].rfind("lumacut-host: ", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find(file.filename().string()), std::string::npos) << lines[0];
        EXPECT_EQ(lines[0].find("Warning"), std::string::npos) << "a decoder's warning is no reason: " << lines[0];
        EXPECT_TRUE(folder.Names().empty());
    }
}
}  // namespace
