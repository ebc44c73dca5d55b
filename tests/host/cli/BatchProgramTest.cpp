// lumacut-host on many photographs, where only POSIX can make the case: bad
// input never stops the rest, an interrupt leaves only whole files and a
// rerun completes them, and a batch stops early only when every write fails
// alike.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <map>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "host/cli/CommandLine.h"

namespace fs = std::filesystem;

namespace {
struct BadInput {
    const char* what;
    std::function<void(const ScratchFolder&)> make;  // puts it in folder/in, named so it sorts between a and z
    std::vector<std::string> extraInputs;            // given after the folder
    std::string named;                               // what its error line names
};

// Each kind of bad input between two good photographs: one line for it,
// the other two written, no temporary left, exit status 1.
TEST(Batch, BadInputGetsALineAndTheRestIsWritten) {
    const std::vector<BadInput> cases = {
        {"empty", [](const ScratchFolder& f) { WriteFile(f / "in/m.jpg", ""); }, {}, "m.jpg"},
        {"truncated", [](const ScratchFolder& f) { WriteFile(f / "in/m.png", PngHeader(64, 64) + "IDAT"); }, {}, "m.png"},
        {"lying extension", [](const ScratchFolder& f) { WriteFile(f / "in/m.tif", "GIF89a, not a TIFF"); }, {}, "m.tif"},
        {"too large", [](const ScratchFolder& f) { WriteFile(f / "in/m.pgm", "P5\n20000 20000\n255\n"); }, {}, "m.pgm"},
        {"folder as file", [](const ScratchFolder& f) { fs::create_directory(f / "in/m.jpg"); }, {}, "m.jpg"},
        {"FIFO", [](const ScratchFolder& f) { ASSERT_EQ(mkfifo((f / "in/m.jpg").c_str(), 0600), 0); }, {}, "m.jpg"},
        {"device", [](const ScratchFolder&) {}, {"/dev/zero"}, "/dev/zero"},
        {"symlink loop", [](const ScratchFolder& f) { fs::create_symlink("m.jpg", f / "in/m.jpg"); }, {}, "m.jpg"},
        {"missing", [](const ScratchFolder&) {}, {"@in/gone.jpg"}, "gone.jpg"},
    };
    for (const BadInput& bad : cases) {
        SCOPED_TRACE(bad.what);
        ScratchFolder folder("batch-bad");
        fs::create_directory(folder / "in");
        fs::copy_file(LUMACUT_SAMPLE_PHOTO, folder / "in/a.jpg");
        fs::copy_file(LUMACUT_SAMPLE_PHOTO, folder / "in/z.jpg");
        bad.make(folder);
        std::vector<std::string> args = {"run", "--mode", "1", folder / "in", "--out", folder / "out"};
        for (const std::string& input : bad.extraInputs) args.push_back(input[0] == '@' ? folder / input.substr(1) : input);
        const ProgramResult result = RunHostProgram(args, folder.Path());
        EXPECT_EQ(result.exitStatus, kExitInputOutput) << result.err;
        const std::vector<std::string> lines = Lines(result.err);
        ASSERT_EQ(lines.size(), 1u) << result.err;
        EXPECT_NE(lines[0].find(bad.named), std::string::npos) << lines[0];
        EXPECT_TRUE(fs::is_regular_file(folder / "out/a.png"));
        EXPECT_TRUE(fs::is_regular_file(folder / "out/z.png"));
        EXPECT_EQ(Lines(result.out).back().rfind("2 written, 0 skipped, 1 failed in ", 0), 0u) << result.out;
        ExpectNoTemporary(folder / "out");
        ExpectPlainText(result);
    }
}

// Each signal mid-batch: the photograph in flight is finished, no partial or
// temporary file is left, and a rerun with --skip-existing writes what one
// uninterrupted run writes, byte for byte.
TEST(Batch, InterruptLeavesWholeFilesAndARerunCompletesThem) {
    ScratchFolder folder("batch-interrupt");
    const std::vector<std::string> stems = MakePhotos(folder, 4);
    ASSERT_EQ(RunHostProgram({"run", "--all", folder / "in", "--out", folder / "whole", "-q"}, folder.Path()).exitStatus,
              kExitOk);
    const std::map<std::string, std::string> whole = Contents(folder / "whole");
    ASSERT_EQ(whole.size(), 4u * 8u);

    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const std::string out = folder / ("out-" + std::to_string(signal));
        const int process = StartHostProgram({"run", "--all", folder / "in", "--out", out}, folder.Path());
        ASSERT_TRUE(WaitForFile(out + "/a/contact-sheet.png"));
        kill(process, signal);
        const ProgramResult stopped = WaitHostProgram(process, folder.Path());
        EXPECT_EQ(stopped.exitStatus, kExitInterrupted) << stopped.err;
        EXPECT_NE(Lines(stopped.out).back().find("; interrupted, "), std::string::npos) << stopped.out;
        ExpectNoTemporary(out);
        const std::map<std::string, std::string> part = Contents(out);
        EXPECT_LT(part.size(), whole.size()) << "the signal came after the batch";
        EXPECT_EQ(part.size() % 8, 0u) << "a photograph left incomplete";

        const ProgramResult rerun = RunHostProgram({"run", "--all", folder / "in", "--out", out, "--skip-existing"},
                                                   folder.Path());
        EXPECT_EQ(rerun.exitStatus, kExitOk) << rerun.err;
        EXPECT_NE(rerun.out.find(std::to_string(part.size() / 8) + " skipped"), std::string::npos) << rerun.out;
        EXPECT_TRUE(Contents(out) == whole);
    }
}

