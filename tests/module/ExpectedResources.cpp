#include "ExpectedResources.h"

#include <stdexcept>

#include "host/pe/PeImage.h"

namespace {
// A zeroed buffer of a known size, filled at given offsets: every byte not
// placed stays zero, which is what terminators and padding are.
class Placed {
public:
    explicit Placed(std::size_t size) : bytes_(size, 0) {}
    Placed& U8(std::size_t at, uint8_t v) {
        bytes_.at(at) = v;
        return *this;
    }
    Placed& U16(std::size_t at, uint16_t v) { return U8(at, static_cast<uint8_t>(v)).U8(at + 1, static_cast<uint8_t>(v >> 8)); }
    Placed& U32(std::size_t at, uint32_t v) {
        return U16(at, static_cast<uint16_t>(v)).U16(at + 2, static_cast<uint16_t>(v >> 16));
    }
    // The first character is the most significant byte of a little-endian
    // value, so it lands last.
    Placed& Code(std::size_t at, const char (&code)[5]) {
        for (std::size_t i = 0; i < 4; ++i) U8(at + 3 - i, static_cast<uint8_t>(code[i]));
        return *this;
    }
    Placed& Text(std::size_t at, const std::string& text) {
        for (std::size_t i = 0; i < text.size(); ++i) U8(at + i, static_cast<uint8_t>(text[i]));
        return *this;
    }
    Placed& Counted(std::size_t at, const std::string& text) { return U8(at, static_cast<uint8_t>(text.size())).Text(at + 1, text); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};
}  // namespace

std::vector<uint8_t> ExpectedPropertyList(uint16_t machine) {
    Placed p(206);
    p.U16(0, 1).U32(2, 0).U32(6, 7);
    const char(&codeKey)[5] = machine == kMachineAmd64 ? "8664" : "wx86";
    const struct {
        std::size_t offset;
        const char (&key)[5];
        uint32_t length;
    } properties[] = {{10, "kind", 4},    {30, "name", 16},  {62, "catg", 8}, {86, "vers", 4},
                      {106, codeKey, 16}, {138, "hstm", 28}, {182, "enbl", 8}};
    for (const auto& property : properties)
        p.Code(property.offset, "8BIM").Code(property.offset + 4, property.key).U32(property.offset + 8, 0).U32(property.offset + 12, property.length);
    // Each property's data starts 16 bytes after the property.
    p.Code(26, "8LIZ");
    p.Counted(46, "ZYT_Lumacut");
    p.Counted(78, "ZYT");
    p.U32(102, 0x00010000);
    p.Text(122, "AutoPluginMain");
    p.U32(154, 0).Code(158, "zytS").Code(162, "zytT").U16(166, 16000).Text(168, "ZYT_Lumacut");
    p.Text(198, "true");
    return p.Bytes();
}

std::vector<uint8_t> ExpectedTerminology() {
    Placed t(106);
    t.U16(0, 1).U8(2, 1).U8(3, 0).U16(4, 0).U16(6, 0).U16(8, 1);
    t.Counted(10, "ZYT").Counted(14, "ZYT plugins").Code(26, "zytS").U16(30, 1).U16(32, 1).U16(34, 1);
    t.Counted(36, "ZYT_Lumacut").Counted(48, "ZYT plugins").Code(60, "zytS").Code(64, "zytT");
    t.Code(68, "null").U8(72, 0).U16(73, 0x0000);
    t.Code(75, "#ImR").U8(79, 0).U16(80, 0xB000);
    t.U16(82, 1).Counted(84, "mode").Code(89, "Cnt ").Code(93, "long").U8(97, 0).U16(98, 0x0000);
    t.U16(100, 0).U16(102, 0).U16(104, 0);
    return t.Bytes();
}

std::string ExpectedAboutText() {
    const char* const lines[] = {"ZYT_Lumacut",          "",   "Version 0.1 Release (12/2004)",
                                 "Copyright (c) 2004 ZYT.", "All rights reserved.", "",
                                 "ZYT Lumacut - luminosity selections"};
    std::string text;
    for (std::size_t i = 0; i < sizeof lines / sizeof lines[0]; ++i) {
        if (i > 0) text += '\n';  // line feeds alone, no carriage returns
        text += lines[i];
    }
    return text;
}
