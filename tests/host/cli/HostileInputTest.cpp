// Files made to break lumacut-host's readers: images made to break decoders
// (tests/host/cli/hostile), step files made to break the descriptor reader,
// and names of what is not a file at all. Each must end in a one-line error
// naming it and exit status 1, at once, leaving nothing behind, on every
// build. In a batch, each gets its line and the photographs around them
// are written.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "host/cli/CommandLine.h"

namespace fs = std::filesystem;

namespace {
// Runs lumacut-host with `args` in `folder`; it must refuse `name` for
// `why` and leave the folder as it was.
void ExpectRefusal(const std::vector<std::string>& args, const ScratchFolder& folder, const std::string& name,
                   const std::string& why) {
    const std::set<std::string> before = folder.Names();
    const ProgramResult result = RunHostProgram(args, folder.Path());
    EXPECT_EQ(result.exitStatus, kExitInputOutput) << result.err;
    const std::vector<std::string> lines = Lines(result.err);
    ASSERT_EQ(lines.size(), 1u) << result.err.substr(0, 2000);
    EXPECT_EQ(lines[0].rfind("lumacut-host: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(name), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(why), std::string::npos) << lines[0];
    EXPECT_LT(lines[0].size(), 300u) << "a line a person can read";
    EXPECT_EQ(lines[0].find("Warning"), std::string::npos) << "a decoder's warning is no reason: " << lines[0];
    EXPECT_EQ(folder.Names(), before);
}

std::string Repeated(const std::string& text, std::size_t times) {
    std::string result;
    result.reserve(text.size() * times);
    for (std::size_t i = 0; i < times; ++i) result += text;
    return result;
}

// The text as a Windows editor saves "Unicode": UTF-16, little-endian.
std::string Utf16(const std::string& text) {
    std::string result;
    for (char c : text) result += std::string(1, c) + '\0';
    return result;
}

// A small image every build reads, so that a refusal is the step file's.
void WritePhoto(const ScratchFolder& folder) { WriteFile(folder / "photo.pgm", "P5\n2 2\n255\n\x10\x80\xC0\xFF"); }

std::vector<fs::path> HostileFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(LUMACUT_HOSTILE_IMAGES))
        if (entry.path().filename() != "NOTICE.md") files.push_back(entry.path());
    return files;
}

TEST(HostileInput, ImagesEndInOneLineErrorAndLeaveNoFile) {
    const std::vector<fs::path> files = HostileFiles();
    ASSERT_GE(files.size(), 6u) << "the hostile folder was not found: " << LUMACUT_HOSTILE_IMAGES;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        ScratchFolder folder("hostile");
        ExpectRefusal({"run", "--mode", "1", file.string(), "--mask", folder / "m.png"}, folder,
                      file.filename().string(), "");
    }
}

struct HostileStep {
    const char* name;
    std::string content;
    const char* why;              // part of the one-line error
    std::uintmax_t sizeAfter = 0;  // the file grown to this size (zeros), when not 0
};

TEST(HostileInput, StepFilesEndInOneLineErrorAndLeaveNoFile) {
    const std::string code = "{\"Cnt \": ";
    const std::vector<HostileStep> steps = {
        {"million-deep.txt", code + Repeated("list[", 1000000) + "1" + Repeated("]", 1000000) + "}", "too large"},
        {"too-deep.txt", code + Repeated("list[", 64) + "1" + Repeated("]", 64) + "}", "nested more than 64 deep"},
        {"long-number.txt", code + Repeated("9", 1000) + "}", "bad 32-bit integer '99999999999999999999... (1000"},
        {"open-code.txt", "{\"Cnt", "unterminated code at line 1, column 6"},
        {"open-escape.txt", "{\"Cn\\", "unterminated escape at line 1, column 6"},
        {"nul-byte.txt", "# lumacut descriptor\n" + code + std::string("3\0}\n", 4), "a NUL byte at line 2, column 11"},
        {"utf16.txt", Utf16(code + "3}"), "a NUL byte at line 1, column 2"},
        {"utf16-bom.txt", "\xFF\xFE" + Utf16(code + "3}"), "byte-order mark"},
        {"utf8-bom.txt", "\xEF\xBB\xBF{\"Cnt \": 3}", "byte-order mark"},
        {"empty.txt", "", "the file is empty"},
        {"100mb.txt", "", "too large", std::uintmax_t{100} << 20},
    };
    for (const HostileStep& step : steps) {
        SCOPED_TRACE(step.name);
        ScratchFolder folder("hostile-step");
        WritePhoto(folder);
        WriteFile(folder / step.name, step.content);
        if (step.sizeAfter != 0) fs::resize_file(folder / step.name, step.sizeAfter);
        ExpectRefusal({"run", "--replay", folder / step.name, folder / "photo.pgm", "--mask", folder / "m.png"},
                      folder, step.name, step.why);
    }
}

// Neither a step file nor an image may be something that is not a file: a
// folder is called one, and a FIFO, a device or a socket is refused before
// anything waits on it.
TEST(HostileInput, WhatIsNotAFileIsRefusedAtOnce) {
    ScratchFolder folder("not-a-file");
    WritePhoto(folder);
    WriteFile(folder / "step.txt", "{\"Cnt \": 3}");
    fs::create_directory(folder / "sub");
    std::vector<NotAFile> others = NotFiles(folder);
    others.push_back({folder / "sub", "is a folder"});
    for (const NotAFile& other : others) {
        SCOPED_TRACE(other.path);
        ExpectRefusal({"run", "--replay", other.path, folder / "photo.pgm", "--mask", folder / "m.png"}, folder,
                      other.path, other.why);
        // A folder in the photograph's place is a batch's input, whose
        // photographs --mask cannot take: a usage error, tested with batches.
        if (other.path == folder / "sub") continue;
        ExpectRefusal({"run", "--replay", folder / "step.txt", other.path, "--mask", folder / "m.png"}, folder,
                      other.path, other.why);
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
