#include "RunTokens.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// A bit per byte of the block, 64 a word, set where the byte equals the one
// before it (never for the first byte of the data), then a zero word: runs
// and the gaps between them are found in these, many bytes a step.
void EqualFlags(const uint8_t* data, std::size_t begin, std::size_t end, std::vector<uint64_t>& flags) {
    const std::size_t bytes = end - begin;
    flags.assign(bytes / 64 + 2, 0);
    const uint8_t* block = data + begin;
    std::size_t i = 0;
    const auto scalarTo = [&](std::size_t until) {
        for (; i < until; ++i)
            if (begin + i > 0 && block[i] == block[i - 1]) flags[i / 64] |= uint64_t{1} << (i % 64);
    };
#if defined(__SSE2__)
    const auto equal16 = [&](std::size_t at) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + at));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + at - 1));
        return uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(here, before)))};
    };
    if (begin == 0) scalarTo(std::min<std::size_t>(bytes, 64));  // the first byte has nothing before it to load
    for (; i + 64 <= bytes; i += 64)
        flags[i / 64] = equal16(i) | equal16(i + 16) << 16 | equal16(i + 32) << 32 | equal16(i + 48) << 48;
#endif
    scalarTo(bytes);
}

// Where runs may start: three equal flags in a row, the later two
// possibly in the next word.
void RunStarts(const std::vector<uint64_t>& flags, std::vector<uint64_t>& starts) {
    starts.assign(flags.size(), 0);
    for (std::size_t w = 0; w + 1 < flags.size(); ++w) {
        const uint64_t here = flags[w], next = flags[w + 1];
        starts[w] = here & ((here >> 1) | (next << 63)) & ((here >> 2) | (next << 62));
    }
}

// The bits from bit `i` on: 57 of them, whatever `i` is, from one load, so
// that a run or a gap shorter than that is found without a loop. Bits past
// the words' end must not be asked for.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "bit i of the words is bit i % 8 of byte i / 8");
constexpr int kBitsAtOnce = 57;
uint64_t BitsFrom(const std::vector<uint64_t>& words, std::size_t i) {
    uint64_t bits;
    std::memcpy(&bits, reinterpret_cast<const uint8_t*>(words.data()) + i / 8, 8);
    return (bits >> (i % 8)) & ((uint64_t{1} << kBitsAtOnce) - 1);
}

// Literals are copied sixteen at a time, whatever the gap before the next
// run, so that the loop hardly ever branches on the data.
void AppendLiterals(const uint8_t* block, std::size_t from, std::size_t to, std::size_t bytes, uint16_t* tokens,
                    std::size_t& count) {
#if defined(__SSE2__)
    while (from < to && from + 16 <= bytes) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + from));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(tokens + count), _mm_unpacklo_epi8(x, _mm_setzero_si128()));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(tokens + count + 8), _mm_unpackhi_epi8(x, _mm_setzero_si128()));
        const std::size_t copied = std::min<std::size_t>(16, to - from);
        count += copied;
        from += copied;
    }
#endif
    for (; from < to; ++from) tokens[count++] = block[from];
}

}  // namespace

// The flags (and the starts made of them) are zero past the block, so
// every run starts and stops inside it.
std::size_t RunTokenizer::Tokenize(const uint8_t* data, std::size_t begin, std::size_t end, uint16_t* tokens) {
    EqualFlags(data, begin, end, flags_);
    RunStarts(flags_, starts_);
    const uint8_t* block = data + begin;
    const std::size_t bytes = end - begin;
    std::size_t count = 0;
    constexpr uint64_t kAllAtOnce = (uint64_t{1} << kBitsAtOnce) - 1;
    for (std::size_t i = 0;;) {
        // The next start, and the flags from the same place, loaded together.
        std::size_t window = i;
        uint64_t starts = BitsFrom(starts_, window), equal = BitsFrom(flags_, window);
        while (starts == 0 && window + kBitsAtOnce < bytes) {
            window += kBitsAtOnce;
            starts = BitsFrom(starts_, window);
            equal = BitsFrom(flags_, window);
        }
        if (starts == 0) {
            AppendLiterals(block, i, bytes, bytes, tokens, count);
            return count;
        }
        const int offset = __builtin_ctzll(starts);
        const std::size_t start = window + static_cast<std::size_t>(offset);
        AppendLiterals(block, i, start, bytes, tokens, count);
        // The run ends at the first byte that differs, or at the longest
        // match; mostly within the flags already loaded.
        const std::size_t limit = std::min(bytes, start + kLongestRun);
        const uint64_t differ = ~(equal >> offset) & (kAllAtOnce >> offset);
        std::size_t stop = start + static_cast<std::size_t>(__builtin_ctzll(differ | ~(kAllAtOnce >> offset)));
        if (differ == 0) {
            // Longer than the window: on from its end.
            while (stop < limit) {
                const uint64_t further = ~BitsFrom(flags_, stop) & kAllAtOnce;
                if (further != 0) {
                    stop += static_cast<std::size_t>(__builtin_ctzll(further));
                    break;
                }
                stop += kBitsAtOnce;
            }
        }
        stop = std::min(stop, limit);
        tokens[count++] = static_cast<uint16_t>(kRunToken + (stop - start));
        i = stop;
    }
}
