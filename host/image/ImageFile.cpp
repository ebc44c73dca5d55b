#include "ImageFile.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>
#include <vector>

#include "ImageAssembler.h"
#include "host/common/RegularFile.h"

namespace {
// A decoder's message with its line breaks and runs of spaces made one
// space each (libtiff writes some messages over two lines).
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        const bool space = static_cast<unsigned char>(c) <= ' ';
        if (!space) line += c;
        else if (!line.empty() && line.back() != ' ') line += ' ';
    }
    if (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

// No photograph within the engine's limits needs more: 16-bit colour with
// alpha, uncompressed, is 8 bytes a pixel, and a TIFF may carry previews
// and layers beside it. Checked before the file is read into memory.
constexpr uint64_t kMaxFileBytes = uint64_t{1} << 30;

bool StartsWith(const uint8_t* bytes, std::size_t size, const char* magic, std::size_t length) {
    return size >= length && std::memcmp(bytes, magic, length) == 0;
}

uint32_t BigEndian(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
    return value;
}

// The size a PNG or JPEG header gives, read here so that a size the engine
// refuses is refused alike under every platform decoder, and before one
// reads further. Returns false where the header does not say (yet).
bool HeaderSize(ImageFormat format, const uint8_t* data, std::size_t size, int64_t& width, int64_t& height) {
    if (format == ImageFormat::Png) {
        if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
        width = BigEndian(data + 16, 4);
        height = BigEndian(data + 20, 4);
        return true;
    }
    if (format != ImageFormat::Jpeg) return false;
    // Markers and their lengths up to the frame header (SOF0 to SOF15, but
    // not DHT, JPG and DAC, which share the range).
    for (std::size_t at = 2; at + 4 <= size && data[at] == 0xFF;) {
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const std::size_t length = BigEndian(data + at + 2, 2);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (at + 9 > size) return false;
            height = BigEndian(data + at + 5, 2);
            width = BigEndian(data + at + 7, 2);
            return true;
        }
        if (marker == 0xDA || length < 2) return false;
        at += 2 + length;
    }
    return false;
}

// Binary PNM (P5 gray, P6 colour), the one format read without a platform
// decoder: its header is a few numbers, its samples follow uncompressed.
class PnmReader {
public:
    PnmReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Read(ImageAssembler& image, std::string& why) {
        const bool colour = data_[1] == '6';
        pos_ = 2;
        int64_t width = 0, height = 0, top = 0;
        if (!Number(width) || !Number(height) || !Number(top) || pos_ >= size_ || !IsSpace(data_[pos_])) {
            why = "PNM header is incomplete";
            return false;
        }
        ++pos_;  // the one whitespace byte before the samples
        if (top < 1 || top > 65535) {
            why = "PNM maximum level " + std::to_string(top) + " is not 1 to 65535";
            return false;
        }
        if (!image.CheckSize(width, height, why)) return false;
        const int64_t channels = colour ? 3 : 1, bytesPerSample = top > 255 ? 2 : 1;
        const int64_t samples = width * channels;
        if (static_cast<uint64_t>(samples * bytesPerSample * height) > size_ - pos_) {
            why = "the file ends before its last row";
            return false;
        }
        // 8-bit files at full scale go through as they are; every other
        // maximum is scaled to 16 bits, so that one rounding reduces it.
        const bool direct = top == 255;
        SampleLayout layout;
        layout.channels = static_cast<int>(channels);
        layout.bits = direct ? 8 : 16;
        if (!image.Begin(width, height, layout, why)) return false;
        std::vector<uint16_t> row(direct ? 0 : static_cast<std::size_t>(samples));
        for (int y = 0; y < image.Height(); ++y) {
            const uint8_t* in = data_ + pos_;
            pos_ += static_cast<std::size_t>(samples * bytesPerSample);
            if (direct) {
                image.PutRow(y, in);
                continue;
            }
            for (std::size_t i = 0; i < row.size(); ++i) {
                const uint32_t level = bytesPerSample == 2 ? (uint32_t{in[2 * i]} << 8) | in[2 * i + 1] : in[i];
                const uint32_t clamped = level > static_cast<uint32_t>(top) ? static_cast<uint32_t>(top) : level;
                row[i] = static_cast<uint16_t>((clamped * 65535u + static_cast<uint32_t>(top) / 2) / top);
            }
            image.PutRow(y, reinterpret_cast<const uint8_t*>(row.data()));
        }
        return true;
    }

private:
    static bool IsSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

