// One zlib stream made of blocks deflated apart, so that several cores can
// share one large image: each block is primed with the 32 KB that precede
// it as its dictionary, so it matches across the seam as one deflater
// would, and ends on a sync flush, which leaves it on a byte boundary; only
// the last block ends the stream. The stream's header is written once, and
// its Adler-32 is the blocks' checksums combined.
#ifndef LUMACUT_HOST_ZLIB_BLOCKS_H
#define LUMACUT_HOST_ZLIB_BLOCKS_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include <zlib.h>

// How much of what came before a block deflate can refer to.
constexpr std::size_t kDeflateWindowBytes = 32768;

// How much of it a strategy can use: the whole window for general
// matching, the last byte for run-length matching (a run repeats the byte
// before it), nothing for Huffman coding alone. Priming a block with more
// changes none of its bytes and costs hashing.
std::size_t DeflateReach(int strategy);

class BlockDeflater {
public:
    BlockDeflater(int level, int strategy);
    ~BlockDeflater();
    BlockDeflater(const BlockDeflater&) = delete;
    BlockDeflater& operator=(const BlockDeflater&) = delete;

    bool Ready() const { return ready_; }

    // Appends the raw deflate data of `data` to `out`, as the continuation
    // of `before` (the last DeflateReach bytes are used; empty for the
    // first block).
    // False on a compressor error; `out` may grow (and throw) on the way.
    bool Deflate(const std::vector<uint8_t>& before, const std::vector<uint8_t>& data, bool last,
                 std::vector<uint8_t>& out);

private:
    z_stream stream_{};
    std::size_t reach_;
    bool ready_ = false;
};

// The two bytes that open a zlib stream deflated at `level` with `strategy`
// and a 32 KB window, without a preset dictionary.
void ZlibHeader(int level, int strategy, uint8_t out[2]);

// The Adler-32 of A followed by B, from theirs and B's length.
uint32_t CombinedAdler(uint32_t first, uint32_t second, std::size_t secondBytes);

#endif
