// The pieces of lumacut-host's command line: statuses in words, files
// written whole or not at all, and what the parser accepts.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "entry/interface/HostCodes.h"
#include "host/common/OutputFiles.h"
#include "host/cli/CliStatus.h"
#include "host/cli/CommandLine.h"

namespace fs = std::filesystem;

namespace {
TEST(StatusText, NamesEveryStatusWeKnow) {
    const std::vector<std::pair<HostStatus, std::string>> statuses = {
        {-128, "host error -128 (user cancelled)"},
        {-108, "host error -108 (out of memory)"},
        {-50, "host error -50 (bad parameter)"},
        {static_cast<HostStatus>(FourCC("Parm")), "host error 0x5061726D 'Parm' (no host)"},
        {static_cast<HostStatus>(FourCC("S!Fd")), "host error 0x53214664 'S!Fd' (suite not found)"},
        {-1701, "host error -1701 (descriptor has no such key)"},
        {-1703, "host error -1703 (descriptor value of the wrong type)"},
        {-1708, "host error -1708 (event not handled by the document)"},
        {-1728, "host error -1728 (no such object in the document)"},
        {-1, "host error -1 (unknown status)"},
        {0x7F000000, "host error 2130706432 (unknown status)"},
    };
    for (const auto& status : statuses) EXPECT_EQ(StatusText(status.first), status.second);
}

TEST(WriteAtomically, LeavesEitherTheWholeNewFileOrTheOldOne) {
    ScratchFolder folder("atomic");
    const std::string target = folder / "out.txt";
    WriteFile(target, "old");
    std::string seenTemporary;
    std::string error;

    // The writer fails half-way: the old file stays, the half is removed.
    EXPECT_FALSE(WriteAtomically(
        target,
        [&](const std::string& temporary, std::string& why) {
            seenTemporary = temporary;
            WriteFile(temporary, "ha");
            why = "disk full";
            return false;
        },
        error));
    EXPECT_EQ(error, "disk full");
    EXPECT_EQ(FolderOf(seenTemporary), folder.Path());  // same folder: the rename cannot cross devices
    EXPECT_NE(seenTemporary, target);
    EXPECT_EQ(FileText(target), "old");
    EXPECT_EQ(folder.Names(), std::set<std::string>{"out.txt"});

    // It succeeds: the new content replaces the old in one rename.
    EXPECT_TRUE(WriteAtomically(
        target, [&](const std::string& temporary, std::string&) { WriteFile(temporary, "new"); return true; }, error));
    EXPECT_EQ(FileText(target), "new");
    EXPECT_EQ(folder.Names(), std::set<std::string>{"out.txt"});

    // The rename fails (a folder is in the way): the temporary goes too.
    fs::create_directory(folder / "taken");
    EXPECT_FALSE(WriteAtomically(
        folder / "taken", [&](const std::string& temporary, std::string&) { WriteFile(temporary, "x"); return true; },
        error));
    EXPECT_NE(error.find("taken"), std::string::npos) << error;
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"out.txt", "taken"}));
}

TEST(CheckOutputFolder, RefusesWhatIsNoWritableFolder) {
    ScratchFolder folder("output-folder");
    WriteFile(folder / "file", "x");
    std::string error;
    EXPECT_TRUE(CheckOutputFolder(folder.Path(), error)) << error;
    EXPECT_FALSE(CheckOutputFolder(folder / "missing", error));
    EXPECT_NE(error.find("does not exist"), std::string::npos);
    EXPECT_FALSE(CheckOutputFolder(folder / "file", error));
    EXPECT_NE(error.find("is not a folder"), std::string::npos);
    EXPECT_EQ(folder.Names(), std::set<std::string>{"file"});  // the probe is gone
    EXPECT_EQ(FolderOf("m.png"), ".");
    EXPECT_EQ(FolderOf("a/b/m.png"), "a/b");
}

TEST(CommandLineOptions, ReadTheirValuesEitherWay) {
    const std::vector<std::vector<std::string>> same = {
        {"run", "--mode", "5", "p.jpg", "--mask", "m.png", "--record", "r.txt", "--dialog"},
        {"run", "--mode=5", "p.jpg", "--mask=m.png", "--record=r.txt", "--dialog"},
        {"--dialog", "run", "p.jpg", "--record", "r.txt", "--mask", "m.png", "--mode", "5"},
    };
    for (const auto& args : same) {
        CommandLine line;
        std::string error;
        ASSERT_TRUE(ParseCommandLine(args, line, error)) << error;
        EXPECT_EQ(line.action, CommandLine::Action::MaskOne);
        EXPECT_EQ(line.mode, 5);
        EXPECT_EQ(line.image, "p.jpg");
        EXPECT_EQ(line.mask, "m.png");
        EXPECT_EQ(line.recordFile, "r.txt");
        EXPECT_TRUE(line.dialog);
    }
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"run", "--replay", "r.txt", "p.jpg", "--mask", "m.png"}, line, error)) << error;
    EXPECT_EQ(line.replayFile, "r.txt");
    EXPECT_EQ(line.action, CommandLine::Action::MaskOne);
    ASSERT_TRUE(ParseCommandLine({"--module", "x.so", "--version", "--bogus"}, line, error));
    EXPECT_EQ(line.action, CommandLine::Action::Version);
}

TEST(CommandLineOptions, RefuseCombinationsThatMeanNothing) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--about", "--dialog"}, "--dialog goes with a run request"},
        {{"--about=yes"}, "--about takes no value"},
        {{"--mode", "3"}, "--mode needs the run command"},
        {{"--record", "r.txt"}, "--record needs the run command"},
        {{"run", "--mode", "1", "--mode", "2", "p.jpg", "--mask", "m.png"}, "--mode given twice"},
        {{"run", "--mode", "1", "--replay", "r.txt", "p.jpg", "--mask", "m.png"}, "exactly one of"},
        {{"run", "--all", "p.jpg", "--out", "o", "--record", "r.txt"}, "--record does not go with --all"},
        {{"run", "--all", "--any-mode", "p.jpg", "--out", "o"}, "--any-mode goes with --mode"},
        {{"run", "--mode", "1", "p.jpg", "--mask", "m.png", "--out", "o"}, "--out goes with --all"},
        {{"run", "--mode", "-1", "p.jpg", "--mask", "m.png"}, "unknown mode -1"},
        {{"run", "--mode", "3", "p.jpg", "--mask", ""}, "--mask needs a value"},
        {{"-x"}, "unknown option -x"},
    };
    for (const auto& [args, message] : refused) {
        CommandLine line;
        std::string error;
        EXPECT_FALSE(ParseCommandLine(args, line, error)) << message;
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }
}
}  // namespace
