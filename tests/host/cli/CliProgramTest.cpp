// The built lumacut-host run as a subprocess: what a user sees for good and
// bad input, and the files it leaves behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "host/cli/CommandLine.h"
#include "host/image/ImageFile.h"

namespace fs = std::filesystem;

namespace {
// Every test folder starts with these inputs; after a refusal it must hold
// nothing else: no output, no temporary.
void PrepareInputs(const ScratchFolder& folder) {
    fs::copy_file(LUMACUT_SAMPLE_PHOTO, folder / "photo.jpg");
    WriteFile(folder / "notes.txt", "not a picture\n");
    WriteFile(folder / "cut.png", PngHeader(64, 64).substr(0, 12));
    WriteFile(folder / "zero.png", PngHeader(0, 10));
    WriteFile(folder / "wide.png", PngHeader(70000, 1));
    WriteFile(folder / "empty.pgm", "P5\n0 10\n255\n");
    WriteFile(folder / "huge.pgm", "P5\n20000 20000\n255\n");  // 400 megapixels, no data
    WriteFile(folder / "garbage.txt", "{\"Cnt \": \n");
    fs::create_directory(folder / "sub");
}

struct Refusal {
    const char* what;
    std::vector<std::string> args;  // "@name" is a path in the test folder
    int exitStatus;
    std::string message;            // part of the one-line error
};

std::vector<std::string> InFolder(const ScratchFolder& folder, const std::vector<std::string>& args) {
    std::vector<std::string> resolved;
    for (const std::string& arg : args) resolved.push_back(arg.rfind('@', 0) == 0 ? folder / arg.substr(1) : arg);
    return resolved;
}

TEST(HostProgram, RefusesBadInputWithOneLineAndLeavesNoFile) {
    const std::vector<Refusal> refusals = {
        {"missing image", {"run", "--mode", "1", "@absent.jpg", "--mask", "@m.png"}, kExitInputOutput,
         "absent.jpg: No such file or directory"},
        {"folder as image", {"run", "--mode", "1", "@sub", "--mask", "@m.png"}, kExitUsage,
         "--mask takes one photograph"},
        {"text as image", {"run", "--mode", "1", "@notes.txt", "--mask", "@m.png"}, kExitInputOutput,
         "not an image lumacut-host can read"},
        {"cut image", {"run", "--mode", "1", "@cut.png", "--mask", "@m.png"}, kExitInputOutput,
         "not an image lumacut-host can read"},
        {"zero width", {"run", "--mode", "1", "@zero.png", "--mask", "@m.png"}, kExitInputOutput, "zero.png"},
        {"no pixels", {"run", "--mode", "1", "@empty.pgm", "--mask", "@m.png"}, kExitInputOutput,
         "the image has no pixels (0 x 10)"},
        {"too wide", {"run", "--mode", "1", "@wide.png", "--mask", "@m.png"}, kExitInputOutput,
         "70000 x 1 is larger than"},
        {"too many pixels", {"run", "--all", "@huge.pgm", "--out", "@masks"}, kExitInputOutput,
         "20000 x 20000 is larger than"},
        {"unknown mode 0", {"run", "--mode", "0", "@photo.jpg", "--mask", "@m.png"}, kExitUsage, "unknown mode 0"},
        {"unknown mode 8", {"run", "--mode", "8", "@photo.jpg", "--mask", "@m.png"}, kExitUsage, "unknown mode 8"},
        {"mode not a number", {"run", "--mode", "two", "@photo.jpg", "--mask", "@m.png"}, kExitUsage,
         "--mode takes a whole number"},
        {"unknown option", {"run", "--mode", "1", "@photo.jpg", "--mask", "@m.png", "--fast"}, kExitUsage,
         "unknown option --fast"},
        {"missing value", {"run", "--mode", "1", "@photo.jpg", "--mask"}, kExitUsage, "--mask needs a value"},
        {"no image", {"run", "--mode", "1", "--mask", "@m.png"}, kExitUsage, "which image"},
        {"mask folder missing", {"run", "--mode", "1", "@photo.jpg", "--mask", "@nowhere/m.png"}, kExitInputOutput,
         "does not exist"},
        {"mask folder is a file", {"run", "--mode", "1", "@photo.jpg", "--mask", "@notes.txt/m.png"},
         kExitInputOutput, "is not a folder"},
        {"record folder missing",
         {"run", "--mode", "1", "@photo.jpg", "--mask", "@m.png", "--record", "@nowhere/r.txt"}, kExitInputOutput,
         "does not exist"},
        {"out inside a file", {"run", "--all", "@photo.jpg", "--out", "@notes.txt/masks"}, kExitInputOutput,
         "is not a folder"},
        {"out two levels missing", {"run", "--all", "@photo.jpg", "--out", "@a/b"}, kExitInputOutput,
         "does not exist"},
        {"replay missing", {"run", "--replay", "@absent.txt", "@photo.jpg", "--mask", "@m.png"}, kExitInputOutput,
         "absent.txt: No such file or directory"},
        {"replay not a descriptor", {"run", "--replay", "@garbage.txt", "@photo.jpg", "--mask", "@m.png"},
         kExitInputOutput, "garbage.txt"},
        {"module missing", {"--module", "@none.so", "run", "--mode", "1", "@photo.jpg", "--mask", "@m.png"},
         kExitInputOutput, "none.so"},
        {"module missing for a new folder", {"--module", "@none.so", "chart", "--out", "@charts"}, kExitInputOutput,
         "none.so"},
        {"two photographs, one stem", {"run", "--all", "@photo.jpg", "@sub/photo.png", "--out", "@masks"}, kExitUsage,
         "would both write photo"},
        {"folder without photographs", {"run", "--mode", "1", "@sub", "--out", "@masks"}, kExitUsage,
         "holds no photographs"},
        {"batch into a file", {"run", "--mode", "1", "@photo.jpg", "@cut.png", "--out", "@notes.txt"},
         kExitInputOutput, "is not a folder"},
        {"run option in a trace", {"trace", "--mode", "1"}, kExitUsage, "--mode needs the run command"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        ScratchFolder folder("refusal");
        PrepareInputs(folder);
        const std::set<std::string> before = folder.Names();
        const ProgramResult result = RunHostProgram(InFolder(folder, refusal.args), folder.Path());
        EXPECT_EQ(result.exitStatus, refusal.exitStatus) << result.err;
        const std::vector<std::string> lines = Lines(result.err);
        ASSERT_EQ(lines.size(), 1u) << result.err;
        EXPECT_EQ(lines[0].rfind("lumacut-host: ", 0), 0u) << lines[0];
        const std::string message = refusal.message[0] == '@' ? folder / refusal.message.substr(1) : refusal.message;
        EXPECT_NE(lines[0].find(message), std::string::npos) << lines[0];
        EXPECT_EQ(folder.Names(), before);
    }
}

TEST(HostProgram, RefusesAFolderItCannotWriteIn) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
    ScratchFolder folder("read-only");
    PrepareInputs(folder);
    fs::permissions(folder / "sub", fs::perms::owner_read | fs::perms::owner_exec);
    const ProgramResult result =
        RunHostProgram({"run", "--mode", "1", folder / "photo.jpg", "--mask", folder / "sub/m.png"}, folder.Path());
    EXPECT_EQ(result.exitStatus, kExitInputOutput);
    EXPECT_NE(result.err.find("cannot write in"), std::string::npos) << result.err;
    EXPECT_TRUE(fs::is_empty(folder / "sub"));
}

// The run itself fails: without a window the mode dialog cannot be shown,
// so the plug-in ends as cancelled.
TEST(HostProgram, FailedRunSaysItsStatusAndKeepsTheOldOutput) {
    ScratchFolder folder("failed-run");
    PrepareInputs(folder);
    WriteFile(folder / "m.png", "the mask of yesterday");
    const std::set<std::string> before = folder.Names();
    const ProgramResult result = RunHostProgram(
        {"run", "--dialog", "--mode", "2", folder / "photo.jpg", "--mask", folder / "m.png", "--record",
         folder / "r.txt"},
        folder.Path());
    EXPECT_EQ(result.exitStatus, kExitRunFailed);
    EXPECT_EQ(result.err, "lumacut-host: run failed: host error -128 (user cancelled)\n");
    EXPECT_EQ(folder.Names(), before);
    EXPECT_EQ(FileText(folder / "m.png"), "the mask of yesterday");

    const ProgramResult bare = RunHostProgram({"--dialog"}, folder.Path());
    EXPECT_EQ(bare.exitStatus, kExitRunFailed);
    EXPECT_EQ(bare.err, "lumacut-host: run failed: host error -128 (user cancelled)\n");
}

// The "(1.2 ms)" after each event differs from run to run.
std::vector<std::string> PlayedLines(const std::string& out) {
    std::vector<std::string> played;
    for (const std::string& line : Lines(out))
        if (line.rfind("  Play ", 0) == 0) played.push_back(std::regex_replace(line, std::regex(" \\([0-9.]+ ms\\)$"), ""));
    return played;
}

TEST(HostProgram, RecordedRunReplaysToTheSameEventsAndMask) {
    ScratchFolder folder("record-replay");
    PrepareInputs(folder);
    WriteFile(folder / "m.png", "replaced by the run");
    const ProgramResult recorded = RunHostProgram({"run", "--verbose", "--mode", "3", folder / "photo.jpg", "--mask",
                                                   folder / "m.png", "--record", folder / "r.txt"},
                                                  folder.Path());
    ASSERT_EQ(recorded.exitStatus, kExitOk) << recorded.err;
    EXPECT_EQ(recorded.err, "");
    EXPECT_EQ(FileText(folder / "r.txt"), "# lumacut descriptor\n{\"Cnt \": 3}\n");

    const ProgramResult replayed = RunHostProgram(
        {"run", "-v", "--replay", folder / "r.txt", folder / "photo.jpg", "--mask", folder / "again.png"},
        folder.Path());
    ASSERT_EQ(replayed.exitStatus, kExitOk) << replayed.err;
    EXPECT_FALSE(PlayedLines(recorded.out).empty());
    EXPECT_EQ(PlayedLines(replayed.out), PlayedLines(recorded.out));
    EXPECT_EQ(FileText(folder / "again.png"), FileText(folder / "m.png"));

    RgbPlanes photo, mask;
    std::string error;
    ASSERT_TRUE(ReadImageFile(folder / "photo.jpg", photo, error)) << error;
    ASSERT_TRUE(ReadImageFile(folder / "m.png", mask, error)) << error;
    EXPECT_EQ(mask.red.Width(), photo.red.Width());
    EXPECT_EQ(mask.red.Height(), photo.red.Height());

    std::set<std::string> expected = {"photo.jpg", "notes.txt", "cut.png", "zero.png", "wide.png", "huge.pgm",  "empty.pgm",
                                      "garbage.txt", "sub",   "m.png",    "r.txt",    "again.png"};
    EXPECT_EQ(folder.Names(), expected);
}

TEST(HostProgram, AllModesWriteTheirMasksAndASheetIntoANewFolder) {
    ScratchFolder folder("all");
    fs::copy_file(LUMACUT_SAMPLE_PHOTO, folder / "photo.jpg");
    const ProgramResult result = RunHostProgram({"run", "--all", folder / "photo.jpg", "--out", folder / "masks"},
                                                folder.Path());
    ASSERT_EQ(result.exitStatus, kExitOk) << result.err;
    std::set<std::string> expected = {"photo.jpg", "masks", "masks/contact-sheet.png"};
    for (const char* name : {"1-highlights-normal", "2-highlights-narrow", "3-shadows-normal", "4-shadows-narrow",
                             "5-midtones-wide", "6-midtones-medium", "7-midtones-narrow"})
        expected.insert(std::string("masks/mode-") + name + ".png");
    EXPECT_EQ(folder.Names(), expected);

    // Without --verbose: the image, one line per mode as its mask is
    // written, in whatever order the writers finish, the sheet and the total.
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 10u) << result.out;
    EXPECT_EQ(lines[0].rfind(folder / "photo.jpg: 640 x 427, read in ", 0), 0u) << lines[0];
    std::set<int> modesDone;
    for (std::size_t i = 1; i < lines.size() - 1; ++i) {
        std::smatch done;
        if (std::regex_match(lines[i], done, std::regex("mode ([1-7]) \\(.*\\) done in [0-9.]+ ms: [0-9]+ events in "
                                                         "[0-9.]+ ms, .*/masks/mode-\\1-.*\\.png written in [0-9.]+ ms "
                                                         "\\(filter [0-9.]+ ms, deflate [0-9.]+ ms\\)")))
            modesDone.insert(std::stoi(done[1]));
        else
            EXPECT_EQ(lines[i].rfind("contact sheet: ", 0), 0u) << lines[i];
    }
    EXPECT_EQ(modesDone, (std::set<int>{1, 2, 3, 4, 5, 6, 7})) << result.out;
    EXPECT_EQ(lines.back().rfind("all 7 modes and the contact sheet in ", 0), 0u) << lines.back();
}

