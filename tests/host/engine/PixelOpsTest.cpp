// The pixel passes against the plain references, on the sizes where
// vector chunks, padding and thread bands have their edges.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/EngineReference.h"
#include "host/engine/PixelOps.h"
#include "host/engine/RowBands.h"
#include "host/engine/WideVectors.h"

namespace {
// Restores the machine's thread count however a test ends.
struct ThreadCount {
    explicit ThreadCount(unsigned threads) { SetRowBandThreads(threads); }
    ~ThreadCount() { SetRowBandThreads(0); }
};

// Holds the passes to their 16-byte paths (wide = false) however a test
// ends; on a processor without the wide ones both settings take that path.
struct VectorWidth {
    explicit VectorWidth(bool wide) { AllowWideVectors(wide); }
    ~VectorWidth() { AllowWideVectors(true); }
};

struct Size {
    int width, height;
};

// 1-pixel images, widths around the 16-pixel chunks, and images large
// enough to be split between threads.
const std::vector<Size> kSizes = {{1, 1},  {1, 9},  {9, 1},   {2, 2},   {3, 3},    {15, 4},   {16, 5},
                                  {17, 6}, {31, 3}, {33, 33}, {300, 7}, {700, 401}, {401, 700}};

std::string Describe(Size size, unsigned threads) {
    return std::to_string(size.width) + "x" + std::to_string(size.height) + " on " + std::to_string(threads) +
           " thread(s)";
}

TEST(Median3x3, EqualsSortingTheNineNeighbours) {
    unsigned seed = 1;
    for (bool wide : {true, false}) {
        VectorWidth width(wide);
        for (unsigned threads : {1u, 3u}) {
            ThreadCount count(threads);
            for (Size size : kSizes) {
                // Few levels make many ties, where a network is most easily wrong.
                for (int levels : {256, 3}) {
                    const Plane input = RandomPlane(size.width, size.height, seed++, levels);
                    const Plane copy = PlaneOf(size.width, size.height, [&](int x, int y) { return input.At(x, y); });
                    const Plane median = Median3x3(input, 0);
                    EXPECT_TRUE(median.SameLevels(ReferenceMedian(input))) << Describe(size, threads) << wide;
                    EXPECT_TRUE(input.SameLevels(copy)) << "the source is left as it was";
                }
            }
        }
    }
}

TEST(Median3x3, ThresholdKeepsPixelsCloseToTheMedian) {
    // Wider than one wide vector, so that both paths take their whole vectors and a tail.
    const Plane input = RandomPlane(145, 23, 7);
    for (bool wide : {true, false}) {
        VectorWidth width(wide);
        for (int threshold : {0, 1, 20, 128, 255})
            EXPECT_TRUE(Median3x3(input, threshold).SameLevels(ReferenceMedian(input, threshold))) << threshold << wide;
    }
    EXPECT_TRUE(Median3x3(input, 255).SameLevels(input)) << "nothing differs by more than 255";
}

TEST(Median3x3, RemovesAnIsolatedSpeckAndKeepsAnEdge) {
    // A hand-made case: a white dot in black vanishes, a straight edge stays put.
    Plane dot(5, 5, 0);
    dot.MutableRow(2)[2] = 255;
    EXPECT_TRUE(Median3x3(dot, 0).SameLevels(Plane(5, 5, 0)));
    const Plane edge = PlaneOf(6, 4, [](int x, int) { return static_cast<uint8_t>(x < 3 ? 10 : 200); });
    EXPECT_TRUE(Median3x3(edge, 0).SameLevels(edge));
}

TEST(Luminosity, WeightsOfPureColoursAndGrays) {
    struct Colour {
        int r, g, b, luma;
    };
    const std::vector<Colour> colours = {
        {255, 0, 0, 77},  // 76.5, a half rounds up
        {0, 255, 0, 150}, // 150.45
        {0, 0, 255, 28},  // 28.05
        {0, 0, 0, 0},      {255, 255, 255, 255}, {128, 128, 128, 128}, {1, 1, 1, 1},
        {1, 0, 0, 0},      // 0.30
        {2, 0, 0, 1},      // 0.60
        {5, 0, 0, 2},      // 1.50 rounds up
        {0, 0, 4, 0},      // 0.44
        {0, 0, 5, 1},      // 0.55
        {10, 20, 30, 18},  // 3 + 11.8 + 3.3 = 18.1
    };
    for (const Colour& c : colours) {
        // Long enough for the vector body and the tail to both see the colour.
        const Plane luma = Luminosity(Plane(37, 3, static_cast<uint8_t>(c.r)), Plane(37, 3, static_cast<uint8_t>(c.g)),
                                      Plane(37, 3, static_cast<uint8_t>(c.b)));
        EXPECT_TRUE(luma.SameLevels(Plane(37, 3, static_cast<uint8_t>(c.luma))))
            << c.r << "," << c.g << "," << c.b << " gave " << int(luma.At(0, 0)) << " and " << int(luma.At(36, 2));
    }
}

TEST(Luminosity, EveryColourRoundsCorrectly) {
    // All 2^24 colours, one per pixel of a 4096 x 4096 image.
    const int side = 4096;
    Plane red(side, side), green(side, side), blue(side, side);
    uint8_t* r = red.MutableData();
    uint8_t* g = green.MutableData();
    uint8_t* b = blue.MutableData();
    for (uint32_t i = 0; i < (1u << 24); ++i) {
        r[i] = static_cast<uint8_t>(i >> 16);
        g[i] = static_cast<uint8_t>(i >> 8);
        b[i] = static_cast<uint8_t>(i);
    }
    const Plane luma = Luminosity(red, green, blue);
    int wrong = 0;
    for (uint32_t i = 0; i < (1u << 24); ++i)
        if (luma.Data()[i] != ReferenceLuma(r[i], g[i], b[i]) && ++wrong <= 5)
            ADD_FAILURE() << "colour " << (i >> 16) << "," << ((i >> 8) & 255) << "," << (i & 255);
    EXPECT_EQ(wrong, 0);
}

TEST(LevelPasses, InvertAndTableOnSharedPlanes) {
    for (Size size : kSizes) {
        const Plane input = RandomPlane(size.width, size.height, 99);
        Plane inverted = input;  // shares the pixels until written
        InvertLevels(inverted);
        EXPECT_TRUE(inverted.SameLevels(ReferenceTable(input, InvertedLevels()))) << Describe(size, 0);
        EXPECT_FALSE(inverted.SharesPixelsWith(input));
        EXPECT_TRUE(input.SameLevels(RandomPlane(size.width, size.height, 99))) << "copy on write left the source";

        // A smooth table, and one that scatters every level, so that a
        // lookup taking the wrong half or lane cannot match by luck.
        LevelTable squares{}, scattered{};
        for (int v = 0; v < 256; ++v) {
            squares[v] = static_cast<uint8_t>(v * v / 255);
            scattered[v] = static_cast<uint8_t>(v * 167 + 13);
        }
        for (const LevelTable& table : {squares, scattered})
            for (bool wide : {true, false}) {
                VectorWidth width(wide);
                Plane shaped = input;
                ApplyLevelTable(shaped, table);
                EXPECT_TRUE(shaped.SameLevels(ReferenceTable(input, table))) << Describe(size, 0);
                EXPECT_TRUE(input.SameLevels(RandomPlane(size.width, size.height, 99))) << "the table left the source";
            }
    }
}

TEST(Planes, RefuseSizesNoProcessCanHold) {
    for (Size size : std::vector<Size>{{0, 5}, {5, 0}, {-1, 5}, {kMaxSide + 1, 1}, {kMaxSide, kMaxSide}})
        EXPECT_THROW(Plane(size.width, size.height), std::length_error) << size.width << "x" << size.height;
    // The edges of the area limit, asked without allocating the 256 MB.
    constexpr int kTallest = static_cast<int>(kMaxArea / kMaxSide);
    EXPECT_TRUE(PlaneSizeAccepted(kMaxSide, kTallest));
    EXPECT_FALSE(PlaneSizeAccepted(kMaxSide, kTallest + 1));
    EXPECT_FALSE(PlaneSizeAccepted(kTallest + 1, kMaxSide));
}
}  // namespace
