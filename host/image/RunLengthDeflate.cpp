#include "RunLengthDeflate.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "HuffmanCodes.h"
#include "RunTokens.h"

namespace {
constexpr int kMaxCodeLengthBits = 7;  // the code that describes a block's code lengths
constexpr int kLiteralLengthSymbols = 286;
constexpr int kEndOfBlock = 256;

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

// Bits out, first bit lowest, as deflate packs them. Put only adds bits to
// the pending word; Flush stores all eight of its bytes, whole or not, and
// moves on by the whole ones, so no branch waits on how many there were.
// Up to 56 bits may be put between two flushes, and the output needs eight
// bytes of room past its end.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "words are stored and loaded as deflate orders bits");
class BitWriter {
public:
    explicit BitWriter(uint8_t* out) : out_(out) {}
    void Put(uint64_t bits, int count) {
        pending_ |= bits << filled_;
        filled_ += count;
    }
    void Flush() {
        std::memcpy(out_, &pending_, 8);
        const int whole = filled_ >> 3;
        out_ += whole;
        pending_ >>= 8 * whole;
        filled_ &= 7;
    }
    void PutNow(uint32_t bits, int count) {
        Put(bits, count);
        Flush();
    }
    // Pads the last byte with zero bits.
    void Align() {
        Flush();
        if (filled_ > 0) *out_++ = static_cast<uint8_t>(pending_);
        pending_ = 0;
        filled_ = 0;
    }
    uint8_t* End() const { return out_; }

private:
    uint8_t* out_;
    uint64_t pending_ = 0;
    int filled_ = 0;
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

// A symbol's bits and their count in one word, so that sending it is one
// load: the bits below, the count in the top byte.
constexpr int kCountShift = 24;
uint32_t Packed(uint32_t bits, int count) { return bits | (static_cast<uint32_t>(count) << kCountShift); }
constexpr uint32_t kBitsMask = (uint32_t{1} << kCountShift) - 1;
void PutPacked(BitWriter& bits, uint32_t packed) {
    bits.Put(packed & kBitsMask, static_cast<int>(packed >> kCountShift));
}

// One block with Huffman codes of its own, from its tokens.
void WriteBlock(BitWriter& bits, const uint16_t* tokens, std::size_t count, bool final) {
    const auto& lengthCodes = LengthCodes();
    // Four tallies, tokens in turn, so that a token repeated does not wait
    // on its own count.
    std::array<std::array<uint32_t, kTokenKinds>, 4> tally{};
    std::size_t t = 0;
    for (; t + 4 <= count; t += 4)
        for (std::size_t k = 0; k < 4; ++k) ++tally[k][tokens[t + k]];
    for (; t < count; ++t) ++tally[0][tokens[t]];
    std::vector<uint32_t> counts(kLiteralLengthSymbols, 0);
    for (std::size_t kind = 0; kind < kTokenKinds; ++kind) {
        const uint32_t seen = tally[0][kind] + tally[1][kind] + tally[2][kind] + tally[3][kind];
        if (seen > 0) counts[kind < kRunToken ? kind : lengthCodes[kind - kRunToken].symbol] += seen;
    }
    counts[kEndOfBlock] = 1;
    const std::vector<uint8_t> lengths = HuffmanLengths(counts, kDeflateCodeBits);
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

    bits.PutNow((final ? 1u : 0u) | (2u << 1), 3);
    bits.PutNow(static_cast<uint32_t>(literalCodes - 257), 5);
    bits.PutNow(1, 5);  // two distance codes
    bits.PutNow(static_cast<uint32_t>(sent - 4), 4);
    for (int i = 0; i < sent; ++i) bits.PutNow(lengthLengths[order[i]], 3);
    for (const LengthSymbol& s : described) {
        bits.PutNow(lengthCodesOut[s.symbol], lengthLengths[s.symbol]);
        if (s.symbol >= 16) bits.PutNow(s.extra, s.symbol == 16 ? 2 : s.symbol == 17 ? 3 : 7);
    }

    // A match is its length's code, its extra bits and the distance code's
    // single 0 bit, sent at once: at most 21 bits, so two tokens fit
    // between flushes.
    std::array<uint32_t, kTokenKinds> packed{};
    for (std::size_t s = 0; s < kRunToken; ++s) packed[s] = Packed(codes[s], lengths[s]);
    for (std::size_t length = kShortestRun; length <= kLongestRun; ++length) {
        const LengthCode& code = lengthCodes[length];
        if (lengths[code.symbol] == 0) continue;
        packed[kRunToken + length] = Packed(codes[code.symbol] | (uint32_t{code.extra} << lengths[code.symbol]),
                                            lengths[code.symbol] + code.extraBits + 1);
    }
    // A copy of the writer whose address is not shared: the compiler may
    // then keep it in registers while the output bytes are stored.
    BitWriter out = bits;
    for (t = 0; t + 2 <= count; t += 2) {
        // The pair joined first, so the writer's state waits on one shift.
        const uint32_t first = packed[tokens[t]], second = packed[tokens[t + 1]];
        const int firstCount = static_cast<int>(first >> kCountShift);
        out.Put((first & kBitsMask) | (uint64_t{second & kBitsMask} << firstCount),
                firstCount + static_cast<int>(second >> kCountShift));
        out.Flush();
    }
    if (t < count) PutPacked(out, packed[tokens[t]]);
    out.PutNow(codes[kEndOfBlock], lengths[kEndOfBlock]);
    bits = out;
}
}  // namespace

namespace {
// What a call needs besides its output, kept by each thread from one call to
// the next: a fresh megabyte for every piece of a mask would be a new
// mapping each time, and each of its pages a fault.
struct CoderScratch {
    std::unique_ptr<uint8_t[]> coded;
    std::size_t codedSize = 0;
    std::vector<uint16_t> tokens;
    RunTokenizer tokenizer;

