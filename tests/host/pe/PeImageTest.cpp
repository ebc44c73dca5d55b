// The PE reader on images built in memory: what it finds in a sound image,
// and that a damaged one raises an error instead of reading astray.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "PeBuilder.h"
#include "host/pe/PeImage.h"

namespace {
std::vector<uint8_t> Data(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

PeLayout SampleLayout() {
    PeLayout layout;
    layout.exports = {"AutoPluginMain", "_GenericProc@16"};
    layout.imports = {"KERNEL32.dll", "USER32.dll"};
    layout.resources = {
        {ResourceName::Named("PIPL"), ResourceName::Id(16000), 1033, Data("property list")},
        {ResourceName::Id(kResourceDialog), ResourceName::Id(16000), 1033, Data("about")},
        {ResourceName::Id(kResourceDialog), ResourceName::Id(16001), 1033, Data("mode")},
        {ResourceName::Id(kResourceDialog), ResourceName::Id(16001), 1031, Data("Modus")},
        {ResourceName::Id(kResourceDialog), ResourceName::Named("ABOUT"), 1033, Data("named")},
        {ResourceName::Named("5"), ResourceName::Id(16000), 1033, Data("a type named 5")},
    };
    return layout;
}

void Poke32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t Peek32(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint32_t>(b.at(at)) | static_cast<uint32_t>(b.at(at + 1)) << 8 |
           static_cast<uint32_t>(b.at(at + 2)) << 16 | static_cast<uint32_t>(b.at(at + 3)) << 24;
}

// Reads everything the reader offers.
void ReadAll(const std::vector<uint8_t>& bytes) {
    const PeImage image(bytes);
    image.ExportNames();
    image.ImportedDlls();
    for (const ResourceEntry& entry : image.Resources()) image.Bytes(entry.dataRva, entry.dataSize);
}
}  // namespace

TEST(PeImage, ReadsHeadersExportsAndImports) {
    PeLayout layout = SampleLayout();
    const PeImage image(BuildPeImage(layout).bytes);
    EXPECT_EQ(image.Machine(), kMachineI386);
    EXPECT_TRUE(image.IsDll());
    ASSERT_EQ(image.Sections().size(), 1u);
    EXPECT_EQ(image.Sections()[0].name, ".rdata");
    EXPECT_EQ(image.ExportNames(), layout.exports);
    EXPECT_EQ(image.ImportedDlls(), layout.imports);

    // The 64-bit twin's layout: the same tables behind a wider header.
    PeLayout wide = layout;
    wide.machine = kMachineAmd64;
    wide.characteristics = 0x2022;
    wide.pe32Plus = true;
    const PeImage twin(BuildPeImage(wide).bytes);
    EXPECT_TRUE(twin.IsPe32Plus());
    EXPECT_FALSE(image.IsPe32Plus());
    EXPECT_EQ(twin.Machine(), kMachineAmd64);
    EXPECT_EQ(twin.ExportNames(), layout.exports);
    EXPECT_EQ(twin.ImportedDlls(), layout.imports);
    EXPECT_EQ(twin.FindResource(ResourceName::Named("PIPL"), ResourceName::Id(16000), 1033), Data("property list"));

    layout.characteristics = 0x0102;
    layout.exports.clear();
    layout.imports.clear();
    const PeImage program(BuildPeImage(layout).bytes);
    EXPECT_FALSE(program.IsDll());
    EXPECT_TRUE(program.ExportNames().empty());
    EXPECT_TRUE(program.ImportedDlls().empty());
}

TEST(PeImage, FindsResourcesByTypeNameAndLanguage) {
    const PeImage image(BuildPeImage(SampleLayout()).bytes);
    EXPECT_EQ(image.Resources().size(), 6u);
    struct Case {
        ResourceName type, name;
        uint16_t language;
        const char* expected;  // null: not there
    } cases[] = {
        {ResourceName::Named("PIPL"), ResourceName::Id(16000), 1033, "property list"},
        {ResourceName::Named("pipl"), ResourceName::Id(16000), 1033, "property list"},  // as Windows: any case
        {ResourceName::Named("PIPL"), ResourceName::Id(16001), 1033, nullptr},
        {ResourceName::Id(kResourceDialog), ResourceName::Id(16001), 1033, "mode"},
        {ResourceName::Id(kResourceDialog), ResourceName::Id(16001), 1031, "Modus"},
        {ResourceName::Id(kResourceDialog), ResourceName::Id(16001), 1036, nullptr},
        {ResourceName::Id(kResourceDialog), ResourceName::Named("about"), 1033, "named"},
        // A type named "5" is not the dialog type 5, and the other way round.
        {ResourceName::Named("5"), ResourceName::Id(16000), 1033, "a type named 5"},
        {ResourceName::Id(kResourceDialog), ResourceName::Id(16000), 1033, "about"},
        {ResourceName::Id(kResourceString), ResourceName::Id(16000), 1033, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type.Text() + " " + c.name.Text() + " " + std::to_string(c.language));
        const auto found = image.FindResource(c.type, c.name, c.language);
        ASSERT_EQ(found.has_value(), c.expected != nullptr);
        if (found) {
            EXPECT_EQ(*found, Data(c.expected));
        }
    }
}

TEST(PeImage, RejectsWhatIsNotAPe32Image) {
    const std::vector<uint8_t> sound = BuildPeImage(SampleLayout()).bytes;
    const std::size_t pe = 0x40;
    const std::size_t optional = pe + 24;
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    } cases[] = {
        {"no MZ", [](std::vector<uint8_t>& b) { b[0] = 'X'; }},
        {"header offset past the end", [](std::vector<uint8_t>& b) { Poke32(b, 0x3C, 0xFFFFFFF0u); }},
        {"header offset at the end", [](std::vector<uint8_t>& b) { Poke32(b, 0x3C, static_cast<uint32_t>(b.size() - 4)); }},
        {"no PE signature", [&](std::vector<uint8_t>& b) { b[pe + 1] = 'X'; }},
        {"unknown optional header", [&](std::vector<uint8_t>& b) { b[optional + 1] = 0x03; }},
        {"optional header too short", [&](std::vector<uint8_t>& b) { b[pe + 20] = 64; }},
        {"PE32+ magic in a PE32-sized header", [&](std::vector<uint8_t>& b) { b[optional + 1] = 0x02; }},
        {"too many directories", [&](std::vector<uint8_t>& b) { Poke32(b, optional + 92, 0x10000000u); }},
        {"section table past the end", [&](std::vector<uint8_t>& b) { b[pe + 6] = 90; }},
        {"huge section count", [&](std::vector<uint8_t>& b) { b[pe + 6] = 0xFF; b[pe + 7] = 0xFF; }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = sound;
        c.damage(bytes);
        EXPECT_THROW(PeImage{bytes}, PeFormatError) << c.what;
    }
}

TEST(PeImage, DamagedTablesRaiseErrors) {
    const BuiltImage sound = BuildPeImage(SampleLayout());
    const std::size_t exports = sound.exportDirectory;
    const std::size_t resources = sound.resourceDirectory;
    const std::size_t section = sound.sectionData;
    const std::size_t end = sound.bytes.size();
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    } cases[] = {
        {"export directory outside", [&](std::vector<uint8_t>& b) { Poke32(b, 0x40 + 24 + 96, 0x7FFFFFF0u); }},
        // Where size_t is 32 bits, the raw offset plus the offset into the
        // section wraps round to a small offset inside the file.
        {"section data 4 GiB into the file", [&](std::vector<uint8_t>& b) { Poke32(b, 0x40 + 24 + 224 + 20, 0xFFFFFF00u); }},
        {"export count huge", [&](std::vector<uint8_t>& b) { Poke32(b, exports + 24, 0x40000001u); }},
        {"export count past the section", [&](std::vector<uint8_t>& b) { Poke32(b, exports + 24, 2000); }},
        {"export name outside", [&](std::vector<uint8_t>& b) {
             Poke32(b, section + (Peek32(b, exports + 32) - sound.sectionRva), 0xFFFFFFFFu);
         }},
        {"import descriptors overwritten", [&](std::vector<uint8_t>& b) {
             for (std::size_t at = sound.importDirectory; at < end; ++at) b[at] = 'A';
         }},
        {"unterminated name at the section's end", [&](std::vector<uint8_t>& b) {
             for (std::size_t at = end - 40; at < end; ++at) b[at] = 'A';
             Poke32(b, sound.importDirectory + 12, sound.sectionRva + static_cast<uint32_t>(end - 40 - section));
         }},
        {"resource directory larger than its section", [&](std::vector<uint8_t>& b) {
             Poke32(b, 0x40 + 24 + 96 + 16 + 4, 0x100000u);
         }},
        {"resource entry count huge", [&](std::vector<uint8_t>& b) { b[resources + 14] = 0xFF; b[resources + 15] = 0xFF; }},
        {"subdirectory outside", [&](std::vector<uint8_t>& b) { Poke32(b, resources + 16 + 4, 0x8FFFFFF0u); }},
        {"subdirectory points back at the root", [&](std::vector<uint8_t>& b) { Poke32(b, resources + 16 + 4, 0x80000000u); }},
        {"data entry where a directory belongs", [&](std::vector<uint8_t>& b) {
             Poke32(b, resources + 16 + 4, Peek32(b, resources + 16 + 4) & 0x7FFFFFFFu);
         }},
        {"type name outside", [&](std::vector<uint8_t>& b) { Poke32(b, resources + 16, 0x80FFFFF0u); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = sound.bytes;
        c.damage(bytes);
        EXPECT_THROW(ReadAll(bytes), PeFormatError) << c.what;
    }
}

// A cut that loses any byte the reader needs raises an error; none reads
// past the end (the sanitizer build would stop there). Cuts into the
// section's trailing zero padding lose nothing and read as before.
TEST(PeImage, EveryTruncationIsSafe) {
    const BuiltImage sound = BuildPeImage(SampleLayout());
    const PeImage whole(sound.bytes);
    for (std::size_t size = 0; size < sound.bytes.size(); ++size) {
        const std::vector<uint8_t> cut(sound.bytes.begin(), sound.bytes.begin() + static_cast<std::ptrdiff_t>(size));
        if (size < sound.contentEnd) {
            EXPECT_THROW(ReadAll(cut), PeFormatError) << "cut at " << size;
            continue;
        }
        // The section header still claims the whole padding, so only reads
        // that stay inside the file can succeed: all of them do here.
        const PeImage image(cut);
        EXPECT_EQ(image.ExportNames(), whole.ExportNames()) << "cut at " << size;
        EXPECT_EQ(image.FindResource(ResourceName::Named("PIPL"), ResourceName::Id(16000), 1033),
                  whole.FindResource(ResourceName::Named("PIPL"), ResourceName::Id(16000), 1033));
    }
}