// A writer thread fails (a folder stands where mode 3's mask goes): one
// line, the input/output status, and no temporary left behind.
TEST(HostProgram, AllModesStopAtAFailedWriteWithOneLine) {
    ScratchFolder folder("all-write-fails");
    fs::copy_file(LUMACUT_SAMPLE_PHOTO, folder / "photo.jpg");
    fs::create_directories(folder / "masks/mode-3-shadows-normal.png/inside");
    const ProgramResult result = RunHostProgram({"run", "--all", folder / "photo.jpg", "--out", folder / "masks"},
                                                folder.Path());
    EXPECT_EQ(result.exitStatus, kExitInputOutput);
    const std::vector<std::string> lines = Lines(result.err);
    ASSERT_EQ(lines.size(), 1u) << result.err;
    EXPECT_EQ(lines[0].rfind("lumacut-host: cannot write " + folder / "masks/mode-3-shadows-normal.png", 0), 0u)
        << lines[0];
    for (const std::string& name : folder.Names()) EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
    EXPECT_TRUE(fs::is_directory(folder / "masks/mode-3-shadows-normal.png/inside"));
}

TEST(HostProgram, ModeOutsideTheDialogsGoesThroughOnlyWhenAskedFor) {
    ScratchFolder folder("any-mode");
    fs::copy_file(LUMACUT_SAMPLE_PHOTO, folder / "photo.jpg");
    const ProgramResult result = RunHostProgram(
        {"run", "--any-mode", "--mode", "12", folder / "photo.jpg", "--mask", folder / "m.png"}, folder.Path());
    EXPECT_EQ(result.exitStatus, kExitOk) << result.err;
    EXPECT_NE(result.out.find("mode 12 (no such mode: plain luminosity)"), std::string::npos) << result.out;
    EXPECT_TRUE(fs::exists(folder / "m.png"));
}

