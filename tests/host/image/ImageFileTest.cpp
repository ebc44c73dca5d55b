// Images in and out: what reaches the document from a file, and masks that
// read back as written.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/EngineReference.h"
#include "host/image/ImageFile.h"

namespace {
std::string TempPath(const std::string& name) { return ::testing::TempDir() + "lumacut-" + name; }

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(ImageFile, MasksAndSheetsReadBackAsWritten) {
    const Plane mask = RandomPlane(37, 11, 3);
    std::string error;
    const std::string grayPath = TempPath("mask.png");
    ASSERT_TRUE(WriteGrayPng(grayPath, mask, error)) << error;
    RgbPlanes read;
    ASSERT_TRUE(ReadImageFile(grayPath, read, error)) << error;
    EXPECT_TRUE(read.red.SameLevels(mask) && read.green.SameLevels(mask) && read.blue.SameLevels(mask))
        << "a gray file gives three equal planes";

    RgbImage colour;
    colour.width = 5;
    colour.height = 3;
    for (int i = 0; i < 15; ++i) colour.pixels.insert(colour.pixels.end(), {uint8_t(i), uint8_t(100 + i), uint8_t(250 - i)});
    const std::string colourPath = TempPath("colour.png");
    ASSERT_TRUE(WriteRgbPng(colourPath, colour, error)) << error;
    ASSERT_TRUE(ReadImageFile(colourPath, read, error)) << error;
    EXPECT_EQ(read.red.At(4, 2), 14);
    EXPECT_EQ(read.green.At(0, 1), 105);
    EXPECT_EQ(read.blue.At(1, 0), 249);
    std::remove(grayPath.c_str());
    std::remove(colourPath.c_str());
}

TEST(ImageFile, TransparentPixelsArePutOnWhite) {
    // An uncompressed 32-bit TGA, 3 x 1, bottom-up BGRA: opaque red, half
    // transparent black, fully transparent blue.
    std::vector<uint8_t> tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 1, 0, 32, 8};
    tga.insert(tga.end(), {0, 0, 255, 255, /**/ 0, 0, 0, 128, /**/ 255, 0, 0, 0});
    const std::string path = TempPath("alpha.tga");
    WriteBytes(path, tga);
    RgbPlanes read;
    std::string error;
    ASSERT_TRUE(ReadImageFile(path, read, error)) << error;
    ASSERT_EQ(read.red.Width(), 3);
    EXPECT_EQ(read.red.At(0, 0), 255);
    EXPECT_EQ(read.green.At(0, 0), 0);
    // 0 * 128 + 255 * 127 = 32385 -> (32385 + 127) / 255 = 127.5 -> 127
    EXPECT_EQ(read.red.At(1, 0), 127);
    EXPECT_EQ(read.blue.At(2, 0), 255) << "colour of a transparent pixel does not show";
    EXPECT_EQ(read.red.At(2, 0), 255);
    std::remove(path.c_str());
}

TEST(ImageFile, RefusesWhatItCannotRead) {
    const std::string missing = TempPath("no-such-file.png");
    const std::string huge = TempPath("huge.ppm");
    const std::string garbage = TempPath("garbage.png");
    WriteBytes(huge, {'P', '6', '\n', '7', '0', '0', '0', '0', ' ', '1', '0', '\n', '2', '5', '5', '\n'});
    WriteBytes(garbage, {0x89, 'P', 'N', 'G', 1, 2, 3});
    for (const std::string& path : {missing, huge, garbage}) {
        RgbPlanes read;
        std::string error;
        EXPECT_FALSE(ReadImageFile(path, read, error)) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_TRUE(read.red.Empty());
    }
    std::string error;
    EXPECT_FALSE(WriteGrayPng(TempPath("x.png"), Plane(), error));
    EXPECT_FALSE(WriteGrayPng(TempPath("no-such-folder/x.png"), Plane(2, 2, 0), error));
    std::remove(huge.c_str());
    std::remove(garbage.c_str());
}
}  // namespace
