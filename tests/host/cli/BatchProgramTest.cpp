// lumacut-host on many photographs: bad input never stops the rest, an
// interrupt leaves only whole files and a rerun completes them, shards add
// up to one run, and a batch writes what single runs write.
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
// A binary PPM whose pixels depend on `seed`: distinct photographs large
// enough that a batch of a few runs for a good part of a second.
void WritePhoto(const std::string& path, int seed, int width = 1200, int height = 800) {
    std::string ppm = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) ppm += static_cast<char>((x * (c + 1) + y * seed + (x ^ y) * seed) & 0xFF);
    WriteFile(path, ppm);
}

// The files under `folder`, each with its bytes.
std::map<std::string, std::string> Contents(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files[fs::relative(entry.path(), folder).generic_string()] = FileText(entry.path());
    return files;
}

// Outputs and their temporaries go under `folder` alone.
void ExpectNoTemporary(const std::string& folder) {
    for (const auto& [name, bytes] : Contents(folder)) EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
}

void ExpectPlainText(const ProgramResult& result) {
    for (const std::string* text : {&result.out, &result.err})
        EXPECT_EQ(text->find_first_of("\r\x1b"), std::string::npos) << "no terminal, no control characters";
}

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

// The photographs of `folder / "in"` and the order a batch takes them in.
std::vector<std::string> MakePhotos(const ScratchFolder& folder, int count) {
    fs::create_directory(folder / "in");
    std::vector<std::string> stems;
    for (int i = 0; i < count; ++i) {
        stems.push_back(std::string(1, static_cast<char>('a' + i)));
        WritePhoto(folder / ("in/" + stems.back() + ".ppm"), i + 3);
    }
    return stems;
}

// Each signal mid-batch: the photograph in flight is finished, no partial or
// temporary file is left, and a rerun with --skip-existing writes what one
// uninterrupted run writes, byte for byte; which is what single runs write.
TEST(Batch, InterruptLeavesWholeFilesAndARerunCompletesThem) {
    ScratchFolder folder("batch-interrupt");
    const std::vector<std::string> stems = MakePhotos(folder, 4);
    ASSERT_EQ(RunHostProgram({"run", "--all", folder / "in", "--out", folder / "whole", "-q"}, folder.Path()).exitStatus,
              kExitOk);
    const std::map<std::string, std::string> whole = Contents(folder / "whole");
    ASSERT_EQ(whole.size(), 4u * 8u);
    ASSERT_EQ(RunHostProgram({"run", "--all", folder / "in/b.ppm", "--out", folder / "single"}, folder.Path()).exitStatus,
              kExitOk);
    for (const auto& [name, bytes] : Contents(folder / "single")) EXPECT_TRUE(whole.at("b/" + name) == bytes) << name;

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
    const std::vector<std::string> stems = MakePhotos(folder, 4);
    const int process = StartHostProgram({"run", "--all", folder / "in", "--out", folder / "out"}, folder.Path());
    ASSERT_TRUE(WaitForFile(folder / "out/a/contact-sheet.png"));
    fs::remove(folder / "in/d.ppm");
    const ProgramResult result = WaitHostProgram(process, folder.Path());
    EXPECT_EQ(result.exitStatus, kExitInputOutput) << result.err;
    EXPECT_EQ(result.err, "lumacut-host: " + folder / "in/d.ppm" + ": No such file or directory\n");
    EXPECT_EQ(Contents(folder / "out").size(), 3u * 8u);
}

// N shards, one after another into one folder as GNU parallel would run
// them, write exactly what one unsharded run writes.
TEST(Batch, ShardsAddUpToOneRun) {
    ScratchFolder folder("batch-shards");
    fs::create_directory(folder / "in");
    for (const char* name : {"a.jpg", "b.JPG", "c.jpeg", "d.jpg", "e.jpg"})
        fs::copy_file(LUMACUT_SAMPLE_PHOTO, folder / ("in/" + std::string(name)));
    WriteFile(folder / "in/.hidden.jpg", "never listed");
    WriteFile(folder / "in/notes.txt", "never listed");
    ASSERT_EQ(RunHostProgram({"run", "--mode", "2", folder / "in", "--out", folder / "one", "-q"}, folder.Path()).exitStatus,
              kExitOk);
    std::size_t written = 0;
    for (const char* shard : {"1/3", "2/3", "3/3"}) {
        const ProgramResult result = RunHostProgram(
            {"run", "--mode", "2", folder / "in", "--out", folder / "sharded", "--shard", shard, "--quiet"},
            folder.Path());
        ASSERT_EQ(result.exitStatus, kExitOk) << result.err;
        ASSERT_EQ(Lines(result.out).size(), 1u) << "--quiet: the summary alone\n" << result.out;
        written += std::stoul(result.out);
    }
    EXPECT_EQ(written, 5u) << "shards overlap or leave photographs out";
    const std::map<std::string, std::string> one = Contents(folder / "one");
    EXPECT_EQ(one.size(), 5u);
    EXPECT_TRUE(Contents(folder / "sharded") == one);
    ASSERT_EQ(RunHostProgram({"run", "--mode", "2", folder / "in/b.JPG", "--mask", folder / "b.png"}, folder.Path())
                  .exitStatus,
              kExitOk);
    EXPECT_TRUE(FileText(folder / "b.png") == one.at("b.png"));
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
