// Decoders for the Windows resource formats the module carries: dialog
// templates (standard and extended), string-table blocks and bitmap headers.
// Malformed data raises PeFormatError.
#ifndef LUMACUT_HOST_RESOURCE_FORMATS_H
#define LUMACUT_HOST_RESOURCE_FORMATS_H

#include <cstdint>
#include <string>
#include <vector>

#include "ByteReader.h"

// A template field that is absent, an ordinal (0xFFFF then a number) or a
// zero-terminated UTF-16 string.
struct NameOrOrdinal {
    enum Kind { kNone, kOrdinal, kText };
    Kind kind = kNone;
    uint16_t ordinal = 0;
    std::string text;
};

struct DialogItem {
    uint32_t helpId = 0;  // extended form only
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t id = 0;  // 16 bits in the standard form
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
    std::vector<uint8_t> creationData;
};

struct DialogTemplate {
    bool extended = false;
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string title;
    bool hasFont = false;  // DS_SETFONT in the style
    uint16_t pointSize = 0;
    uint16_t weight = 0;   // extended form only
    uint8_t italic = 0;    // extended form only
    uint8_t charset = 0;   // extended form only
    std::string typeface;
    std::vector<DialogItem> items;
};

DialogTemplate ParseDialogTemplate(const std::vector<uint8_t>& bytes);

// String `index` (0..15) of a string-table block: resource (id / 16) + 1
// holds the strings id & ~15 to id | 15.
std::string StringTableEntry(const std::vector<uint8_t>& block, unsigned index);

struct BitmapInfo {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    uint32_t colorsUsed = 0;
};

// The BITMAPINFOHEADER at the start of a bitmap resource.
BitmapInfo ParseBitmapInfo(const std::vector<uint8_t>& bytes);

#endif
