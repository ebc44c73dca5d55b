// Writes the little-endian byte layouts the host reads from the module's
// custom resources (the property list and the terminology resource).
#ifndef LUMACUT_RESOURCES_RESOURCE_WRITER_H
#define LUMACUT_RESOURCES_RESOURCE_WRITER_H

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A field that cannot be written as described (a string too long for its
// length byte, a code that is not four characters).
class ResourceFieldError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ResourceWriter {
public:
    void U8(uint8_t value);
    void U16(uint16_t value);
    void I16(int16_t value) { U16(static_cast<uint16_t>(value)); }
    void U32(uint32_t value);
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    // A count of items in a 16-bit field: one that does not fit is refused
    // rather than cut, which would make the reader take too few items.
    void Count16(std::size_t count);
    // A four-character code is a 32-bit value whose first character is the
    // most significant byte; stored little-endian, its characters come out
    // reversed ("8BIM" becomes "MIB8").
    void FourCC(const std::string& code);
    // One length byte, then the text, no terminator.
    void PascalString(const std::string& text);
    // The text and one zero byte.
    void CString(const std::string& text);
    void Bytes(const std::vector<uint8_t>& bytes);
    // Overwrites four bytes already written, for a length known only later.
    void PatchI32(std::size_t offset, int32_t value);

    std::size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Data() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// The property list's padding rule: data that ends in a string is followed
// by one to four zero bytes (never none) so that its length is a multiple
// of four. Returns the padded length of `unpadded` bytes of such data.
std::size_t PaddedStringDataLength(std::size_t unpadded);

#endif
