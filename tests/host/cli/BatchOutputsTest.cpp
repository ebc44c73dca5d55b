// What a batch writes, on every build and so under Wine too: for each
// photograph what its single command writes, byte for byte, whether the
// shoot is run whole or in shards, with plain lines where no terminal is.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "host/cli/CommandLine.h"

namespace fs = std::filesystem;

namespace {
TEST(BatchOutputs, EachPhotographAsItsSingleCommandWritesIt) {
    ScratchFolder folder("batch-as-single");
    const std::vector<std::string> stems = MakePhotos(folder, 2);
    const ProgramResult batch = RunHostProgram({"run", "--all", folder / "in", "--out", folder / "batch"}, folder.Path());
    ASSERT_EQ(batch.exitStatus, kExitOk) << batch.err;
    ExpectPlainText(batch);
    EXPECT_EQ(Lines(batch.out).size(), stems.size() + 1) << "a line a photograph, then the summary\n" << batch.out;
    const std::map<std::string, std::string> written = Contents(folder / "batch");
    EXPECT_EQ(written.size(), stems.size() * 8u);
    for (const std::string& stem : stems) {
        SCOPED_TRACE(stem);
        const ProgramResult single =
            RunHostProgram({"run", "--all", folder / ("in/" + stem + ".ppm"), "--out", folder / stem}, folder.Path());
        ASSERT_EQ(single.exitStatus, kExitOk) << single.err;
        const std::map<std::string, std::string> alone = Contents(folder / stem);
        EXPECT_EQ(alone.size(), 8u);
        for (const auto& [name, bytes] : alone) EXPECT_TRUE(written.at(stem + "/" + name) == bytes) << name;
    }
}

// N shards, one after another into one folder as GNU parallel would run
// them, write exactly what one unsharded run writes.
TEST(BatchOutputs, ShardsAddUpToOneRun) {
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
        ExpectPlainText(result);
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
}  // namespace
