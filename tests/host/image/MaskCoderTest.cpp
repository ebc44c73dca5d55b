// Our deflate coder for masks and its checksum, against zlib's inflate and
// zlib's adler32: random data of every kind a filtered mask row holds, from
// noise to long runs of one level, coded in one piece or several.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "host/image/Adler32.h"
#include "host/image/HuffmanCodes.h"
#include "host/image/RunLengthDeflate.h"

namespace {
// Runs of random lengths, each of one level drawn from `levels` levels
// starting at `low`: noise with runs of 1, flat areas with long ones.
std::vector<uint8_t> RunsOf(std::mt19937& random, std::size_t bytes, int low, int levels, int longestRun) {
    std::uniform_int_distribution<int> level(low, low + levels - 1), run(1, longestRun);
    std::vector<uint8_t> data;
    while (data.size() < bytes) data.insert(data.end(), static_cast<std::size_t>(run(random)), static_cast<uint8_t>(level(random)));
    data.resize(bytes);
    return data;
}

// The pieces coded apart and joined, as the PNG writer joins its blocks,
// through zlib's raw inflate.
std::vector<uint8_t> CodedAndInflated(const std::vector<uint8_t>& data, const std::vector<std::size_t>& cuts) {
    std::vector<uint8_t> stream;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const std::size_t end = i < cuts.size() ? cuts[i] : data.size();
        RunLengthDeflate(data.data() + begin, end - begin, i == cuts.size(), stream);
        begin = end;
    }
    z_stream inflater{};
    EXPECT_EQ(inflateInit2(&inflater, -15), Z_OK);
    std::vector<uint8_t> out(data.size() + 1);
    inflater.next_in = stream.data();
    inflater.avail_in = static_cast<uInt>(stream.size());
    inflater.next_out = out.data();
    inflater.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&inflater, Z_FINISH);
    EXPECT_EQ(status, Z_STREAM_END) << (inflater.msg != nullptr ? inflater.msg : "") << ", coded " << stream.size();
    EXPECT_EQ(inflater.avail_in, 0u) << "bytes after the end of the stream";
    out.resize(out.size() - inflater.avail_out);
    inflateEnd(&inflater);
    return out;
}
}  // namespace

TEST(MaskCoder, InflatesToTheBytesCoded) {
    struct Case {
        const char* what;
        std::size_t bytes;
        int low, levels, longestRun;
    };
    // Runs up to and past the longest match (258) and across the coder's
    // 64 KB blocks; narrow ranges, where every byte equals its neighbour by
    // chance; one level throughout; noise, whose codes use all 256 literals.
    const std::vector<Case> cases = {
        {"one byte", 1, 0, 256, 1},           {"two equal bytes", 2, 7, 1, 2},
        {"noise", 70000, 0, 256, 1},          {"narrow noise", 70000, 126, 3, 1},
        {"short runs", 200000, 0, 4, 6},      {"runs past 258", 300000, 0, 2, 700},
        {"one level", 3 * 65536 + 5, 0, 1, 1}, {"flat areas", 400000, 250, 6, 20000},
    };
    std::mt19937 random(29);
    for (const Case& c : cases) {
        const std::vector<uint8_t> data = RunsOf(random, c.bytes, c.low, c.levels, c.longestRun);
        std::uniform_int_distribution<std::size_t> at(0, c.bytes);
        std::vector<std::size_t> cuts = {at(random), at(random)};
        std::sort(cuts.begin(), cuts.end());
        for (const auto& pieces : {std::vector<std::size_t>{}, cuts, std::vector<std::size_t>{0, c.bytes}}) {
            SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(pieces.size() + 1) + " pieces");
            ASSERT_EQ(CodedAndInflated(data, pieces), data);
        }
    }
    // Counts that grow like Fibonacci's numbers would give the rarest
    // literals codes longer than deflate's 15 bits.
    std::vector<uint8_t> skewed;
    for (int level = 0, a = 1, b = 1; level < 24; ++level, b = a + b, a = b - a)
        for (int i = 0; i < a; ++i) skewed.push_back(static_cast<uint8_t>(level * 10));
    std::shuffle(skewed.begin(), skewed.end(), random);
    EXPECT_EQ(CodedAndInflated(skewed, {}), skewed);
}

TEST(MaskCoder, CodeLengthsStayWithinTheLimitAndFormACompleteCode) {
    std::vector<uint32_t> fibonacci(30);
    for (std::size_t i = 0; i < fibonacci.size(); ++i) fibonacci[i] = i < 2 ? 1 : fibonacci[i - 1] + fibonacci[i - 2];
    for (const auto& counts : {fibonacci, std::vector<uint32_t>{0, 5, 0, 9, 1}, std::vector<uint32_t>(19, 3)}) {
        const std::vector<uint8_t> lengths = HuffmanLengths(counts, 15);
        double kraft = 0;
        for (std::size_t s = 0; s < counts.size(); ++s) {
            EXPECT_EQ(lengths[s] == 0, counts[s] == 0) << "symbol " << s;
            EXPECT_LE(lengths[s], 15);
            if (lengths[s] > 0) kraft += std::ldexp(1.0, -lengths[s]);
        }
        EXPECT_EQ(kraft, 1.0);
    }
    EXPECT_EQ(HuffmanLengths({0, 0, 4}, 7), (std::vector<uint8_t>{0, 0, 1})) << "a lone symbol";
}

TEST(MaskCoder, ChecksumsAsZlibDoes) {
    std::mt19937 random(3);
    const std::vector<uint8_t> data = RunsOf(random, (1 << 20) + 37, 0, 256, 3);
    const std::vector<uint8_t> white(3 * 5552 + 17, 255);  // the largest sums, past the point where zlib reduces them
    for (const std::vector<uint8_t>* bytes : {&data, &white})
        for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{15}, std::size_t{16}, std::size_t{5552},
                                   std::size_t{5553}, std::size_t{40001}, bytes->size() - 1})
            for (std::size_t offset : {std::size_t{0}, std::size_t{1}}) {
                if (offset + length > bytes->size()) continue;
                const uint8_t* from = bytes->data() + offset;
                const auto expected = static_cast<uint32_t>(adler32(7, from, static_cast<uInt>(length)));
                EXPECT_EQ(Adler32(7, from, length), expected) << length << " bytes";
                EXPECT_EQ(Adler32Scalar(7, from, length), expected) << length << " bytes, byte loop";
            }
}
