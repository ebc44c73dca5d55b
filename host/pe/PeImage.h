// A reader for Windows modules (PE32, and PE32+ for the 64-bit twin):
// headers, sections, exports, imports and resources, to check what the built
// module shows the host and Windows. Every offset and count in the file is checked before it is used;
// a malformed image raises PeFormatError.
#ifndef LUMACUT_HOST_PE_IMAGE_H
#define LUMACUT_HOST_PE_IMAGE_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ByteReader.h"

constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kImageFileDll = 0x2000;
constexpr uint16_t kSubsystemWindowsGui = 2;

// Resource types of Windows that the module is checked for.
constexpr uint16_t kResourceBitmap = 2;
constexpr uint16_t kResourceDialog = 5;
constexpr uint16_t kResourceString = 6;
constexpr uint16_t kResourceVersion = 16;
constexpr uint16_t kResourceManifest = 24;

struct PeSection {
    std::string name;
    uint32_t virtualAddress = 0;
    uint32_t virtualSize = 0;
    uint32_t rawOffset = 0;
    uint32_t rawSize = 0;
    uint32_t characteristics = 0;
};

// A resource type or name: an integer id, or a string compared as Windows
// compares them (ASCII letters regardless of case).
struct ResourceName {
    static ResourceName Id(uint16_t id) { return ResourceName{id, {}}; }
    static ResourceName Named(std::string name) { return ResourceName{0, std::move(name)}; }
    bool IsId() const { return name.empty(); }
    bool Matches(const ResourceName& other) const;
    std::string Text() const;  // "16000" or "\"PIPL\""

    uint16_t id = 0;
    std::string name;
};

// One function a module imports; one imported by ordinal is named "#N".
struct PeImport {
    std::string dll;
    std::string function;
};

struct ResourceEntry {
    ResourceName type;
    ResourceName name;
    uint16_t language = 0;
    uint32_t dataRva = 0;
    uint32_t dataSize = 0;
};

class PeImage {
public:
    explicit PeImage(std::vector<uint8_t> bytes);
    static PeImage FromFile(const std::string& path);

    uint16_t Machine() const { return machine_; }
    uint16_t Characteristics() const { return characteristics_; }
    bool IsDll() const { return (characteristics_ & kImageFileDll) != 0; }
    bool IsPe32Plus() const { return pe32Plus_; }
    const std::vector<PeSection>& Sections() const { return sections_; }
    // The checksum the optional header holds, and the one the file's bytes
    // give; tools that check a module compare the two.
    uint32_t StoredCheckSum() const { return View().U32(checkSumOffset_); }
    uint32_t ComputedCheckSum() const;
    // What a loader compares with the running Windows, as _WIN32_WINNT
    // writes versions (major << 8 | minor): 0x0500 is Windows 2000.
    uint16_t OperatingSystemVersion() const { return Version(optional_ + 40); }
    uint16_t SubsystemVersion() const { return Version(optional_ + 48); }
    uint16_t Subsystem() const { return View().U16(optional_ + 68); }

    // The file offset of `size` bytes at `rva`, all inside one section's
    // data in the file.
    std::size_t FileOffset(uint32_t rva, uint32_t size) const;
    std::vector<uint8_t> Bytes(uint32_t rva, uint32_t size) const;

    std::vector<std::string> ExportNames() const;
    std::vector<std::string> ImportedDlls() const;
    std::vector<PeImport> ImportedFunctions() const;
    std::vector<ResourceEntry> Resources() const;
    std::optional<std::vector<uint8_t>> FindResource(const ResourceName& type, const ResourceName& name,
                                                     uint16_t language) const;

private:
    struct Directory {
        uint32_t rva = 0;
        uint32_t size = 0;
    };
    struct ImportDescriptor {
        std::string dll;
        uint32_t lookupTable = 0;  // 0: the descriptor lists no functions
    };
    std::string CString(uint32_t rva) const;
    uint16_t Version(std::size_t at) const { return static_cast<uint16_t>(View().U16(at) << 8 | View().U16(at + 2)); }
    std::vector<ImportDescriptor> ImportDescriptors() const;
    void ReadResourceDirectory(std::size_t base, uint32_t size, uint32_t offset, int level, ResourceEntry& entry,
                               std::vector<ResourceEntry>& out, std::size_t& visited) const;
    ResourceName ReadResourceName(std::size_t base, uint32_t size, uint32_t field) const;

    ByteView View() const { return ByteView(bytes_); }

    std::vector<uint8_t> bytes_;
    uint16_t machine_ = 0;
    uint16_t characteristics_ = 0;
    bool pe32Plus_ = false;
    std::size_t optional_ = 0;
    std::size_t checkSumOffset_ = 0;
    std::vector<PeSection> sections_;
    std::vector<Directory> directories_;
};

#endif
