// Dialog templates, string-table blocks and bitmap headers decoded from
// bytes laid out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/pe/ResourceFormats.h"

namespace {
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& U8(uint8_t v) { b.push_back(v); return *this; }
    Bytes& U16(uint16_t v) { return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8)); }
    Bytes& U32(uint32_t v) { return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16)); }
    Bytes& Wide(const std::string& s) {
        for (char c : s) U16(static_cast<uint8_t>(c));
        return U16(0);
    }
    Bytes& Align() {
        while (b.size() % 4) b.push_back(0);
        return *this;
    }
};

// A standard template: a captioned dialog with a font and two controls, the
// second named by class string and carrying creation data.
std::vector<uint8_t> StandardTemplate() {
    Bytes t;
    t.U32(0x80C000C0).U32(0x8).U16(2).U16(1).U16(2).U16(189).U16(120);
    t.U16(0).U16(0xFFFF).U16(7).Wide("About").U16(8).Wide("MS Sans Serif");
    t.Align().U32(0x48010001).U32(0).U16(171).U16(7).U16(11).U16(14).U16(1).U16(0xFFFF).U16(0x80).Wide("OK").U16(0);
    t.Align().U32(0x50020000).U32(0x20).U16(16).U16(7).U16(148).U16(83).U16(3).Wide("Edit").U16(0xFFFF).U16(102);
    t.U16(3).U8(9).U8(8).U8(7);
    return t.b;
}

std::vector<uint8_t> ExtendedTemplate() {
    Bytes t;
    t.U16(1).U16(0xFFFF).U32(77).U32(0x100).U32(0x80C800C0).U16(1).U16(0).U16(0).U16(217).U16(183);
    t.U16(0).U16(0).Wide("ZYT Lumacut").U16(8).U16(700).U8(1).U8(204).Wide("Tahoma");
    t.Align().U32(5).U32(0x10).U32(0x50000A0E).U16(5).U16(17).U16(53).U16(20).U32(0x10066);
    t.U16(0xFFFF).U16(0x82).U16(0xFFFF).U16(102).U16(0);
    return t.b;
}
}  // namespace

TEST(DialogTemplate, StandardFormFieldByField) {
    const DialogTemplate d = ParseDialogTemplate(StandardTemplate());
    EXPECT_FALSE(d.extended);
    EXPECT_EQ(d.style, 0x80C000C0u);
    EXPECT_EQ(d.exStyle, 0x8u);
    EXPECT_EQ(d.x, 1);
    EXPECT_EQ(d.cx, 189);
    EXPECT_EQ(d.cy, 120);
    EXPECT_EQ(d.menu.kind, NameOrOrdinal::kNone);
    EXPECT_EQ(d.windowClass.kind, NameOrOrdinal::kOrdinal);
    EXPECT_EQ(d.windowClass.ordinal, 7);
    EXPECT_EQ(d.title, "About");
    EXPECT_TRUE(d.hasFont);
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.typeface, "MS Sans Serif");
    ASSERT_EQ(d.items.size(), 2u);
    EXPECT_EQ(d.items[0].style, 0x48010001u);
    EXPECT_EQ(d.items[0].id, 1u);
    EXPECT_EQ(d.items[0].windowClass.ordinal, 0x80);
    EXPECT_EQ(d.items[0].title.text, "OK");
    EXPECT_EQ(d.items[1].exStyle, 0x20u);
    EXPECT_EQ(d.items[1].cy, 83);
    EXPECT_EQ(d.items[1].windowClass.kind, NameOrOrdinal::kText);
    EXPECT_EQ(d.items[1].windowClass.text, "Edit");
    EXPECT_EQ(d.items[1].title.kind, NameOrOrdinal::kOrdinal);
    EXPECT_EQ(d.items[1].title.ordinal, 102);
    EXPECT_EQ(d.items[1].creationData, (std::vector<uint8_t>{9, 8, 7}));
}

