// What the built module shows Windows and the host before any of its code
// runs: its exports, the DLLs it needs, and its resources byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "ExpectedResources.h"
#include "ModuleUnderTest.h"
#include "host/pe/ResourceFormats.h"

namespace {
std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}
}  // namespace

TEST(Module, IsADllForItsMachine) {
    EXPECT_EQ(Module().Machine(), ExpectedMachine());
    EXPECT_EQ(Module().IsPe32Plus(), ExpectedMachine() == kMachineAmd64);
    EXPECT_TRUE(Module().IsDll());
    // Kept correct, not zeroed, also once a signature is appended: some
    // tools refuse a module whose sum does not match.
    EXPECT_NE(Module().StoredCheckSum(), 0u);
    EXPECT_EQ(Module().StoredCheckSum(), Module().ComputedCheckSum());
    // A loader refuses a module that asks for a newer Windows than it is.
    EXPECT_EQ(Module().Subsystem(), kSubsystemWindowsGui);
    EXPECT_LE(Module().OperatingSystemVersion(), WindowsFloor());
    EXPECT_LE(Module().SubsystemVersion(), WindowsFloor());
}

// The dialog procedure keeps its stdcall name on i386; x64 has one calling
// convention and no decoration.
TEST(Module, ExportsTheEntryPointAndTheDialogProcedureOnly) {
    std::vector<std::string> names = Module().ExportNames();
    std::sort(names.begin(), names.end());
    const std::string dialogProcedure = ExpectedMachine() == kMachineAmd64 ? "GenericProc" : "_GenericProc@16";
    EXPECT_EQ(names, (std::vector<std::string>{"AutoPluginMain", dialogProcedure}));
}

// A photographer's machine has Windows' own DLLs and nothing of the
// compiler's runtime, and maybe the oldest Windows the module is for. Wine
// exports every function of every version, so only the import table, held
// against the reviewed list, tells whether that Windows loads the module.
TEST(Module, ImportsOnlyReviewedFunctionsOfItsWindows) {
    const std::vector<PeImport> imports = Module().ImportedFunctions();
    EXPECT_FALSE(imports.empty());
    for (const PeImport& import : imports) {
        const std::string name = Lower(import.dll) + "!" + import.function;
        const auto reviewed = ReviewedImports().find(name);
        if (reviewed == ReviewedImports().end())
            ADD_FAILURE() << name << " is not on the reviewed list";
        else
            EXPECT_LE(reviewed->second, WindowsFloor()) << name << " is newer than the oldest Windows of the module";
    }
}

// Exactly the six resources the host and the dialogs use, all in English
// (United States): no version resource, no manifest.
TEST(Module, CarriesExactlyItsResources) {
    std::set<std::string> found;
    for (const ResourceEntry& entry : Module().Resources()) {
        EXPECT_EQ(entry.language, 1033) << entry.type.Text() << " " << entry.name.Text();
        EXPECT_FALSE(entry.type.IsId() && entry.type.id == kResourceVersion) << "a version resource";
        EXPECT_FALSE(entry.type.IsId() && entry.type.id == kResourceManifest) << "a manifest";
        found.insert(entry.type.Text() + " " + entry.name.Text());
    }
    const std::set<std::string> expected = {"\"PIPL\" 16000", "\"AETE\" 16000", "2 102",
                                            "5 16001",      "5 16000",       "6 1001"};
    EXPECT_EQ(found, expected);
}

TEST(Module, PropertyListAndTerminologyAreExact) {
    struct Case {
        const char* type;
        std::vector<uint8_t> expected;
    } cases[] = {{"PIPL", ExpectedPropertyList(ExpectedMachine())}, {"AETE", ExpectedTerminology()}};
    for (const Case& c : cases) {
        const std::vector<uint8_t> actual = EnglishResource(ResourceName::Named(c.type), 16000);
        ASSERT_EQ(actual.size(), c.expected.size()) << c.type;
        for (std::size_t i = 0; i < actual.size(); ++i)
            EXPECT_EQ(actual[i], c.expected[i]) << c.type << " differs at offset " << i;
    }
}

TEST(Module, LogoIsAnUncompressed24BitBitmapOf80By33) {
    const std::vector<uint8_t> bitmap = EnglishResource(ResourceName::Id(kResourceBitmap), 102);
    const BitmapInfo info = ParseBitmapInfo(bitmap);
    EXPECT_EQ(info.headerSize, 40u);
    EXPECT_EQ(info.width, 80);
    EXPECT_EQ(info.height, 33);
    EXPECT_EQ(info.planes, 1);
    EXPECT_EQ(info.bitCount, 24);
    EXPECT_EQ(info.compression, 0u);  // BI_RGB
    EXPECT_EQ(bitmap.size(), 40u + 80 * 3 * 33);
}

// Strings 16000 to 16015 share block 16000 / 16 + 1; 16000 is its first.
TEST(Module, AboutTextHasLineFeedsOnly) {
    const std::vector<uint8_t> block = EnglishResource(ResourceName::Id(kResourceString), 16000 / 16 + 1);
    const std::string text = StringTableEntry(block, 16000 % 16);
    EXPECT_EQ(text, ExpectedAboutText());
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6);
    // Shown through a buffer of 254 characters and a terminator.
    EXPECT_LE(text.size(), 254u);
}

// The reader on the real file, cut short at many places: it either reads
// everything or stops with an error.
TEST(Module, ReaderSurvivesTruncatedCopies) {
    const std::vector<uint8_t>& whole = ModuleBytes();
    // Every cut before the end of the last resource's data loses some of it.
    std::size_t resourcesEnd = 0;
    for (const ResourceEntry& entry : Module().Resources())
        resourcesEnd = std::max(resourcesEnd, Module().FileOffset(entry.dataRva, entry.dataSize) + entry.dataSize);
    ASSERT_GT(resourcesEnd, 0u);
    const std::size_t step = std::max<std::size_t>(1, whole.size() / 150);
    for (std::size_t size = 0; size < whole.size(); size += step) {
        bool rejected = false;
        try {
            const PeImage image(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)));
            image.ExportNames();
            image.ImportedFunctions();
            for (const ResourceEntry& entry : image.Resources()) image.Bytes(entry.dataRva, entry.dataSize);
        } catch (const PeFormatError&) {
            rejected = true;
        }
        if (size < resourcesEnd) {
            EXPECT_TRUE(rejected) << "cut at " << size;
        }
    }
}