TEST(HostProgram, HelpListsEveryOptionTheParserKnows) {
    ScratchFolder folder("help");
    for (const char* flag : {"--help", "-h"}) {
        const ProgramResult result = RunHostProgram({flag}, folder.Path());
        EXPECT_EQ(result.exitStatus, kExitOk);
        EXPECT_EQ(result.err, "");
        const std::vector<std::string> lines = Lines(result.out);
        for (const OptionSpec& option : KnownOptions()) {
            SCOPED_TRACE(option.name);
            ASSERT_NE(option.help, nullptr);
            EXPECT_GT(std::string(option.help).size(), 10u);
            // The option's own line names it and says what it does.
            bool described = false;
            for (const std::string& line : lines)
                described |= line.find(std::string(option.name) + " ") != std::string::npos &&
                             line.find(option.help) != std::string::npos;
            EXPECT_TRUE(described) << result.out;
        }
        for (const char* must : {"run --mode N", "run --all", "run --replay", "INPUT... --out DIR", "trace",
                                 "exit status", "  1  ", "  2  ", "  3  ", "  130  ", "examples:",
                                 "lumacut-host run --mode 4 photo.jpg", "chart --out DIR"})
            EXPECT_NE(result.out.find(must), std::string::npos) << must;
    }
}

TEST(HostProgram, VersionNamesTheProgramAndThePlugIn) {
    ScratchFolder folder("version");
    const ProgramResult result = RunHostProgram({"--version"}, folder.Path());
    EXPECT_EQ(result.exitStatus, kExitOk);
    EXPECT_EQ(result.out, "lumacut-host 0.1\nZYT_Lumacut Version 0.1 Release (12/2004)\n");
}

TEST(HostProgram, TraceCountsTheNameItReleased) {
    ScratchFolder folder("bare");
    const ProgramResult result = RunHostProgram({"trace"}, folder.Path());
    EXPECT_EQ(result.exitStatus, kExitOk) << result.err;
    EXPECT_NE(result.out.find("plug-in name obtained 1, released 1;"), std::string::npos) << result.out;
}

// As command-line tools do: the usage, and nothing loaded or run.
TEST(HostProgram, NoArgumentsPrintTheUsage) {
    ScratchFolder folder("no-arguments");
    const ProgramResult result = RunHostProgram({}, folder.Path());
    EXPECT_EQ(result.exitStatus, kExitUsage);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("usage: lumacut-host", 0), 0u) << result.err;
    EXPECT_LT(Lines(result.err).size(), 12u) << result.err;
}
}  // namespace
