#include "RunLengthDeflate.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
constexpr int kMaxCodeBits = 15;       // literal/length and distance codes
constexpr int kMaxCodeLengthBits = 7;  // the codes that describe them
constexpr int kLiteralLengthSymbols = 286;
constexpr int kEndOfBlock = 256;
constexpr std::size_t kShortestRun = 3, kLongestRun = 258;

// Each match length's symbol and extra bits.
struct LengthCode {
    uint16_t symbol;
    uint8_t extraBits;
    uint8_t extra;
};

const std::array<LengthCode, kLongestRun + 1>& LengthCodes() {
    static const std::array<LengthCode, kLongestRun + 1> codes = [] {
        static const uint16_t bases[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const uint8_t extraBits[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        std::array<LengthCode, kLongestRun + 1> table{};
        int code = 0;
        for (std::size_t length = kShortestRun; length <= kLongestRun; ++length) {
            // 258 has a symbol of its own, which decoders expect rather than 284's last value.
            while (code + 1 < 29 && bases[code + 1] <= length) ++code;
            table[length] = {static_cast<uint16_t>(257 + code), extraBits[code],
                             static_cast<uint8_t>(length - bases[code])};
        }
        return table;
    }();
    return codes;
}

// Bits out, first bit lowest, as deflate packs them.
class BitWriter {
public:
    explicit BitWriter(uint8_t* out) : out_(out) {}
    void Put(uint32_t bits, int count) {
        pending_ |= static_cast<uint64_t>(bits) << filled_;
        filled_ += count;
        if (filled_ >= 32) {
            for (int i = 0; i < 4; ++i) out_[i] = static_cast<uint8_t>(pending_ >> (8 * i));
            out_ += 4;
            pending_ >>= 32;
            filled_ -= 32;
        }
    }
    // Pads the last byte with zero bits.
    void Align() {
        while (filled_ > 0) {
            *out_++ = static_cast<uint8_t>(pending_);
            pending_ >>= 8;
            filled_ = std::max(0, filled_ - 8);
        }
    }
    uint8_t* End() const { return out_; }

private:
    uint8_t* out_;
    uint64_t pending_ = 0;
    int filled_ = 0;
};

// Canonical codes for the lengths, bit-reversed so that they go out first
// bit first.
std::vector<uint16_t> CanonicalCodes(const std::vector<uint8_t>& lengths) {
    std::array<uint16_t, kMaxCodeBits + 2> count{}, next{};
    for (uint8_t length : lengths) ++count[length];
    count[0] = 0;
    for (int bits = 1, code = 0; bits <= kMaxCodeBits; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = static_cast<uint16_t>(code);
    }
    std::vector<uint16_t> codes(lengths.size(), 0);
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        if (lengths[s] == 0) continue;
        unsigned code = next[lengths[s]]++, reversed = 0;
        for (int b = 0; b < lengths[s]; ++b, code >>= 1) reversed = (reversed << 1) | (code & 1);
        codes[s] = static_cast<uint16_t>(reversed);
    }
    return codes;
}

// Where, at or after `from`, the next run of at least three bytes equal to
// the byte before them starts; `end` when there is none.
std::size_t NextRun(const uint8_t* data, std::size_t from, std::size_t end) {
    std::size_t p = std::max<std::size_t>(from, 1);
#if defined(__SSE2__)
    // Sixteen "equal to the byte before" flags at a time; a run starts
    // where three follow one another, so each step moves on fourteen.
    for (; p + 16 <= end; p += 14) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + p));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + p - 1));
        const unsigned equal = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(here, before)));
        const unsigned three = equal & (equal >> 1) & (equal >> 2) & 0x3FFF;
        if (three != 0) return p + static_cast<std::size_t>(__builtin_ctz(three));
    }
#endif
    for (; p + kShortestRun <= end; ++p)
        if (data[p] == data[p - 1] && data[p + 1] == data[p - 1] && data[p + 2] == data[p - 1]) return p;
    return end;
}

// How many bytes from `p` (at most the longest match) equal the byte before.
std::size_t RunLength(const uint8_t* data, std::size_t p, std::size_t end) {
    const std::size_t limit = std::min(end, p + kLongestRun);
    const uint8_t level = data[p - 1];
    std::size_t q = p;
#if defined(__SSE2__)
    const __m128i splat = _mm_set1_epi8(static_cast<char>(level));
    for (; q + 16 <= limit; q += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + q));
        const unsigned differ = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(here, splat))) & 0xFFFF;
        if (differ != 0) return q + static_cast<std::size_t>(__builtin_ctz(differ)) - p;
    }
#endif
    while (q < limit && data[q] == level) ++q;
    return q - p;
}

struct Run {
    uint32_t at;
    uint32_t length;
};

