#include "PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
constexpr uint8_t kGray = 0;
constexpr uint8_t kRgb = 2;
// Large enough that chunk headers and write calls cost nothing.
constexpr std::size_t kChunkBytes = 256 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

void PutBigEndian(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value >> 24);
    out[1] = static_cast<uint8_t>(value >> 16);
    out[2] = static_cast<uint8_t>(value >> 8);
    out[3] = static_cast<uint8_t>(value);
}

bool WriteChunk(std::FILE* file, const char* type, const uint8_t* data, std::size_t size) {
    uint8_t head[8];
    PutBigEndian(head, static_cast<uint32_t>(size));
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32(0L, head + 4, 4);
    if (size > 0) crc = crc32(crc, data, static_cast<uInt>(size));
    uint8_t tail[4];
    PutBigEndian(tail, static_cast<uint32_t>(crc));
    return std::fwrite(head, 1, 8, file) == 8 && (size == 0 || std::fwrite(data, 1, size, file) == size) &&
           std::fwrite(tail, 1, 4, file) == 4;
}

// The image is compressed before the file is opened: a compressor's
// failure then leaves no file to clean up, and writing is one burst.
bool WritePng(const std::string& path, const PngRows& rows, uint8_t colourType, const PngSettings& settings,
              PngTimes* times, std::string& error) {
    std::vector<std::vector<uint8_t>> pieces;
    PngTimes spent;
    std::string why;
    if (!DeflatePngRows(rows, settings, pieces, spent, why)) {
        error = path + ": " + why;
        return false;
    }
    if (times != nullptr) {
        times->filterSeconds += spent.filterSeconds;
        times->deflateSeconds += spent.deflateSeconds;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) {
        error = path + ": cannot write the file: " + std::strerror(errno);
        return false;
    }
    errno = 0;
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    uint8_t header[13] = {};
    PutBigEndian(header, static_cast<uint32_t>(rows.width));
    PutBigEndian(header + 4, static_cast<uint32_t>(rows.height));
    header[8] = 8;  // bits per sample
    header[9] = colourType;
    bool good = std::fwrite(signature, 1, sizeof signature, file.get()) == sizeof signature &&
                WriteChunk(file.get(), "IHDR", header, sizeof header);
    for (const std::vector<uint8_t>& piece : pieces) {
        // Chunks of a bounded size, whatever a block deflated to.
        for (std::size_t at = 0; good && at < piece.size(); at += kChunkBytes)
            good = WriteChunk(file.get(), "IDAT", piece.data() + at, std::min(kChunkBytes, piece.size() - at));
    }
    good = good && WriteChunk(file.get(), "IEND", nullptr, 0);
    // Buffered bytes meet a full disk only when flushed.
    std::FILE* closing = file.release();
    good = std::fclose(closing) == 0 && good;
    if (!good) error = path + ": cannot write the file: " + (errno != 0 ? std::strerror(errno) : "write error");
    return good;
}

}  // namespace

// Our coder sends what zlib's run-length matching finds; the level and
// strategy only name, in the stream's header, the fastest kind of stream.
PngSettings MaskPngSettings() { return {1, Z_RLE, PngFilter::Paeth, PngCoder::RunLength}; }

bool WriteGrayPng(const std::string& path, const Plane& plane, std::string& error, const PngSettings& settings,
                  PngTimes* times) {
    if (plane.Empty()) {
        error = path + ": nothing to write";
        return false;
    }
    const PngRows rows{plane.Width(), plane.Height(), 1, [&](int y) { return plane.Row(y); }};
    return WritePng(path, rows, kGray, settings, times, error);
}

bool WriteRgbPng(const std::string& path, const RgbImage& image, std::string& error, const PngSettings& settings,
                 PngTimes* times) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height) * 3) {
        error = path + ": the image has no valid size";
        return false;
    }
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    const PngRows rows{image.width, image.height, 3, [&](int y) { return image.pixels.data() + y * stride; }};
    return WritePng(path, rows, kRgb, settings, times, error);
}
