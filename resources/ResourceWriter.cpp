#include "ResourceWriter.h"

void ResourceWriter::U8(uint8_t value) { bytes_.push_back(value); }

void ResourceWriter::U16(uint16_t value) {
    bytes_.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
}

void ResourceWriter::Count16(std::size_t count) {
    if (count > UINT16_MAX) throw ResourceFieldError("a count of " + std::to_string(count) + " does not fit 16 bits");
    U16(static_cast<uint16_t>(count));
}

void ResourceWriter::U32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<uint8_t>((value >> shift) & 0xFF));
}

void ResourceWriter::FourCC(const std::string& code) {
    if (code.size() != 4) throw ResourceFieldError("four-character code \"" + code + "\" is not four characters");
    uint32_t value = 0;
    for (char c : code) value = (value << 8) | static_cast<uint8_t>(c);
    U32(value);
}

void ResourceWriter::PascalString(const std::string& text) {
    // The length byte cannot say more than 255; a longer text would be cut
    // silently by a cast and every later field would be read from the wrong
    // place.
    if (text.size() > 255) throw ResourceFieldError("string \"" + text.substr(0, 32) + "...\" is longer than 255 bytes");
    U8(static_cast<uint8_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void ResourceWriter::CString(const std::string& text) {
    if (text.find('\0') != std::string::npos) throw ResourceFieldError("zero-terminated string holds a zero byte");
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
}

void ResourceWriter::Bytes(const std::vector<uint8_t>& bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }

void ResourceWriter::PatchI32(std::size_t offset, int32_t value) {
    if (offset > bytes_.size() || bytes_.size() - offset < 4) throw ResourceFieldError("patch beyond the bytes written");
    const auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<uint8_t>((bits >> (8 * i)) & 0xFF);
}

std::size_t PaddedStringDataLength(std::size_t unpadded) { return (unpadded / 4 + 1) * 4; }
