// What lumacut-host makes of its arguments, and the contact sheet it draws.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/EngineReference.h"
#include "host/cli/CliFiles.h"
#include "host/cli/CommandLine.h"
#include "host/cli/ContactSheet.h"
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
        {{}, Action::RunRequest, 1, "", "", "", ""},
        {{"--about"}, Action::About, 1, "", "", "", ""},
        {{"--module", "m.8li", "--about"}, Action::About, 1, "", "", "", "m.8li"},
        {{"--help"}, Action::Help, 1, "", "", "", ""},
        {{"run", "--mode", "4", "photo.jpg", "--mask", "shadows.png"}, Action::MaskOne, 4, "photo.jpg", "shadows.png", "", ""},
        {{"run", "photo.jpg", "--mask", "m.png", "--mode", "-3", "--any-mode"}, Action::MaskOne, -3, "photo.jpg", "m.png", "", ""},
        {{"run", "--any-mode", "--mode", "2147483647", "p.png", "--mask", "m.png"}, Action::MaskOne, 2147483647, "p.png", "m.png", "", ""},
        {{"--module", "x.so", "run", "--all", "photo.jpg", "--out", "out"}, Action::MaskAll, 1, "photo.jpg", "", "out", "x.so"},
        {{"chart", "--out", "charts"}, Action::Chart, 1, "", "", "charts", ""},
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
    const std::vector<std::vector<std::string>> refused = {
        {"--bogus"},
        {"--module"},
        {"run"},
        {"run", "--mode", "1", "photo.jpg"},                    // where does the mask go?
        {"run", "--mode", "x", "photo.jpg", "--mask", "m.png"},
        {"run", "--mode", "1.5", "photo.jpg", "--mask", "m.png"},
        {"run", "--mode", "2147483648", "photo.jpg", "--mask", "m.png"},
        {"run", "--mode", "", "photo.jpg", "--mask", "m.png"},
        {"run", "--all", "photo.jpg"},                          // where do the masks go?
        {"run", "--all", "--mode", "1", "photo.jpg", "--out", "o"},
        {"run", "--all", "photo.jpg", "--out", "o", "--mask", "m.png"},
        {"run", "--mode", "1", "a.jpg", "b.jpg", "--mask", "m.png"},
        {"run", "--mode", "1", "--mask", "m.png"},              // no image
        {"run", "--mode", "1", "a.jpg", "--mask"},
        {"--about", "run", "--all", "a.jpg", "--out", "o"},
        {"chart"},                                              // where does the chart go?
        {"chart", "photo.jpg", "--out", "o"},                  // a chart has no image
        {"chart", "--mode", "2", "--out", "o"},
        {"chart", "run", "--all", "a.jpg", "--out", "o"},
    };
    for (const auto& args : refused) {
        CommandLine line;
        std::string error;
        std::string text;
        for (const std::string& arg : args) text += arg + " ";
        EXPECT_FALSE(ParseCommandLine(args, line, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
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

TEST(ContactSheet, ScalingAveragesTheCoveredPixels) {
    // 4 x 2 -> 2 x 1: each output pixel is the rounded mean of a 2 x 2 block.
    const Plane source = PlaneOf(4, 2, [](int x, int y) { return static_cast<uint8_t>(x * 10 + y * 101); });
    const Plane half = ScaledDown(source, 2, 1);
    EXPECT_EQ(half.At(0, 0), (0 + 10 + 101 + 111 + 2) / 4);
    EXPECT_EQ(half.At(1, 0), (20 + 30 + 121 + 131 + 2) / 4);
    // 5 -> 2 columns, 3 -> 2 rows: uneven blocks, 2 then 3 columns, 1 then 2 rows.
    const Plane uneven = ScaledDown(PlaneOf(5, 3, [](int x, int y) { return static_cast<uint8_t>(x * 10 + y * 50); }), 2, 2);
    EXPECT_EQ(uneven.At(0, 0), (0 + 10 + 1) / 2);
    EXPECT_EQ(uneven.At(1, 0), (20 + 30 + 40 + 1) / 3);
    EXPECT_EQ(uneven.At(1, 1), (70 + 80 + 90 + 120 + 130 + 140 + 3) / 6);
    EXPECT_TRUE(ScaledDown(source, 4, 2).SharesPixelsWith(source)) << "same size: nothing to do";
}

TEST(ContactSheet, PutsEveryTileInItsPlaceWithItsCaptionBelow) {
    SheetLayout layout;
    layout.columns = 3;
    layout.largestTileWidth = 50;
    layout.margin = 10;
    layout.captionHeight = 20;
    std::vector<SheetTile> tiles;
    for (int i = 0; i < 4; ++i) {
        const Plane level(100, 40, static_cast<uint8_t>(40 * (i + 1)));  // scaled to 50 x 20
        tiles.push_back({"Tile " + std::to_string(i), {level, level, level}});
    }
    const RgbImage sheet = MakeContactSheet(tiles, layout);
    ASSERT_EQ(sheet.width, 10 + 3 * (50 + 10));
    ASSERT_EQ(sheet.height, 10 + 2 * (20 + 20 + 10));
    auto at = [&](int x, int y) { return sheet.pixels[(static_cast<std::size_t>(y) * sheet.width + x) * 3]; };
    for (int i = 0; i < 4; ++i) {
        const int left = 10 + (i % 3) * 60, top = 10 + (i / 3) * 50;
        EXPECT_EQ(at(left, top), 40 * (i + 1)) << "tile " << i;
        EXPECT_EQ(at(left + 49, top + 19), 40 * (i + 1)) << "tile " << i;
        EXPECT_EQ(at(left - 1, top), 255) << "paper left of tile " << i;
        int ink = 0;
        for (int y = top + 20; y < top + 40; ++y)
            for (int x = left; x < left + 50; ++x) ink += at(x, y) < 128;
        EXPECT_GT(ink, 20) << "caption of tile " << i;
    }
    EXPECT_EQ(at(sheet.width - 30, sheet.height - 30), 255) << "no fifth tile";

    tiles.push_back({"odd", {Plane(3, 3, 0), Plane(3, 3, 0), Plane(3, 3, 0)}});
    EXPECT_THROW(MakeContactSheet(tiles, layout), std::invalid_argument);
    EXPECT_THROW(MakeContactSheet({}, layout), std::invalid_argument);

    // Refused before its pixels are made: the byte count of this sheet
    // (120150 x 90080 x 3) wraps a 32-bit size_t.
    tiles.pop_back();
    layout.margin = 30000;
    EXPECT_THROW(MakeContactSheet(tiles, layout), std::length_error);
}
}  // namespace
