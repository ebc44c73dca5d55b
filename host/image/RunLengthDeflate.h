// A deflate coder made for filtered mask rows. Masks are smooth or flat
// over large areas, so their filtered rows are long runs of one residue
// between stretches of small ones: this coder sends every byte as a
// literal except runs, which become matches at distance 1, and codes them
// with Huffman codes counted on the data itself, one set per stretch of
// about 64 KB. That is what zlib's run-length strategy finds too, without
// its hash chains and general matcher, so it costs a fraction of the time
// for files of about the same size, in zlib's stream format, which every
// PNG reader reads.
#ifndef LUMACUT_HOST_RUN_LENGTH_DEFLATE_H
#define LUMACUT_HOST_RUN_LENGTH_DEFLATE_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Bytes per deflate block, each with Huffman codes of its own: small
// enough that the codes follow the image, large enough that the codes'
// description (about 80 bytes) costs little.
constexpr std::size_t kRunLengthBlockBytes = 64 * 1024;

// Appends the raw deflate data of `bytes` bytes to `out`. Unless `last`,
// the data ends on a byte boundary with an empty stored block (a sync
// flush), so that pieces coded apart can be joined; the last piece ends the
// stream. Matches never reach before `data`. `out` may grow and throw.
void RunLengthDeflate(const uint8_t* data, std::size_t bytes, bool last, std::vector<uint8_t>& out);

#endif
