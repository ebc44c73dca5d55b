// The image data of a PNG: its rows filtered and deflated in blocks of rows
// that every core shares (ZlibBlocks.h), so one large mask no longer waits
// on one core. Blocks depend on the image's size only, never on the number
// of threads, so a file has the same bytes on every machine.
#ifndef LUMACUT_HOST_PNG_DEFLATE_H
#define LUMACUT_HOST_PNG_DEFLATE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "PngFilter.h"

// What codes the filtered rows: zlib, at the level and with the strategy
// given, or our coder for masks (RunLengthDeflate.h), which takes neither.
enum class PngCoder { Zlib, RunLength };

struct PngSettings {
    int level;     // zlib's 0 to 9
    int strategy;  // Z_DEFAULT_STRATEGY, Z_FILTERED, Z_RLE, ...
    PngFilter filter;
    PngCoder coder = PngCoder::Zlib;
};

struct PngRows {
    int width;
    int height;
    int pixelBytes;
    std::function<const uint8_t*(int)> rowAt;  // row y's bytes
};

// Where the time went: CPU time, summed over the threads that wrote, so a
// benchmark can show it per stage.
struct PngTimes {
    double filterSeconds = 0;
    double deflateSeconds = 0;
};

// The zlib stream of the rows, in pieces to be written in order (one IDAT
// chunk each). False with the reason when the compressor fails or memory
// runs out.
bool DeflatePngRows(const PngRows& rows, const PngSettings& settings, std::vector<std::vector<uint8_t>>& pieces,
                    PngTimes& times, std::string& why);

// Rows per block: about this many bytes of filtered rows, at least one row.
int PngBlockRows(int width, int pixelBytes);
constexpr std::size_t kPngBlockBytes = 512 * 1024;

#endif
