// The dialog templates in the built module, field by field: what the
// dialog manager will create for the mode dialog and the About box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ModuleUnderTest.h"
#include "host/pe/ResourceFormats.h"

namespace {
constexpr uint16_t kButton = 0x0080;
constexpr uint16_t kStatic = 0x0082;

struct Control {
    uint32_t id;
    uint16_t classAtom;
    const char* text;  // null: an image by ordinal
    uint16_t imageOrdinal;
    int16_t x, y, cx, cy;
    uint32_t style;
    uint32_t exStyle;
};

struct ExpectedDialog {
    uint16_t resourceId;
    bool extended;
    const char* caption;
    int16_t cx, cy;
    uint32_t style;
    std::vector<Control> controls;
};

const uint32_t kRadio = 0x50000009;

const ExpectedDialog kModeDialog = {
    16001, true, "ZYT Lumacut", 217, 183, 0x80C800C0,
    {
        {1, kButton, "&OK", 0, 143, 150, 41, 14, 0x50010001, 0},
        {2, kButton, "&Cancel", 0, 81, 150, 41, 14, 0x50010000, 0},
        {3, kStatic, "&Mode:", 0, 69, 22, 35, 9, 0x50020002, 0},
        {4, kButton, "Highlights normal", 0, 120, 22, 82, 15, kRadio, 0},
        {5, kButton, "Highlights narrow", 0, 120, 35, 83, 21, kRadio, 0},
        {6, kButton, "Shadows normal", 0, 120, 53, 82, 15, kRadio, 0},
        {7, kButton, "Shadows narrow", 0, 120, 68, 72, 15, kRadio, 0},
        {8, kButton, "Midtones wide", 0, 120, 84, 86, 15, kRadio, 0},
        {102, kStatic, nullptr, 102, 5, 17, 53, 20, 0x50000A0E, 0x00000010},
        {9, kButton, "Midtones medium", 0, 120, 101, 86, 15, kRadio, 0},
        {10, kButton, "Midtones narrow", 0, 120, 118, 86, 15, kRadio, 0},
    }};

const ExpectedDialog kAboutBox = {
    16000, false, "", 189, 120, 0x80C000C0,
    {
        {1, kButton, "OK", 0, 171, 7, 11, 14, 0x48010001, 0},
        {2, kButton, "Cancel", 0, 172, 24, 10, 14, 0x48010000, 0},
        {3, kStatic, "Static", 0, 16, 7, 148, 83, 0x50020000, 0},
        {4, kButton, "www.zyt.example.com", 0, 13, 100, 90, 13, 0x50010000, 0},
    }};
}  // namespace

TEST(ModuleDialogs, TemplatesMatchTheirTables) {
    for (const ExpectedDialog* expected : {&kModeDialog, &kAboutBox}) {
        SCOPED_TRACE("dialog " + std::to_string(expected->resourceId));
        const std::vector<uint8_t> bytes = EnglishResource(ResourceName::Id(kResourceDialog), expected->resourceId);
        ASSERT_FALSE(bytes.empty());
        const DialogTemplate d = ParseDialogTemplate(bytes);
        EXPECT_EQ(d.extended, expected->extended);
        EXPECT_EQ(d.title, expected->caption);
        EXPECT_EQ(d.x, 0);
        EXPECT_EQ(d.y, 0);
        EXPECT_EQ(d.cx, expected->cx);
        EXPECT_EQ(d.cy, expected->cy);
        EXPECT_EQ(d.style, expected->style);
        EXPECT_EQ(d.exStyle, 0u);
        EXPECT_EQ(d.helpId, 0u);
        EXPECT_EQ(d.menu.kind, NameOrOrdinal::kNone);
        EXPECT_EQ(d.windowClass.kind, NameOrOrdinal::kNone);
        EXPECT_TRUE(d.hasFont);
        EXPECT_EQ(d.pointSize, 8);
        EXPECT_EQ(d.typeface, "MS Sans Serif");
        EXPECT_EQ(d.weight, 0);
        EXPECT_EQ(d.italic, 0);
        EXPECT_EQ(d.charset, 0);
        ASSERT_EQ(d.items.size(), expected->controls.size());
        for (std::size_t i = 0; i < d.items.size(); ++i) {
            const DialogItem& item = d.items[i];
            const Control& c = expected->controls[i];
            SCOPED_TRACE("control " + std::to_string(i + 1) + ", id " + std::to_string(c.id));
            EXPECT_EQ(item.id, c.id);
            EXPECT_EQ(item.windowClass.kind, NameOrOrdinal::kOrdinal);
            EXPECT_EQ(item.windowClass.ordinal, c.classAtom);
            if (c.text != nullptr) {
                EXPECT_EQ(item.title.kind, NameOrOrdinal::kText);
                EXPECT_EQ(item.title.text, c.text);
            } else {
                EXPECT_EQ(item.title.kind, NameOrOrdinal::kOrdinal);
                EXPECT_EQ(item.title.ordinal, c.imageOrdinal);
            }
            EXPECT_EQ(item.x, c.x);
            EXPECT_EQ(item.y, c.y);
            EXPECT_EQ(item.cx, c.cx);
            EXPECT_EQ(item.cy, c.cy);
            EXPECT_EQ(item.style, c.style);
            EXPECT_EQ(item.exStyle, c.exStyle);
            EXPECT_EQ(item.helpId, 0u);
            EXPECT_TRUE(item.creationData.empty());
        }
    }
}

// The picture control shows bitmap 102, which must be in the module.
TEST(ModuleDialogs, ModeDialogLogoNamesABitmapThatExists) {
    const DialogTemplate d = ParseDialogTemplate(EnglishResource(ResourceName::Id(kResourceDialog), 16001));
    for (const DialogItem& item : d.items) {
        if (item.title.kind != NameOrOrdinal::kOrdinal) continue;
        EXPECT_TRUE(Module().FindResource(ResourceName::Id(kResourceBitmap), ResourceName::Id(item.title.ordinal), 1033))
            << "control " << item.id << " shows missing bitmap " << item.title.ordinal;
    }
}
