// The property list and terminology writers: the padding rule, the byte
// order of codes, and how a changed text moves what follows it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/pe/PeImage.h"
#include "module/ExpectedResources.h"
#include "resources/PluginDescription.h"
#include "resources/ResourceWriter.h"

namespace {
uint32_t Le32(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint32_t>(b.at(at)) | static_cast<uint32_t>(b.at(at + 1)) << 8 |
           static_cast<uint32_t>(b.at(at + 2)) << 16 | static_cast<uint32_t>(b.at(at + 3)) << 24;
}
// A code stored little-endian reads back in reverse.
std::string Code(const std::vector<uint8_t>& b, std::size_t at) {
    return {static_cast<char>(b.at(at + 3)), static_cast<char>(b.at(at + 2)), static_cast<char>(b.at(at + 1)),
            static_cast<char>(b.at(at))};
}
std::vector<uint8_t> Text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

struct Property {
    std::size_t offset;
    std::string vendor, key;
    uint32_t id, length;
    std::vector<uint8_t> data;
};

// Walks the properties the way the host does: each one's length says where
// the next one starts.
std::vector<Property> Walk(const std::vector<uint8_t>& bytes) {
    std::vector<Property> properties;
    const uint32_t count = Le32(bytes, 6);
    std::size_t at = 10;
    for (uint32_t i = 0; i < count; ++i) {
        Property p{at, Code(bytes, at), Code(bytes, at + 4), Le32(bytes, at + 8), Le32(bytes, at + 12), {}};
        if (at + 16 + p.length > bytes.size()) {
            ADD_FAILURE() << "property " << p.key << " runs past the end";
            break;
        }
        p.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at + 16),
                      bytes.begin() + static_cast<std::ptrdiff_t>(at + 16 + p.length));
        properties.push_back(p);
        at += 16 + p.length;
    }
    EXPECT_EQ(at, bytes.size()) << "the last property must end the resource";
    return properties;
}

const Property& Find(const std::vector<Property>& properties, const std::string& key) {
    for (const Property& p : properties)
        if (p.key == key) return p;
    throw std::runtime_error("no property " + key);
}
}  // namespace

TEST(ResourceWriter, PaddingAddsOneToFourZeroBytes) {
    struct Case {
        std::size_t unpadded, padded;
    } cases[] = {{1, 4}, {2, 4}, {3, 4}, {4, 8}, {5, 8}, {7, 8}, {8, 12}, {15, 16}, {16, 20}, {26, 28}};
    for (const Case& c : cases) EXPECT_EQ(PaddedStringDataLength(c.unpadded), c.padded) << c.unpadded;
}

