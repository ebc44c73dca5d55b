// Images in and out: what reaches the document from a file, and masks that
// read back as written.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "support/EngineReference.h"
#include "host/image/ImageFile.h"
#include "host/image/PngFilter.h"
#include "host/image/PngWriter.h"
#include "host/engine/RowBands.h"

namespace {
// Names of this run's own, so that checkouts tested side by side, or a
// sanitizer build beside a plain one, never write each other's files.
std::string TempPath(const std::string& name) {
    static const std::string run = std::to_string(std::random_device{}());
    return ::testing::TempDir() + "lumacut-" + run + "-" + name;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// ImageMagick's own reader gives `expected` from a PNG, through a PPM
// that our reader takes, and pngcheck finds every chunk and the stream in
// order. Natively only: the Windows builds' tests run under Wine, where
// neither is.
void ExpectOtherReadersRead(const std::string& png, const RgbPlanes& expected) {
#if defined(_WIN32)
    (void)png;
    (void)expected;
#else
    const std::string check = "pngcheck -q '" + png + "'";
    EXPECT_EQ(std::system(check.c_str()), 0) << check << " (apt-get install pngcheck)";
    const std::string ppm = png + ".ppm";
    const std::string command = "/usr/bin/convert-im6.q16 '" + png + "' 'ppm:" + ppm + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command << " (apt-get install imagemagick)";
    RgbPlanes read;
    std::string error;
    ASSERT_TRUE(ReadImageFile(ppm, read, error)) << error;
    std::remove(ppm.c_str());
    EXPECT_TRUE(read.red.SameLevels(expected.red) && read.green.SameLevels(expected.green) &&
                read.blue.SameLevels(expected.blue))
        << "ImageMagick reads other levels from " << png;
#endif
}

TEST(ImageFile, MasksAndSheetsReadBackAsWritten) {
    // Every row filter the writer knows, each read back by the platform's
    // decoder (libpng, the Windows Imaging Component), by ImageMagick and
    // pngcheck; one width of a single pixel (nothing left of any byte) and
    // images of random levels, which no coder can shrink, so they span
    // several IDAT chunks and several deflate blocks, with our coder and
    // zlib's. Rows that repeat let zlib's general matching reach back across
    // a block's start, into what the block was primed with: a wrong priming
    // gives wrong pixels. Two levels wide rows give our coder runs.
    struct Case {
        PngFilter filter;
        int width, height;
        int strategy = MaskPngSettings().strategy;
        int period = 0;  // rows repeat with this period; 0: random throughout
        PngCoder coder = MaskPngSettings().coder;
        int levels = 256;
    };
    const std::vector<Case> cases = {{PngFilter::None, 37, 11},    {PngFilter::Sub, 37, 11},
                                     {PngFilter::Up, 37, 11},      {PngFilter::Average, 37, 11},
                                     {PngFilter::Paeth, 37, 11},   {PngFilter::Adaptive, 37, 11},
                                     {PngFilter::Paeth, 1, 5},     {MaskPngSettings().filter, 800, 700},
                                     {PngFilter::Paeth, 4001, 301},
                                     {PngFilter::Paeth, 4001, 301, Z_RLE, 0, PngCoder::Zlib},
                                     {PngFilter::None, 12000, 30, Z_RLE, 0, PngCoder::RunLength, 2},
                                     {PngFilter::None, 370, 3000, Z_DEFAULT_STRATEGY, 5, PngCoder::Zlib}};
    const std::string grayPath = TempPath("mask.png");
    const std::string colourPath = TempPath("colour.png");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.filter)) + ": " + std::to_string(c.width) + " x " +
                     std::to_string(c.height));
        const PngSettings settings{6, c.strategy, c.filter, c.coder};
        const Plane random = RandomPlane(c.width, c.period > 0 ? c.period : c.height, 3, c.levels);
        const Plane mask =
            PlaneOf(c.width, c.height, [&](int x, int y) { return random.At(x, c.period > 0 ? y % c.period : y); });
        std::string error;
        ASSERT_TRUE(WriteGrayPng(grayPath, mask, error, settings)) << error;
        RgbPlanes read;
        ASSERT_TRUE(ReadImageFile(grayPath, read, error)) << error;
        EXPECT_TRUE(read.red.SameLevels(mask) && read.green.SameLevels(mask) && read.blue.SameLevels(mask))
            << "a gray file gives three equal planes";
        ExpectOtherReadersRead(grayPath, {mask, mask, mask});

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
        ExpectOtherReadersRead(colourPath, read);
    }
    std::remove(grayPath.c_str());
    std::remove(colourPath.c_str());
}

