// The logo and the .bmp writer that hands it to the resource compiler.
#include <gtest/gtest.h>

#include "host/pe/ResourceFormats.h"
#include "resources/LogoBitmap.h"

namespace {
uint32_t Le32(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint32_t>(b.at(at)) | static_cast<uint32_t>(b.at(at + 1)) << 8 |
           static_cast<uint32_t>(b.at(at + 2)) << 16 | static_cast<uint32_t>(b.at(at + 3)) << 24;
}
}  // namespace

TEST(Bmp, HeadersDescribeTheRows) {
    struct Case {
        int width, height;
        uint32_t stride;
    } cases[] = {{80, 33, 240}, {1, 1, 4}, {3, 2, 12}, {5, 3, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        LogoImage image{c.width, c.height, std::vector<uint8_t>(static_cast<std::size_t>(c.width * c.height * 3), 7)};
        const std::vector<uint8_t> file = WriteBmp24(image);
        ASSERT_EQ(file.size(), 54 + c.stride * c.height);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(Le32(file, 2), file.size());
        EXPECT_EQ(Le32(file, 10), 54u);
        const BitmapInfo info = ParseBitmapInfo(std::vector<uint8_t>(file.begin() + 14, file.end()));
        EXPECT_EQ(info.headerSize, 40u);
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.planes, 1);
        EXPECT_EQ(info.bitCount, 24);
        EXPECT_EQ(info.compression, 0u);
        EXPECT_EQ(info.imageSize, c.stride * c.height);
        EXPECT_EQ(info.colorsUsed, 0u);
    }
}

TEST(Bmp, RowsRunBottomUpInBlueGreenRedWithZeroPadding) {
    LogoImage image{3, 2, std::vector<uint8_t>(18, 0)};
    image.At(0, 0)[0] = 200;  // red, top left
    image.At(2, 1)[2] = 100;  // blue, bottom right
    const std::vector<uint8_t> file = WriteBmp24(image);
    const std::size_t bottomRow = 54, topRow = 54 + 12;
    EXPECT_EQ(file[bottomRow + 2 * 3 + 0], 100);  // blue byte first
    EXPECT_EQ(file[topRow + 0 + 2], 200);         // red byte last
    for (std::size_t pad = 9; pad < 12; ++pad) {
        EXPECT_EQ(file[bottomRow + pad], 0);
        EXPECT_EQ(file[topRow + pad], 0);
    }
    EXPECT_THROW(WriteBmp24(LogoImage{3, 2, std::vector<uint8_t>(17, 0)}), std::invalid_argument);
    EXPECT_THROW(WriteBmp24(LogoImage{0, 2, {}}), std::invalid_argument);
    // 65536 x 21846 x 3 is 2^32 + 131072: a 32-bit size_t would take these
    // 131072 bytes for the whole image.
    EXPECT_THROW(WriteBmp24(LogoImage{65536, 21846, std::vector<uint8_t>(131072, 0)}), std::invalid_argument);
}

TEST(Logo, IsARampWithOutlinedInitials) {
    const LogoImage logo = DrawLumacutLogo();
    ASSERT_EQ(logo.width, 80);
    ASSERT_EQ(logo.height, 33);
    // The top row is clear of the letters: a ramp from dark to light.
    for (int x = 1; x < logo.width; ++x) EXPECT_GE(logo.At(x, 0)[0], logo.At(x - 1, 0)[0]) << x;
    EXPECT_LT(logo.At(0, 0)[0], 40);
    EXPECT_GT(logo.At(79, 0)[0], 220);
    // White letters, each pixel of them bordered by ink or black outline,
    // never touching the ramp directly.
    int white = 0, black = 0;
    for (int y = 0; y < logo.height; ++y)
        for (int x = 0; x < logo.width; ++x) {
            const uint8_t* p = logo.At(x, y);
            EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << "gray at " << x << "," << y;
            if (p[0] == 255) ++white;
            if (p[0] == 0) ++black;
            if (p[0] != 255) continue;
            for (int dx = -1; dx <= 1; ++dx) {
                const uint8_t n = logo.At(x + dx, y)[0];
                EXPECT_TRUE(n == 255 || n == 0) << "letter touches the ramp at " << x << "," << y;
            }
        }
    // Three 5x7 glyphs of 3x3-pixel cells: Z has 15 cells, Y 10, T 11.
    EXPECT_EQ(white, (15 + 10 + 11) * 9);
    EXPECT_GT(black, white / 2);
}