TEST(ResourceWriter, CodesAndNumbersAreLittleEndian) {
    ResourceWriter out;
    out.FourCC("8BIM");
    out.U16(0xB000);
    out.I16(16000);
    out.I32(-2);
    const std::vector<uint8_t> expected = {'M', 'I', 'B', '8', 0x00, 0xB0, 0x80, 0x3E, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(out.Data(), expected);
}

TEST(ResourceWriter, StringsAndTheirLimits) {
    ResourceWriter out;
    out.PascalString("ZYT");
    out.CString("true");
    out.PascalString("");
    EXPECT_EQ(out.Data(), (std::vector<uint8_t>{3, 'Z', 'Y', 'T', 't', 'r', 'u', 'e', 0, 0}));

    ResourceWriter limits;
    EXPECT_NO_THROW(limits.PascalString(std::string(255, 'a')));
    EXPECT_EQ(limits.Data().front(), 255);
    // A longer text would wrap its length byte and shift every later field.
    EXPECT_THROW(limits.PascalString(std::string(256, 'a')), ResourceFieldError);
    EXPECT_THROW(limits.CString(std::string("a\0b", 3)), ResourceFieldError);
    EXPECT_THROW(limits.FourCC("Cnt"), ResourceFieldError);
    EXPECT_THROW(limits.FourCC("long "), ResourceFieldError);
    EXPECT_NO_THROW(limits.Count16(65535));
    EXPECT_THROW(limits.Count16(65536), ResourceFieldError);  // would be written as 0 items
}

// The x64 module's list differs from the 32-bit one's in the code
// property's key alone: same data, same place. Every byte is the one the
// module checks expect of the built modules.
TEST(PropertyList, LaysOutThePluginsSevenPropertiesForEachMachine) {
    const struct {
        CodeMachine machine;
        const char* codeKey;
        uint16_t peMachine;
    } machines[] = {{CodeMachine::kX86, "wx86", kMachineI386}, {CodeMachine::kX64, "8664", kMachineAmd64}};
    for (const auto& m : machines) {
        SCOPED_TRACE(m.codeKey);
        const std::vector<uint8_t> bytes = WritePropertyList(LumacutPropertyList(), m.machine);
        ASSERT_EQ(bytes.size(), 206u);
        EXPECT_EQ(bytes, ExpectedPropertyList(m.peMachine));
        EXPECT_EQ(bytes[0] | bytes[1] << 8, 1);
        EXPECT_EQ(Le32(bytes, 2), 0u);
        const std::vector<Property> properties = Walk(bytes);
        ASSERT_EQ(properties.size(), 7u);
        struct Row {
            std::size_t offset;
            const char* key;
            uint32_t length;
        } rows[] = {{10, "kind", 4},      {30, "name", 16},  {62, "catg", 8}, {86, "vers", 4},
                    {106, m.codeKey, 16}, {138, "hstm", 28}, {182, "enbl", 8}};
        for (std::size_t i = 0; i < 7; ++i) {
            SCOPED_TRACE(rows[i].key);
            EXPECT_EQ(properties[i].offset, rows[i].offset);
            EXPECT_EQ(properties[i].key, rows[i].key);
            EXPECT_EQ(properties[i].length, rows[i].length);
            EXPECT_EQ(properties[i].vendor, "8BIM");
            EXPECT_EQ(properties[i].id, 0u);
            EXPECT_EQ((properties[i].offset - 10) % 4, 0u);
        }
        std::vector<uint8_t> entryPoint = Text("AutoPluginMain");
        entryPoint.insert(entryPoint.end(), {0, 0});
        EXPECT_EQ(Find(properties, m.codeKey).data, entryPoint);
    }
}

TEST(PropertyList, StringDataIsPaddedByTheRule) {
    const std::vector<Property> properties = Walk(WritePropertyList(LumacutPropertyList(), CodeMachine::kX86));
    // One length byte and three letters fill a word: a whole word of zeros follows.
    EXPECT_EQ(Find(properties, "catg").data, (std::vector<uint8_t>{3, 'Z', 'Y', 'T', 0, 0, 0, 0}));
    // 4 + 4 + 4 + 2 + 12 = 26 bytes, padded to 28.
    std::vector<uint8_t> hstm = {0, 0, 0, 0, 'S', 't', 'y', 'z', 'T', 't', 'y', 'z', 0x80, 0x3E};
    for (uint8_t c : Text("ZYT_Lumacut")) hstm.push_back(c);
    hstm.insert(hstm.end(), {0, 0, 0});
    EXPECT_EQ(Find(properties, "hstm").data, hstm);
    EXPECT_EQ(Find(properties, "enbl").data, (std::vector<uint8_t>{'t', 'r', 'u', 'e', 0, 0, 0, 0}));
    EXPECT_EQ(Find(properties, "vers").data, (std::vector<uint8_t>{0, 0, 1, 0}));
    EXPECT_EQ(Find(properties, "kind").data, Text("ZIL8"));
}

// A changed text changes its own property's length and moves every later
// property by the difference; nothing else changes.
TEST(PropertyList, ChangedTextMovesOnlyWhatFollows) {
    struct Case {
        const char* key;
        std::function<void(PropertyListFields&)> change;
        uint32_t newLength;
    } cases[] = {
        {"name", [](PropertyListFields& f) { f.name = "Z"; }, 4},          // 2 bytes -> 4
        {"name", [](PropertyListFields& f) { f.name = "ZYT_Luma"; }, 12},  // 9 -> 12
        {"name", [](PropertyListFields& f) { f.name = "ZYT_Lumacut_"; }, 16},
        {"name", [](PropertyListFields& f) { f.name = "ZYT_Lumacut_Pro"; }, 20},  // 16 fills: +4
        {"catg", [](PropertyListFields& f) { f.category = "ZYT Tools"; }, 12},
        {"wx86", [](PropertyListFields& f) { f.entryPoint = "Main"; }, 8},  // 5 -> 8
        {"wx86", [](PropertyListFields& f) { f.entryPoint = "PluginMain1"; }, 16},  // 12 fills: +4
        {"hstm", [](PropertyListFields& f) { f.terminology.scope = "Z"; }, 20},  // 14 + 2 fills: +4
        {"enbl", [](PropertyListFields& f) { f.enableCondition = "PSHOP_ImageMode"; }, 20},
    };
    const std::vector<Property> before = Walk(WritePropertyList(LumacutPropertyList(), CodeMachine::kX86));
    for (const Case& c : cases) {
        PropertyListFields fields = LumacutPropertyList();
        c.change(fields);
        const std::vector<uint8_t> bytes = WritePropertyList(fields, CodeMachine::kX86);
        const std::vector<Property> after = Walk(bytes);
        ASSERT_EQ(after.size(), before.size());
        const Property& changed = Find(after, c.key);
        SCOPED_TRACE(std::string(c.key) + " -> " + std::to_string(c.newLength));
        EXPECT_EQ(changed.length, c.newLength);
        const long shift = static_cast<long>(c.newLength) - static_cast<long>(Find(before, c.key).length);
        EXPECT_EQ(static_cast<long>(bytes.size()), 206 + shift);
        bool later = false;
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(static_cast<long>(after[i].offset), static_cast<long>(before[i].offset) + (later ? shift : 0))
                << after[i].key;
            if (after[i].key == c.key) later = true;
            else EXPECT_EQ(after[i].data, before[i].data) << after[i].key;
        }
    }
}