// The code lengths of one block's two alphabets, run-length coded with
// the code-length alphabet: 16 repeats the last length 3 to 6 times, 17
// and 18 give 3 to 10 and 11 to 138 zeros.
struct LengthSymbol {
    uint8_t symbol, extra;
};

std::vector<LengthSymbol> CodeLengthSymbols(const std::vector<uint8_t>& lengths) {
    std::vector<LengthSymbol> out;
    for (std::size_t i = 0; i < lengths.size();) {
        const uint8_t length = lengths[i];
        std::size_t same = 1;
        while (i + same < lengths.size() && lengths[i + same] == length) ++same;
        i += same;
        if (length == 0) {
            for (; same >= 11; same -= std::min<std::size_t>(same, 138))
                out.push_back({18, static_cast<uint8_t>(std::min<std::size_t>(same, 138) - 11)});
            if (same >= 3) {
                out.push_back({17, static_cast<uint8_t>(same - 3)});
                same = 0;
            }
        } else {
            out.push_back({length, 0});
            --same;
            for (; same >= 3; same -= std::min<std::size_t>(same, 6))
                out.push_back({16, static_cast<uint8_t>(std::min<std::size_t>(same, 6) - 3)});
        }
        for (; same > 0; --same) out.push_back({length, 0});
    }
    return out;
}

// One block with Huffman codes of its own: [begin, end) of `data`, whose
// runs are `runs`.
void WriteBlock(BitWriter& bits, const uint8_t* data, std::size_t begin, std::size_t end, const Run* runs,
                std::size_t runCount, bool final) {
    const auto& lengthCodes = LengthCodes();
    std::vector<uint32_t> counts(kLiteralLengthSymbols, 0);
    {
        std::size_t at = begin;
        for (std::size_t r = 0; r <= runCount; ++r) {
            const std::size_t literalsEnd = r < runCount ? runs[r].at : end;
            for (; at < literalsEnd; ++at) ++counts[data[at]];
            if (r < runCount) {
                ++counts[lengthCodes[runs[r].length].symbol];
                at += runs[r].length;
            }
        }
    }
    counts[kEndOfBlock] = 1;
    const std::vector<uint8_t> lengths = HuffmanLengths(counts, kMaxCodeBits);
    const std::vector<uint16_t> codes = CanonicalCodes(lengths);
    std::size_t literalCodes = kLiteralLengthSymbols;
    while (literalCodes > 257 && lengths[literalCodes - 1] == 0) --literalCodes;

    // Every match is at distance 1: two distance codes of one bit each, a
    // complete code of which the first is sent.
    std::vector<uint8_t> all(lengths.begin(), lengths.begin() + static_cast<std::ptrdiff_t>(literalCodes));
    all.insert(all.end(), {1, 1});
    const std::vector<LengthSymbol> described = CodeLengthSymbols(all);
    std::vector<uint32_t> lengthCounts(19, 0);
    for (const LengthSymbol& s : described) ++lengthCounts[s.symbol];
    // A code of one symbol would be incomplete, which decoders refuse
    // here; a second symbol, never sent, completes it.
    if (std::count_if(lengthCounts.begin(), lengthCounts.end(), [](uint32_t c) { return c > 0; }) < 2)
        ++lengthCounts[lengthCounts[0] == 0 ? 0 : 1];
    const std::vector<uint8_t> lengthLengths = HuffmanLengths(lengthCounts, kMaxCodeLengthBits);
    const std::vector<uint16_t> lengthCodesOut = CanonicalCodes(lengthLengths);
    static const uint8_t order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    int sent = 19;
    while (sent > 4 && lengthLengths[order[sent - 1]] == 0) --sent;

    bits.Put((final ? 1u : 0u) | (2u << 1), 3);
    bits.Put(static_cast<uint32_t>(literalCodes - 257), 5);
    bits.Put(1, 5);  // two distance codes
    bits.Put(static_cast<uint32_t>(sent - 4), 4);
    for (int i = 0; i < sent; ++i) bits.Put(lengthLengths[order[i]], 3);
    for (const LengthSymbol& s : described) {
        bits.Put(lengthCodesOut[s.symbol], lengthLengths[s.symbol]);
        if (s.symbol >= 16) bits.Put(s.extra, s.symbol == 16 ? 2 : s.symbol == 17 ? 3 : 7);
    }

    // A match is its length's code, its extra bits and the distance code's
    // single 0 bit, sent at once.
    std::array<uint32_t, kLongestRun + 1> runBits{};
    std::array<uint8_t, kLongestRun + 1> runBitCount{};
    for (std::size_t length = kShortestRun; length <= kLongestRun; ++length) {
        const LengthCode& code = lengthCodes[length];
        if (lengths[code.symbol] == 0) continue;
        runBits[length] = codes[code.symbol] | (uint32_t{code.extra} << lengths[code.symbol]);
        runBitCount[length] = static_cast<uint8_t>(lengths[code.symbol] + code.extraBits + 1);
    }
    std::size_t at = begin;
    for (std::size_t r = 0; r <= runCount; ++r) {
        const std::size_t literalsEnd = r < runCount ? runs[r].at : end;
        for (; at < literalsEnd; ++at) bits.Put(codes[data[at]], lengths[data[at]]);
        if (r < runCount) {
            bits.Put(runBits[runs[r].length], runBitCount[runs[r].length]);
            at += runs[r].length;
        }
    }
    bits.Put(codes[kEndOfBlock], lengths[kEndOfBlock]);
}
}  // namespace