    // A decimal number after whitespace and comments; more than 9 digits
    // would be no size or level this reader takes anyway.
    bool Number(int64_t& value) {
        while (pos_ < size_ && (IsSpace(data_[pos_]) || data_[pos_] == '#')) {
            if (data_[pos_] == '#')
                while (pos_ < size_ && data_[pos_] != '\n') ++pos_;
            else
                ++pos_;
        }
        int digits = 0;
        value = 0;
        while (pos_ < size_ && data_[pos_] >= '0' && data_[pos_] <= '9' && digits < 10) {
            value = value * 10 + (data_[pos_++] - '0');
            ++digits;
        }
        return digits > 0 && digits < 10;
    }

    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};
}  // namespace

ImageFormat SniffImageFormat(const uint8_t* bytes, std::size_t size) {
    if (StartsWith(bytes, size, "\xFF\xD8\xFF", 3)) return ImageFormat::Jpeg;
    if (StartsWith(bytes, size, "\x89PNG\r\n\x1A\n", 8)) return ImageFormat::Png;
    if (StartsWith(bytes, size, "II*\0", 4) || StartsWith(bytes, size, "MM\0*", 4) ||
        StartsWith(bytes, size, "II+\0", 4) || StartsWith(bytes, size, "MM\0+", 4))
        return ImageFormat::Tiff;
    if (size >= 3 && bytes[0] == 'P' && (bytes[1] == '5' || bytes[1] == '6') &&
        (bytes[2] == ' ' || bytes[2] == '\t' || bytes[2] == '\n' || bytes[2] == '\r'))
        return ImageFormat::Pnm;
    return ImageFormat::Unknown;
}

bool ReadImageMemory(const uint8_t* data, std::size_t size, const std::string& name, RgbPlanes& planes,
                     std::string& error, std::size_t maxArea) {
    const ImageFormat format = SniffImageFormat(data, size);
    if (format == ImageFormat::Unknown) {
        error = name + ": not an image lumacut-host can read (neither JPEG, PNG, TIFF nor binary PNM)";
        return false;
    }
    ImageAssembler image(maxArea);
    std::string why;
    int64_t width = 0, height = 0;
    if (HeaderSize(format, data, size, width, height) && !image.CheckSize(width, height, why)) {
        error = name + ": " + why;
        return false;
    }
    const bool read = format == ImageFormat::Pnm ? PnmReader(data, size).Read(image, why)
                                                 : DecodeWithPlatform(format, data, size, image, why);
    if (!read) {
        // A size the engine refuses is said as such; anything else is the
        // decoder's complaint about the file, on the one line a refusal has.
        why = OneLine(why);
        error = name + ": " + (image.Refused() ? why : "not an image lumacut-host can read (" + why + ")");
        return false;
    }
    planes = image.Take();
    return true;
}

bool ReadImageFile(const std::string& path, RgbPlanes& planes, std::string& error) {
    const FilePointer file = OpenRegularFile(path, error);
    if (file == nullptr) return false;
    std::error_code failure;
    const uintmax_t size = std::filesystem::file_size(path, failure);
    if (failure) {
        error = path + ": " + failure.message();
        return false;
    }
    if (size > kMaxFileBytes) {
        error = path + ": " + std::to_string(size >> 20) + " MB is more than an image lumacut-host reads";
        return false;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        error = path + ": not enough memory to read " + std::to_string(size >> 20) + " MB";
        return false;
    }
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        error = path + ": cannot read the file";
        return false;
    }
    return ReadImageMemory(bytes.data(), bytes.size(), path, planes, error);
}
