// What lumacut-host makes of its arguments, and the files it names.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/common/OutputFiles.h"
#include "host/cli/CommandLine.h"
#include "host/cli/MaskCommands.h"

namespace {
using Action = CommandLine::Action;

struct Accepted {
    std::vector<std::string> args;
    Action action;
    int32_t mode;
    std::string image, mask, outDir, module;
};

TEST(CommandLine, ReadsEveryFormItKnows) {
    const std::vector<Accepted> accepted = {
        {{}, Action::Usage, 1, "", "", "", ""},
        {{"trace"}, Action::Trace, 1, "", "", "", ""},
        {{"--dialog"}, Action::Trace, 1, "", "", "", ""},
        {{"--about"}, Action::About, 1, "", "", "", ""},
        {{"trace", "--about"}, Action::About, 1, "", "", "", ""},
        {{"--module", "m.8li", "--about"}, Action::About, 1, "", "", "", "m.8li"},
        {{"--help"}, Action::Help, 1, "", "", "", ""},
        {{"run", "--mode", "4", "photo.jpg", "--mask", "shadows.png"}, Action::MaskOne, 4, "photo.jpg", "shadows.png", "", ""},
        {{"run", "photo.jpg", "--mask", "m.png", "--mode", "-3", "--any-mode"}, Action::MaskOne, -3, "photo.jpg", "m.png", "", ""},
        {{"run", "--any-mode", "--mode", "2147483647", "p.png", "--mask", "m.png"}, Action::MaskOne, 2147483647, "p.png", "m.png", "", ""},
        // Paths that start with '/' are no Windows-style options, under Windows either.
        {{"--module", "x.so", "run", "--all", "/photos/photo.jpg", "--out", "/masks"}, Action::MaskAll, 1, "/photos/photo.jpg", "", "/masks", "x.so"},
        {{"chart", "--out", "charts"}, Action::Chart, 1, "", "", "charts", ""},
        {{"run", "--all", "a.jpg", "b.jpg", "--out", "o"}, Action::Batch, 1, "", "", "o", ""},
        {{"run", "--mode=5", "a.jpg", "--out=o", "--shard", "2/3"}, Action::Batch, 5, "", "", "o", ""},
        {{"run", "-q", "--skip-existing", "--mode", "6", "a.jpg", "--mask", "m.png"}, Action::MaskOne, 6, "a.jpg", "m.png", "", ""},
    };
    for (const Accepted& a : accepted) {
        CommandLine line;
        std::string error;
        ASSERT_TRUE(ParseCommandLine(a.args, line, error)) << error;
        EXPECT_EQ(line.action, a.action);
        EXPECT_EQ(line.mode, a.mode);
        EXPECT_EQ(line.image, a.image);
        EXPECT_EQ(line.mask, a.mask);
        EXPECT_EQ(line.outDir, a.outDir);
        EXPECT_EQ(line.modulePath, a.module);
    }
}

TEST(CommandLine, RefusesWhatItCannotCarryOut) {
    // Each with part of its one-line message: CLI11's own words never reach the user.
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"--bogus=1", "run"}, "unknown option --bogus"},
        {{"--module"}, "--module needs a value (PATH)"},
        {{"--module="}, "--module needs a value (PATH)"},
        {{"--verbose=yes", "run"}, "--verbose takes no value"},
        {{"-v", "--verbose", "run", "--all", "a.jpg", "--out", "o"}, "--verbose given twice"},
        {{"walk"}, "unexpected \"walk\""},
        {{"trace", "a.jpg"}, "unexpected"},
        {{"trace", "--mode", "2"}, "needs the run command"},
        {{"run"}, "exactly one of"},
        {{"run", "--mode", "1", "photo.jpg"}, "--mask FILE"},                    // where does the mask go?
        {{"run", "--mode", "x", "photo.jpg", "--mask", "m.png"}, "whole number"},
        {{"run", "--mode", "1.5", "photo.jpg", "--mask", "m.png"}, "whole number"},
        {{"run", "--mode", "2147483648", "photo.jpg", "--mask", "m.png"}, "whole number"},
        {{"run", "--mode", "", "photo.jpg", "--mask", "m.png"}, "whole number"},
        {{"run", "--all", "photo.jpg"}, "--out DIR"},                          // where do the masks go?
        {{"run", "--all", "--mode", "1", "photo.jpg", "--out", "o"}, "exactly one of"},
        {{"run", "--all", "photo.jpg", "--out", "o", "--mask", "m.png"}, "does not go with --all"},
        {{"run", "--mode", "1", "a.jpg", "b.jpg", "--mask", "m.png"}, "takes one photograph"},
        {{"run", "--mode", "1", "a.jpg", "b.jpg"}, "--out DIR"},
        {{"run", "--mode", "1", "--mask", "m.png"}, "which image"},              // no image
        {{"run", "--mode", "1", "a.jpg", "--mask"}, "--mask needs a value"},
        {{"run", "--all", "a.jpg", "--out", "o", "--shard", "0/2"}, "--shard takes K/N"},
        {{"run", "--all", "a.jpg", "--out", "o", "--shard", "3/2"}, "--shard takes K/N"},
        {{"run", "--all", "a.jpg", "--out", "o", "--shard", "2"}, "--shard takes K/N"},
        {{"--about", "run", "--all", "a.jpg", "--out", "o"}, "does not go with run"},
        {{"chart"}, "--out DIR"},                                              // where does the chart go?
        {{"chart", "photo.jpg", "--out", "o"}, "unexpected"},                  // a chart has no image
        {{"chart", "--mode", "2", "--out", "o"}, "does not go with chart"},
        {{"chart", "--skip-existing", "--out", "o"}, "does not go with chart"},
        {{"chart", "run", "--all", "a.jpg", "--out", "o"}, "unexpected"},
    };
    for (const auto& [args, message] : refused) {
        CommandLine line;
        std::string error;
        std::string text;
        for (const std::string& arg : args) text += arg + " ";
        EXPECT_FALSE(ParseCommandLine(args, line, error)) << text;
        EXPECT_NE(error.find(message), std::string::npos) << text << ": " << error;
    }
}

TEST(CommandLine, MaskFilesAreNamedAfterTheirMode) {
    EXPECT_EQ(MaskFileName(1), "mode-1-highlights-normal.png");
    EXPECT_EQ(MaskFileName(4), "mode-4-shadows-narrow.png");
    EXPECT_EQ(MaskFileName(7), "mode-7-midtones-narrow.png");
    EXPECT_EQ(MaskFileName(12), "mode-12.png");

    // They go into --out as the user spelled it. Windows takes either
    // separator, so its own is used only where the folder uses it alone.
    const bool windows = std::filesystem::path::preferred_separator == '\\';
    struct Joined {
        const char* folder;
        const char* posix;
        const char* windows;
    };
    for (const Joined& c : std::vector<Joined>{{"out", "out/m.png", "out/m.png"},
                                               {"/tmp/out/", "/tmp/out/m.png", "/tmp/out/m.png"},
                                               {"C:\\out", "C:\\out/m.png", "C:\\out\\m.png"},
                                               {"C:\\out\\", "C:\\out\\/m.png", "C:\\out\\m.png"},
                                               {"C:", "C:/m.png", "C:m.png"}})
        EXPECT_EQ(PathInFolder(c.folder, "m.png"), windows ? c.windows : c.posix) << c.folder;
}
}  // namespace