TEST(PropertyList, LengthByteFollowsTheName) {
    PropertyListFields fields = LumacutPropertyList();
    fields.name = "Lumacut";
    fields.category = std::string(200, 'c');
    const std::vector<Property> properties = Walk(WritePropertyList(fields, CodeMachine::kX86));
    EXPECT_EQ(Find(properties, "name").data.front(), 7);
    EXPECT_EQ(Find(properties, "catg").data.front(), 200);
    EXPECT_EQ(Find(properties, "catg").length, 204u);
    fields.category = std::string(256, 'c');
    EXPECT_THROW(WritePropertyList(fields, CodeMachine::kX86), ResourceFieldError);
}

TEST(Terminology, IsUnpaddedAndLinkedToThePropertyList) {
    const std::vector<uint8_t> bytes = WriteTerminology(LumacutTerminology());
    ASSERT_EQ(bytes.size(), 106u);
    EXPECT_EQ(bytes, ExpectedTerminology()) << "every byte as the module checks expect it";
    EXPECT_EQ(Code(bytes, 26), "zytS");  // suite
    EXPECT_EQ(Code(bytes, 60), "zytS");  // event class
    EXPECT_EQ(Code(bytes, 64), "zytT");
    EXPECT_EQ(bytes[80] | bytes[81] << 8, 0xB000);
    // The same pair and id as the property list's terminology link.
    const PropertyListFields pipl = LumacutPropertyList();
    EXPECT_EQ(pipl.terminology.eventClass, "zytS");
    EXPECT_EQ(pipl.terminology.eventId, "zytT");
    EXPECT_EQ(pipl.terminology.resourceId, 16000);
}

// Strings are not padded: an odd change moves the later fields by exactly
// that much, to odd offsets too.
TEST(Terminology, ChangedTextsMoveLaterFieldsByTheirLength) {
    struct Case {
        std::function<void(TerminologyFields&)> change;
        long shift;
    } cases[] = {
        {[](TerminologyFields& f) { f.suites[0].events[0].name = "ZYT_Lumacut2"; }, 1},
        {[](TerminologyFields& f) { f.suites[0].events[0].description = "ZYT"; }, -8},
        {[](TerminologyFields& f) { f.suites[0].name = "Z"; }, -2},
        {[](TerminologyFields& f) { f.suites[0].events[0].directDescription = "the document"; }, 12},
    };
    for (const Case& c : cases) {
        TerminologyFields fields = LumacutTerminology();
        c.change(fields);
        const std::vector<uint8_t> bytes = WriteTerminology(fields);
        SCOPED_TRACE(c.shift);
        EXPECT_EQ(static_cast<long>(bytes.size()), 106 + c.shift);
        const std::size_t mode = static_cast<std::size_t>(84 + c.shift);
        EXPECT_EQ(bytes[mode], 4);
        EXPECT_EQ(std::string(bytes.begin() + static_cast<std::ptrdiff_t>(mode + 1),
                              bytes.begin() + static_cast<std::ptrdiff_t>(mode + 5)), "mode");
        EXPECT_EQ(Code(bytes, mode + 5), "Cnt ");
        EXPECT_EQ(Code(bytes, mode + 9), "long");
    }
}
