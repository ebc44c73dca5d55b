// Files made to break image decoders (tests/host/cli/hostile): each must end in a
// one-line error and exit status 1, leaving nothing behind, on every build;
// in a batch, each gets its line and the photographs around them are written.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "host/cli/CommandLine.h"

namespace fs = std::filesystem;

namespace {
std::vector<fs::path> HostileFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(LUMACUT_HOSTILE_IMAGES))
        if (entry.path().filename() != "NOTICE.md") files.push_back(entry.path());
    return files;
}

TEST(HostileInput, EndsInOneLineErrorAndLeavesNoFile) {
    const std::vector<fs::path> files = HostileFiles();
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

TEST(HostileInput, ABatchGoesOnPastEachOne) {
    ScratchFolder folder("hostile-batch");
    const fs::path in = fs::path(folder / "in");
    fs::create_directory(in);
    fs::copy_file(LUMACUT_SAMPLE_PHOTO, in / "a.jpg");
    fs::copy_file(LUMACUT_SAMPLE_PHOTO, in / "zz.jpg");
    // "truncated.jpg" and "truncated.png" would write the same mask: the
    // extension joins the stem.
    const std::vector<fs::path> files = HostileFiles();
    for (const fs::path& file : files)
        fs::copy_file(file, in / (file.stem().string() + "-" + file.extension().string().substr(1) +
                                  file.extension().string()));
    const ProgramResult result =
        RunHostProgram({"run", "--mode", "1", in.string(), "--out", folder / "out"}, folder.Path());
    EXPECT_EQ(result.exitStatus, kExitInputOutput) << result.err;
    EXPECT_EQ(Lines(result.err).size(), files.size()) << result.err;
    for (const fs::path& file : files) EXPECT_NE(result.err.find(file.stem().string() + "-"), std::string::npos);
    const std::set<std::string> written = {"out", "out/a.png", "out/zz.png"};
    std::set<std::string> outputs;
    for (const std::string& name : folder.Names())
        if (name.rfind("out", 0) == 0) outputs.insert(name);
    EXPECT_EQ(outputs, written);
    EXPECT_NE(result.out.find("2 written, 0 skipped, " + std::to_string(files.size()) + " failed"), std::string::npos)
        << result.out;
}
}  // namespace
