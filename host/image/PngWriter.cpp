#include "PngWriter.h"

#include <zlib.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {
constexpr uint8_t kGray = 0;
constexpr uint8_t kRgb = 2;
// Large enough that chunk headers and write calls cost nothing, small
// enough that eight writers at once stay modest on a 32-bit host.
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

uint8_t Paeth(int left, int above, int aboveLeft) {
    const int estimate = left + above - aboveLeft;
    const int toLeft = std::abs(estimate - left), toAbove = std::abs(estimate - above),
              toAboveLeft = std::abs(estimate - aboveLeft);
    if (toLeft <= toAbove && toLeft <= toAboveLeft) return static_cast<uint8_t>(left);
    return static_cast<uint8_t>(toAbove <= toAboveLeft ? above : aboveLeft);
}

// One filtered row: the filter's type byte, then the row's bytes minus
// their prediction. `above` is a row of zeros for the first row, and bytes
// left of the row count as zero, as PNG decoders assume. One loop per
// filter: the choice is made per row, not per byte.
void FilterRow(PngFilter filter, const uint8_t* row, const uint8_t* above, std::size_t bytes, std::size_t step,
               uint8_t* out) {
    out[0] = static_cast<uint8_t>(filter);
    uint8_t* to = out + 1;
    const std::size_t first = step < bytes ? step : bytes;  // the bytes with nothing to their left
    switch (filter) {
        case PngFilter::Sub:
            std::memcpy(to, row, first);
            for (std::size_t i = first; i < bytes; ++i) to[i] = static_cast<uint8_t>(row[i] - row[i - step]);
            break;
        case PngFilter::Up:
            for (std::size_t i = 0; i < bytes; ++i) to[i] = static_cast<uint8_t>(row[i] - above[i]);
            break;
        case PngFilter::Average:
            for (std::size_t i = 0; i < first; ++i) to[i] = static_cast<uint8_t>(row[i] - above[i] / 2);
            for (std::size_t i = first; i < bytes; ++i)
                to[i] = static_cast<uint8_t>(row[i] - (row[i - step] + above[i]) / 2);
            break;
        case PngFilter::Paeth:
            for (std::size_t i = 0; i < first; ++i) to[i] = static_cast<uint8_t>(row[i] - above[i]);
            for (std::size_t i = first; i < bytes; ++i)
                to[i] = static_cast<uint8_t>(row[i] - Paeth(row[i - step], above[i], above[i - step]));
            break;
        default:
            std::memcpy(to, row, bytes);
            break;
    }
}

unsigned long long Magnitude(const uint8_t* filtered, std::size_t bytes) {
    unsigned long long sum = 0;
    for (std::size_t i = 0; i < bytes; ++i) sum += filtered[i] < 128 ? filtered[i] : 256 - filtered[i];
    return sum;
}

class PngStream {
public:
    PngStream(std::FILE* file, const PngSettings& settings) : file_(file), buffer_(kChunkBytes) {
        stream_.zalloc = Z_NULL;
        stream_.zfree = Z_NULL;
        stream_.opaque = Z_NULL;
        ready_ = deflateInit2(&stream_, settings.level, Z_DEFLATED, 15, 8, settings.strategy) == Z_OK;
    }
    ~PngStream() {
        if (ready_) deflateEnd(&stream_);
    }
    PngStream(const PngStream&) = delete;
    PngStream& operator=(const PngStream&) = delete;

    bool Ready() const { return ready_; }

