// Images in and out: what reaches the document from a file, and masks that
// read back as written.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "EngineReference.h"
#include "host/ImageFile.h"
#include "host/PngWriter.h"

namespace {
std::string TempPath(const std::string& name) { return ::testing::TempDir() + "lumacut-" + name; }

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(ImageFile, MasksAndSheetsReadBackAsWritten) {
    // Every row filter the writer knows, each read back by a decoder of its
    // own; one width of a single pixel (nothing left of any byte) and one
    // image of random levels, which zlib cannot shrink, so it spans several
    // IDAT chunks.
    struct Case {
        PngFilter filter;
        int width, height;
    };
    const std::vector<Case> cases = {{PngFilter::None, 37, 11},    {PngFilter::Sub, 37, 11},
                                     {PngFilter::Up, 37, 11},      {PngFilter::Average, 37, 11},
                                     {PngFilter::Paeth, 37, 11},   {PngFilter::Adaptive, 37, 11},
                                     {PngFilter::Paeth, 1, 5},     {MaskPngSettings().filter, 800, 700}};
    const std::string grayPath = TempPath("mask.png");
    const std::string colourPath = TempPath("colour.png");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.filter)) + ": " + std::to_string(c.width) + " x " +
                     std::to_string(c.height));
        const PngSettings settings{6, MaskPngSettings().strategy, c.filter};
        const Plane mask = RandomPlane(c.width, c.height, 3);
        std::string error;
        ASSERT_TRUE(WriteGrayPng(grayPath, mask, error, settings)) << error;
        RgbPlanes read;
        ASSERT_TRUE(ReadImageFile(grayPath, read, error)) << error;
        EXPECT_TRUE(read.red.SameLevels(mask) && read.green.SameLevels(mask) && read.blue.SameLevels(mask))
            << "a gray file gives three equal planes";

        RgbImage colour;
        colour.width = c.width;
        colour.height = c.height;
        const Plane other = RandomPlane(c.width, c.height, 4);
        for (std::size_t i = 0; i < mask.Size(); ++i)
            colour.pixels.insert(colour.pixels.end(), {mask.Data()[i], other.Data()[i], uint8_t(255 - mask.Data()[i])});
        ASSERT_TRUE(WriteRgbPng(colourPath, colour, error, settings)) << error;
        ASSERT_TRUE(ReadImageFile(colourPath, read, error)) << error;
        EXPECT_TRUE(read.red.SameLevels(mask) && read.green.SameLevels(other));
        const int x = c.width - 1, y = c.height - 1;
        EXPECT_EQ(read.blue.At(x, y), 255 - mask.At(x, y));
    }
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
