// Bounds-checked little-endian reads from bytes that came from a file: every
// read that would leave the bytes throws PeFormatError instead.
#ifndef LUMACUT_HOST_BYTE_READER_H
#define LUMACUT_HOST_BYTE_READER_H

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class PeFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ByteView {
public:
    ByteView(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    explicit ByteView(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

    std::size_t Size() const { return size_; }
    // True when `count` bytes from `offset` lie inside; written so that no
    // sum can wrap, also where size_t is 32 bits.
    bool Holds(std::size_t offset, std::size_t count) const { return offset <= size_ && count <= size_ - offset; }
    void Require(std::size_t offset, std::size_t count, const char* what) const {
        if (!Holds(offset, count)) throw PeFormatError(std::string(what) + " lies outside the data");
    }
    uint8_t U8(std::size_t offset) const {
        Require(offset, 1, "a byte");
        return data_[offset];
    }
    uint16_t U16(std::size_t offset) const {
        Require(offset, 2, "a 16-bit value");
        return static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8);
    }
    uint32_t U32(std::size_t offset) const {
        Require(offset, 4, "a 32-bit value");
        return static_cast<uint32_t>(data_[offset]) | static_cast<uint32_t>(data_[offset + 1]) << 8 |
               static_cast<uint32_t>(data_[offset + 2]) << 16 | static_cast<uint32_t>(data_[offset + 3]) << 24;
    }
    std::vector<uint8_t> Copy(std::size_t offset, std::size_t count) const {
        Require(offset, count, "a block");
        return std::vector<uint8_t>(data_ + offset, data_ + offset + count);
    }

private:
    const uint8_t* data_;
    std::size_t size_;
};

// UTF-16LE code units as UTF-8; an unpaired surrogate becomes '?'.
std::string Utf16ToUtf8(const ByteView& bytes, std::size_t offset, std::size_t units);

#endif