std::vector<uint8_t> HuffmanLengths(const std::vector<uint32_t>& counts, int maxBits) {
    std::vector<uint8_t> lengths(counts.size(), 0);
    std::vector<uint32_t> used;
    for (std::size_t s = 0; s < counts.size(); ++s)
        if (counts[s] > 0) used.push_back(static_cast<uint32_t>(s));
    if (used.empty()) return lengths;
    if (used.size() == 1) {
        lengths[used[0]] = 1;
        return lengths;
    }
    std::vector<uint64_t> weights(counts.begin(), counts.end());
    for (;;) {
        // Leaves by weight, then the two-queue merge: internal nodes are made
        // in order of weight, so the lightest two are always at a queue's head.
        std::vector<uint32_t> leaves = used;
        std::stable_sort(leaves.begin(), leaves.end(), [&](uint32_t a, uint32_t b) { return weights[a] < weights[b]; });
        const std::size_t n = leaves.size();
        std::vector<uint64_t> nodeWeight(n - 1);
        std::vector<std::size_t> parent(2 * n - 1, 0);  // leaves 0..n-1, then internal nodes
        std::size_t leaf = 0, node = 0;
        for (std::size_t made = 0; made < n - 1; ++made) {
            std::size_t pick[2];
            for (std::size_t& p : pick) {
                if (leaf < n && (node >= made || weights[leaves[leaf]] <= nodeWeight[node]))
                    p = leaf++;
                else
                    p = n + node++;
            }
            nodeWeight[made] = (pick[0] < n ? weights[leaves[pick[0]]] : nodeWeight[pick[0] - n]) +
                               (pick[1] < n ? weights[leaves[pick[1]]] : nodeWeight[pick[1] - n]);
            parent[pick[0]] = parent[pick[1]] = n + made;
        }
        // Depths from the root (the last node made) down.
        std::vector<uint8_t> depth(2 * n - 1, 0);
        int deepest = 0;
        for (std::size_t i = 2 * n - 2; i-- > 0;) {
            depth[i] = static_cast<uint8_t>(depth[parent[i]] + 1);
            if (i < n) deepest = std::max<int>(deepest, depth[i]);
        }
        if (deepest <= maxBits) {
            for (std::size_t i = 0; i < n; ++i) lengths[leaves[i]] = depth[i];
            return lengths;
        }
        // Too deep: flatten the counts and build again; every count reaches 1
        // at last, where the tree is balanced.
        for (uint32_t s : used) weights[s] = (weights[s] + 1) / 2;
    }
}

void RunLengthDeflate(const uint8_t* data, std::size_t bytes, bool last, std::vector<uint8_t>& out) {
    // At most 15 bits a byte and a description per block, plus the flush.
    const std::size_t blocks = std::max<std::size_t>(1, (bytes + kRunLengthBlockBytes - 1) / kRunLengthBlockBytes);
    const std::size_t bound = bytes * 2 + blocks * 512 + 16;
    const std::unique_ptr<uint8_t[]> buffer(new uint8_t[bound]);
    BitWriter bits(buffer.get());
    std::vector<Run> runs;
    if (bytes == 0 && last) bits.Put(1, 3);  // an empty final stored block, completed below
    for (std::size_t begin = 0; begin < bytes; begin += kRunLengthBlockBytes) {
        const std::size_t end = std::min(bytes, begin + kRunLengthBlockBytes);
        runs.clear();
        for (std::size_t at = begin;;) {
            const std::size_t p = NextRun(data, at, end);
            if (p >= end) break;
            const std::size_t length = RunLength(data, p, end);
            runs.push_back({static_cast<uint32_t>(p), static_cast<uint32_t>(length)});
            at = p + length;
        }
        WriteBlock(bits, data, begin, end, runs.data(), runs.size(), last && end == bytes);
    }
    if (!last) bits.Put(0, 3);  // an empty stored block: the sync flush
    bits.Align();
    if (!last || bytes == 0) {
        static const uint8_t emptyStored[4] = {0x00, 0x00, 0xFF, 0xFF};
        std::memcpy(bits.End(), emptyStored, 4);
        out.insert(out.end(), buffer.get(), bits.End() + 4);
    } else {
        out.insert(out.end(), buffer.get(), bits.End());
    }
}