    bool Chunk(const char* type, const uint8_t* data, std::size_t size) {
        uint8_t head[8];
        PutBigEndian(head, static_cast<uint32_t>(size));
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0L, head + 4, 4);
        if (size > 0) crc = crc32(crc, data, static_cast<uInt>(size));
        uint8_t tail[4];
        PutBigEndian(tail, static_cast<uint32_t>(crc));
        return std::fwrite(head, 1, 8, file_) == 8 && (size == 0 || std::fwrite(data, 1, size, file_) == size) &&
               std::fwrite(tail, 1, 4, file_) == 4;
    }

    // Deflates `size` bytes; IDAT chunks leave whenever the buffer is full,
    // and the rest when `last` ends the stream.
    bool Compress(const uint8_t* data, std::size_t size, bool last) {
        stream_.next_in = const_cast<Bytef*>(data);
        stream_.avail_in = static_cast<uInt>(size);
        const int flush = last ? Z_FINISH : Z_NO_FLUSH;
        for (;;) {
            stream_.next_out = buffer_.data() + pending_;
            stream_.avail_out = static_cast<uInt>(buffer_.size() - pending_);
            const int status = deflate(&stream_, flush);
            if (status == Z_STREAM_ERROR) return false;
            pending_ = buffer_.size() - stream_.avail_out;
            if (pending_ == buffer_.size() || (last && status == Z_STREAM_END)) {
                if (pending_ > 0 && !Chunk("IDAT", buffer_.data(), pending_)) return false;
                pending_ = 0;
            }
            if (last ? status == Z_STREAM_END : stream_.avail_in == 0 && stream_.avail_out > 0) return true;
        }
    }

private:
    std::FILE* file_;
    z_stream stream_{};
    bool ready_ = false;
    std::vector<uint8_t> buffer_;
    std::size_t pending_ = 0;
};

// `rowAt(y)` gives row y's bytes, `pixelBytes` to a pixel.
template <typename RowAt>
bool WritePng(const std::string& path, int width, int height, uint8_t colourType, int pixelBytes, RowAt rowAt,
              const PngSettings& settings, std::string& error) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) {
        error = path + ": cannot write the file: " + std::strerror(errno);
        return false;
    }
    errno = 0;
    PngStream png(file.get(), settings);
    if (!png.Ready()) {
        error = path + ": no memory for the compressor";
        return false;
    }
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    uint8_t header[13] = {};
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header + 4, static_cast<uint32_t>(height));
    header[8] = 8;  // bits per sample
    header[9] = colourType;
    bool good = std::fwrite(signature, 1, sizeof signature, file.get()) == sizeof signature &&
                png.Chunk("IHDR", header, sizeof header);

    const std::size_t step = static_cast<std::size_t>(pixelBytes);
    const std::size_t bytes = static_cast<std::size_t>(width) * step;
    const std::vector<uint8_t> zeros(bytes, 0);
    std::vector<uint8_t> filtered(bytes + 1), candidate(bytes + 1);
    for (int y = 0; good && y < height; ++y) {
        const uint8_t* row = rowAt(y);
        const uint8_t* above = y > 0 ? rowAt(y - 1) : zeros.data();
        if (settings.filter != PngFilter::Adaptive) {
            FilterRow(settings.filter, row, above, bytes, step, filtered.data());
        } else {
            unsigned long long best = ~0ull;
            for (PngFilter filter : {PngFilter::None, PngFilter::Sub, PngFilter::Up, PngFilter::Average, PngFilter::Paeth}) {
                FilterRow(filter, row, above, bytes, step, candidate.data());
                const unsigned long long magnitude = Magnitude(candidate.data() + 1, bytes);
                if (magnitude < best) {
                    best = magnitude;
                    filtered.swap(candidate);
                }
            }
        }
        good = png.Compress(filtered.data(), filtered.size(), y + 1 == height);
    }
    good = good && png.Chunk("IEND", nullptr, 0);
    // Buffered bytes meet a full disk only when flushed.
    std::FILE* closing = file.release();
    good = std::fclose(closing) == 0 && good;
    if (!good) error = path + ": cannot write the file: " + (errno != 0 ? std::strerror(errno) : "compressor error");
    return good;
}

}  // namespace

// With run-length matching zlib's level changes nothing above 0 (stored).
PngSettings MaskPngSettings() { return {1, Z_RLE, PngFilter::Paeth}; }

bool WriteGrayPng(const std::string& path, const Plane& plane, std::string& error, const PngSettings& settings) {
    if (plane.Empty()) {
        error = path + ": nothing to write";
        return false;
    }
    return WritePng(
        path, plane.Width(), plane.Height(), kGray, 1, [&](int y) { return plane.Row(y); }, settings, error);
}

bool WriteRgbPng(const std::string& path, const RgbImage& image, std::string& error, const PngSettings& settings) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height) * 3) {
        error = path + ": the image has no valid size";
        return false;
    }
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    return WritePng(
        path, image.width, image.height, kRgb, 3, [&](int y) { return image.pixels.data() + y * stride; }, settings,
        error);
}
