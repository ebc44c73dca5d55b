// A block of filtered rows as the symbols deflate will code: every byte a
// literal, except runs of at least three bytes equal to the byte before
// them, which become matches at distance 1, each as long as it may be.
#ifndef LUMACUT_HOST_RUN_TOKENS_H
#define LUMACUT_HOST_RUN_TOKENS_H

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::size_t kShortestRun = 3, kLongestRun = 258;

// A token is a literal's byte, or kRunToken plus a run's length.
constexpr uint16_t kRunToken = 256;
constexpr std::size_t kTokenKinds = kRunToken + kLongestRun + 1;
// Tokens are stored sixteen at a time: room for this many past the last.
constexpr std::size_t kTokenSlack = 16;

// Keeps its working memory from one block to the next.
class RunTokenizer {
public:
    // The tokens of data[begin, end) into `tokens` (room for end - begin +
    // kTokenSlack); returns their count. A run may repeat the byte before
    // `begin`, never one before `data`; none reaches past `end`.
    std::size_t Tokenize(const uint8_t* data, std::size_t begin, std::size_t end, uint16_t* tokens);

private:
    std::vector<uint64_t> flags_, starts_;
};

#endif