#if !defined(_WIN32)
// A large JPEG is read by two decoders at once, one skipping the rows the
// other gives: the same levels as one decoder, with colour subsampled in
// both directions (context rows for the smooth upsampling), without, and
// gray, at sizes that are not whole row groups (each above the two
// megapixels from which the reader splits).
TEST(ImageFile, LargeJpegsReadInTwoPartsAsInOne) {
    const std::string jpeg = TempPath("large.jpg");
    for (const char* options : {"-resize 2001x1113! -quality 85 -sampling-factor 2x2",
                                "-resize 1999x1201! -quality 92 -sampling-factor 1x1",
                                "-resize 2003x1107! -colorspace Gray -quality 90"}) {
        SCOPED_TRACE(options);
        const std::string command =
            std::string("/usr/bin/convert-im6.q16 '") + LUMACUT_SAMPLE_PHOTO + "' " + options + " '" + jpeg + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command << " (apt-get install imagemagick)";
        RgbPlanes whole, parts;
        std::string error;
        SetRowBandThreads(1);
        ASSERT_TRUE(ReadImageFile(jpeg, whole, error)) << error;
        SetRowBandThreads(2);
        ASSERT_TRUE(ReadImageFile(jpeg, parts, error)) << error;
        SetRowBandThreads(0);
        EXPECT_TRUE(whole.red.SameLevels(parts.red) && whole.green.SameLevels(parts.green) &&
                    whole.blue.SameLevels(parts.blue));
        // Cut short, the second decoder meets the end: refused, as by one.
        std::ifstream in(jpeg, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        bytes.resize(bytes.size() * 9 / 10);
        WriteBytes(jpeg, bytes);
        SetRowBandThreads(2);
        EXPECT_FALSE(ReadImageFile(jpeg, parts, error));
        SetRowBandThreads(0);
    }
    std::remove(jpeg.c_str());
}
#endif

// The filter's vector loops (SSE2, and AVX2 where the CPU has it) against
// the byte loop, on rows that end in every position of a vector and on the
// levels where Paeth's distances need their ninth bit (0, 127, 255) or tie,
// which takes levels a step or two apart: within a narrow range each pair
// of the three distances ties often. Then every choice a vector loop can
// meet: with pixels of 32 bytes its lanes take left, above and above-left
// from separate vectors, so every triple of levels is tried, ties and sums
// past 255 among them.
TEST(ImageFile, PaethResiduesAreTheSameWithAndWithoutVectors) {
    if (!HavePaethResiduesSse2()) GTEST_SKIP() << "this build has no SSE2";
    if (!HavePaethResiduesAvx2()) std::printf("this CPU or build has no AVX2: its loop is the SSE2 one\n");
    using Residues = void (*)(const uint8_t*, const uint8_t*, std::size_t, std::size_t, uint8_t*);
    const std::vector<std::pair<const char*, Residues>> loops = {{"SSE2", PaethResiduesSse2},
                                                                 {"AVX2", PaethResiduesAvx2}};
    const auto narrow = [](unsigned seed, int low) {
        const Plane steps = RandomPlane(311, 1, seed, 4);
        return PlaneOf(311, 1, [&](int x, int) { return static_cast<uint8_t>(low + steps.At(x, 0) / 85); });
    };
    const std::vector<std::pair<Plane, Plane>> lines = {
        {RandomPlane(311, 1, 5, 3), RandomPlane(311, 1, 6, 3)},
        {RandomPlane(311, 1, 7), RandomPlane(311, 1, 8)},
        {narrow(9, 0), narrow(10, 0)},
        {narrow(11, 126), narrow(12, 126)},
    };
    for (const auto& [name, residues] : loops) {
        SCOPED_TRACE(name);
        for (const auto& [above, row] : lines) {
            const uint8_t* up = above.Row(0);
            const uint8_t* here = row.Row(0);
            for (std::size_t step : {1u, 3u})
                for (std::size_t bytes = 1; bytes <= 311; bytes += bytes < 70 ? 1 : 37) {
                    std::vector<uint8_t> scalar(bytes), vector(bytes);
                    PaethResiduesScalar(here, up, bytes, step, scalar.data());
                    residues(here, up, bytes, step, vector.data());
                    ASSERT_EQ(scalar, vector) << bytes << " bytes, " << step << " to a pixel";
                }
        }
        std::vector<uint8_t> row(64, 0), up(64), scalar(64), vector(64);
        for (int left = 0; left < 256; ++left)
            for (int aboveLeft = 0; aboveLeft < 256; ++aboveLeft)
                for (int above = 0; above < 256; above += 32) {
                    for (int lane = 0; lane < 32; ++lane) {
                        row[lane] = static_cast<uint8_t>(left);
                        up[lane] = static_cast<uint8_t>(aboveLeft);
                        up[32 + lane] = static_cast<uint8_t>(above + lane);
                    }
                    PaethResiduesScalar(row.data(), up.data(), 64, 32, scalar.data());
                    residues(row.data(), up.data(), 64, 32, vector.data());
                    ASSERT_EQ(scalar, vector) << "left " << left << ", above-left " << aboveLeft << ", above from "
                                              << above;
                }
    }
}

// The same levels from the native and the Windows decoders: 16-bit samples
// rounded to the nearest 8-bit level (65535 / 255 = 257 apart, so 0x0080 is
// below half a step and 0x0081 above it), transparent pixels put on white.
TEST(ImageFile, RoundsSixteenBitsAndPutsAlphaOnWhite) {
    struct Case {
        std::string file;
        std::vector<std::vector<int>> rgb;  // per pixel of the first row
    };
    // Our own PNM reader scales any maximum to 16 bits and rounds the same way:
    // 500 of 1000 is 32768 of 65535, then level 128.
    const std::string pnm = TempPath("levels.pgm");
    WriteBytes(pnm, {'P', '5', ' ', '2', ' ', '1', ' ', '1', '0', '0', '0', '\n', 0x01, 0xF4, 0x03, 0xE8});
    const std::vector<Case> cases = {
        // red; black at coverage 128: (255 * 127 + 127) / 255 = 127.5 -> 127; blue at coverage 0
        {LUMACUT_TEST_IMAGES "/alpha-8bit.png", {{255, 0, 0}, {127, 127, 127}, {255, 255, 255}}},
        // gray 0x0080 0x0081 0x01C0 0xFFFF
        {LUMACUT_TEST_IMAGES "/levels-16bit.png", {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {255, 255, 255}}},
        // 0x0081 0x01C0 0xFFFF opaque; black at coverage 0x8080 on white is 32639, level 127
        {LUMACUT_TEST_IMAGES "/levels-16bit-alpha.tif", {{1, 2, 255}, {127, 127, 127}}},
        {pnm, {{128, 128, 128}, {255, 255, 255}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        RgbPlanes read;
        std::string error;
        ASSERT_TRUE(ReadImageFile(c.file, read, error)) << error;
        ASSERT_EQ(read.red.Width(), static_cast<int>(c.rgb.size()));
        for (int x = 0; x < read.red.Width(); ++x)
            EXPECT_EQ((std::vector<int>{read.red.At(x, 0), read.green.At(x, 0), read.blue.At(x, 0)}), c.rgb[x])
                << "pixel " << x;
    }
    std::remove(pnm.c_str());
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
