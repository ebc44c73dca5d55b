#include "ZlibBlocks.h"

#include <algorithm>

std::size_t DeflateReach(int strategy) {
    if (strategy == Z_HUFFMAN_ONLY) return 0;
    return strategy == Z_RLE ? 1 : kDeflateWindowBytes;
}

BlockDeflater::BlockDeflater(int level, int strategy) : reach_(DeflateReach(strategy)) {
    stream_.zalloc = Z_NULL;
    stream_.zfree = Z_NULL;
    stream_.opaque = Z_NULL;
    // Negative window bits: raw deflate data, the zlib frame is ours.
    ready_ = deflateInit2(&stream_, level, Z_DEFLATED, -15, 8, strategy) == Z_OK;
}

BlockDeflater::~BlockDeflater() {
    if (ready_) deflateEnd(&stream_);
}

bool BlockDeflater::Deflate(const std::vector<uint8_t>& before, const std::vector<uint8_t>& data, bool last,
                            std::vector<uint8_t>& out) {
    if (!ready_ || deflateReset(&stream_) != Z_OK) return false;
    const std::size_t primed = std::min(before.size(), reach_);
    if (primed > 0) {
        if (deflateSetDictionary(&stream_, before.data() + before.size() - primed, static_cast<uInt>(primed)) != Z_OK)
            return false;
    }
    stream_.next_in = const_cast<Bytef*>(data.data());
    stream_.avail_in = static_cast<uInt>(data.size());
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    // Masks shrink about fifty times: room for a sixty-fourth, then more as
    // needed, so that the blocks of a mask waiting to be written stay small.
    std::size_t room = std::max<std::size_t>(data.size() / 64, 4096);
    for (;;) {
        const std::size_t used = out.size();
        out.resize(used + room);
        stream_.next_out = out.data() + used;
        stream_.avail_out = static_cast<uInt>(room);
        const int status = deflate(&stream_, flush);
        out.resize(out.size() - stream_.avail_out);
        if (status == Z_STREAM_ERROR) return false;
        // A flush is complete when deflate leaves output room unused.
        if (last ? status == Z_STREAM_END : stream_.avail_in == 0 && stream_.avail_out > 0) return true;
        room = std::max<std::size_t>(2 * room, 65536);
    }
}

void ZlibHeader(int level, int strategy, uint8_t out[2]) {
    // As zlib writes it: compression method 8 with a 32 KB window, a hint
    // of the level, and a check making the pair a multiple of 31.
    const int hint = strategy >= Z_HUFFMAN_ONLY || level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    unsigned header = (0x78u << 8) | (static_cast<unsigned>(hint) << 6);
    header += 31 - header % 31;
    out[0] = static_cast<uint8_t>(header >> 8);
    out[1] = static_cast<uint8_t>(header & 0xFF);
}

uint32_t CombinedAdler(uint32_t first, uint32_t second, std::size_t secondBytes) {
    return static_cast<uint32_t>(adler32_combine(first, second, static_cast<z_off_t>(secondBytes)));
}