// A photograph removed after the batch listed it is a line of its own.
TEST(Batch, PhotographRemovedWhileTheBatchRuns) {
    ScratchFolder folder("batch-removed");
    // The last of eight goes as soon as the first one's first mask is
    // there: with one photograph decoded ahead, six more runs would have to
    // end before the batch could read it, however fast they are.
    const std::vector<std::string> stems = MakePhotos(folder, 8);
    const int process = StartHostProgram({"run", "--all", folder / "in", "--out", folder / "out"}, folder.Path());
    ASSERT_TRUE(WaitForFile(folder / "out/a/mode-1-highlights-normal.png"));
    fs::remove(folder / "in/h.ppm");
    const ProgramResult result = WaitHostProgram(process, folder.Path());
    EXPECT_EQ(result.exitStatus, kExitInputOutput) << result.err;
    EXPECT_EQ(result.err, "lumacut-host: " + folder / "in/h.ppm" + ": No such file or directory\n");
    EXPECT_EQ(Contents(folder / "out").size(), 7u * 8u);
}

// Writes that all fail the same way stop the batch after a few; one that
// fails alone does not.
TEST(Batch, StopsEarlyOnlyWhenEveryWriteFailsAlike) {
    for (int blocked : {1, 6}) {
        SCOPED_TRACE(blocked);
        ScratchFolder folder("batch-unwritable");
        fs::create_directory(folder / "in");
        for (int i = 0; i < 6; ++i) {
            const std::string stem(1, static_cast<char>('a' + i));
            fs::copy_file(LUMACUT_SAMPLE_PHOTO, folder / ("in/" + stem + ".jpg"));
            // A folder where the mask goes: the rename into place fails.
            if (i < blocked) fs::create_directories(folder / ("out/" + stem + ".png/x"));
        }
        const ProgramResult result =
            RunHostProgram({"run", "--mode", "1", folder / "in", "--out", folder / "out"}, folder.Path());
        EXPECT_EQ(result.exitStatus, kExitInputOutput);
        const std::vector<std::string> lines = Lines(result.err);
        if (blocked == 1) {
            EXPECT_EQ(lines.size(), 1u) << result.err;
            EXPECT_EQ(Lines(result.out).back().rfind("5 written, 0 skipped, 1 failed", 0), 0u) << result.out;
        } else {
            ASSERT_GE(lines.size(), 2u) << result.err;
            EXPECT_NE(lines.back().find("photographs in a row could not be written, all for the same reason: Is a directory"), std::string::npos)
                << result.err;
            EXPECT_NE(Lines(result.out).back().find("stopped early"), std::string::npos) << result.out;
        }
        ExpectNoTemporary(folder / "out");
    }
}
}  // namespace
