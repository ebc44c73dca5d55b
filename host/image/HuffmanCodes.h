// Deflate's Huffman codes: the code lengths that suit a block's counts of
// its symbols, within deflate's limits, and the codes those lengths give.
#ifndef LUMACUT_HOST_HUFFMAN_CODES_H
#define LUMACUT_HOST_HUFFMAN_CODES_H

#include <cstdint>
#include <vector>

// The longest code of the literal/length and distance alphabets.
constexpr int kDeflateCodeBits = 15;

// Code lengths for `counts` (zero: a symbol not used), none longer than
// `maxBits`; a lone used symbol gets length 1.
std::vector<uint8_t> HuffmanLengths(const std::vector<uint32_t>& counts, int maxBits);

// The canonical codes of the lengths, bit-reversed so that they go out
// first bit first, as deflate sends them.
std::vector<uint16_t> CanonicalCodes(const std::vector<uint8_t>& lengths);

#endif