TEST(DialogTemplate, ExtendedFormFieldByField) {
    const DialogTemplate d = ParseDialogTemplate(ExtendedTemplate());
    EXPECT_TRUE(d.extended);
    EXPECT_EQ(d.helpId, 77u);
    EXPECT_EQ(d.exStyle, 0x100u);
    EXPECT_EQ(d.style, 0x80C800C0u);
    EXPECT_EQ(d.title, "ZYT Lumacut");
    EXPECT_EQ(d.weight, 700);
    EXPECT_EQ(d.italic, 1);
    EXPECT_EQ(d.charset, 204);
    EXPECT_EQ(d.typeface, "Tahoma");
    ASSERT_EQ(d.items.size(), 1u);
    EXPECT_EQ(d.items[0].helpId, 5u);
    EXPECT_EQ(d.items[0].exStyle, 0x10u);
    EXPECT_EQ(d.items[0].style, 0x50000A0Eu);
    EXPECT_EQ(d.items[0].id, 0x10066u);  // 32 bits in this form
    EXPECT_EQ(d.items[0].windowClass.ordinal, 0x82);
    EXPECT_EQ(d.items[0].title.ordinal, 102);
}

TEST(DialogTemplate, WithoutSetFontThereIsNoFontBlock) {
    Bytes t;
    t.U32(0x80C80080).U32(0).U16(1).U16(0).U16(0).U16(10).U16(10).U16(0).U16(0).Wide("x");
    t.Align().U32(0x50000000).U32(0).U16(0).U16(0).U16(1).U16(1).U16(9).U16(0xFFFF).U16(0x81).Wide("").U16(0);
    const DialogTemplate d = ParseDialogTemplate(t.b);
    EXPECT_FALSE(d.hasFont);
    EXPECT_EQ(d.typeface, "");
    ASSERT_EQ(d.items.size(), 1u);
    EXPECT_EQ(d.items[0].id, 9u);
    EXPECT_EQ(d.items[0].title.kind, NameOrOrdinal::kNone);
}

// Every cut of a template, and an item count that claims more than there is,
// stops with an error, never with a read past the bytes.
TEST(DialogTemplate, DamagedTemplatesAreRejected) {
    for (const std::vector<uint8_t>& whole : {StandardTemplate(), ExtendedTemplate()}) {
        for (std::size_t size = 0; size < whole.size(); ++size) {
            const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
            EXPECT_THROW(ParseDialogTemplate(cut), PeFormatError) << "cut at " << size;
        }
        std::vector<uint8_t> overcounted = whole;
        const bool extended = whole[2] == 0xFF;
        overcounted[extended ? 16 : 8] = 200;
        EXPECT_THROW(ParseDialogTemplate(overcounted), PeFormatError);
    }
}

TEST(StringTable, EntriesAreCountedStringsInOrder) {
    Bytes block;
    block.U16(2).U16('h').U16('i');
    for (int i = 1; i < 15; ++i) block.U16(0);
    block.U16(3).U16('a').U16('\n').U16(0xE9);  // e acute
    EXPECT_EQ(StringTableEntry(block.b, 0), "hi");
    EXPECT_EQ(StringTableEntry(block.b, 7), "");
    EXPECT_EQ(StringTableEntry(block.b, 15), "a\n\xC3\xA9");
    EXPECT_THROW(StringTableEntry(block.b, 16), PeFormatError);
    block.b.pop_back();
    EXPECT_THROW(StringTableEntry(block.b, 15), PeFormatError);
    EXPECT_THROW(StringTableEntry({5, 0, 'a', 0}, 0), PeFormatError);
}

TEST(BitmapInfo, NeedsAWholeInfoHeader) {
    Bytes header;
    header.U32(40).U32(80).U32(static_cast<uint32_t>(-33)).U16(1).U16(24).U32(0).U32(7920);
    header.U32(0).U32(0).U32(0).U32(0);
    const BitmapInfo info = ParseBitmapInfo(header.b);
    EXPECT_EQ(info.height, -33);  // a top-down bitmap keeps its sign
    EXPECT_EQ(info.imageSize, 7920u);
    header.b.resize(36);
    EXPECT_THROW(ParseBitmapInfo(header.b), PeFormatError);
    EXPECT_THROW(ParseBitmapInfo({12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), PeFormatError);
}