    uint8_t* Coded(std::size_t bytes) {
        if (codedSize < bytes) {
            coded.reset();
            codedSize = 0;
            coded.reset(new uint8_t[bytes]);
            codedSize = bytes;
        }
        return coded.get();
    }
};

CoderScratch& ThreadScratch() {
    thread_local CoderScratch scratch;
    return scratch;
}
}  // namespace

void RunLengthDeflate(const uint8_t* data, std::size_t bytes, bool last, std::vector<uint8_t>& out) {
    // At most 15 bits a byte and a description per block, plus the flush
    // and the eight bytes a flush stores past the end.
    const std::size_t blocks = std::max<std::size_t>(1, (bytes + kRunLengthBlockBytes - 1) / kRunLengthBlockBytes);
    const std::size_t bound = bytes * 2 + blocks * 512 + 32;
    CoderScratch& scratch = ThreadScratch();
    uint8_t* const buffer = scratch.Coded(bound);
    BitWriter bits(buffer);
    RunTokenizer& tokenizer = scratch.tokenizer;
    std::vector<uint16_t>& tokens = scratch.tokens;
    const std::size_t tokenRoom = std::min(bytes, kRunLengthBlockBytes) + kTokenSlack;
    if (tokens.size() < tokenRoom) tokens.resize(tokenRoom);
    if (bytes == 0 && last) bits.PutNow(1, 3);  // an empty final stored block, completed below
    for (std::size_t begin = 0; begin < bytes; begin += kRunLengthBlockBytes) {
        const std::size_t end = std::min(bytes, begin + kRunLengthBlockBytes);
        const std::size_t count = tokenizer.Tokenize(data, begin, end, tokens.data());
        WriteBlock(bits, tokens.data(), count, last && end == bytes);
    }
    if (!last) bits.PutNow(0, 3);  // an empty stored block: the sync flush
    bits.Align();
    if (!last || bytes == 0) {
        static const uint8_t emptyStored[4] = {0x00, 0x00, 0xFF, 0xFF};
        std::memcpy(bits.End(), emptyStored, 4);
        out.insert(out.end(), buffer, bits.End() + 4);
    } else {
        out.insert(out.end(), buffer, bits.End());
    }
}
