#include "PeImage.h"

#include <fstream>
#include <iterator>

#include "host/common/CheckedSize.h"

namespace {
constexpr uint16_t kPe32Magic = 0x010B;
constexpr uint16_t kPe32PlusMagic = 0x020B;
constexpr std::size_t kMaxSections = 96;  // what the Windows loader accepts
constexpr std::size_t kMaxNameLength = 4096;
constexpr uint32_t kHighBit = 0x80000000u;

enum DirectoryIndex { kExportDirectory = 0, kImportDirectory = 1, kResourceDirectory = 2 };

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

std::string Utf16ToUtf8(const ByteView& bytes, std::size_t offset, std::size_t units) {
    if (units > bytes.Size() / 2) throw PeFormatError("a UTF-16 string lies outside the data");
    bytes.Require(offset, units * 2, "a UTF-16 string");
    std::string text;
    for (std::size_t i = 0; i < units; ++i) {
        uint32_t c = bytes.U16(offset + 2 * i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
            const uint32_t low = bytes.U16(offset + 2 * (i + 1));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = '?';
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | c >> 6);
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | c >> 12);
            text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | c >> 18);
            text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

bool ResourceName::Matches(const ResourceName& other) const {
    if (IsId() != other.IsId()) return false;
    if (IsId()) return id == other.id;
    if (name.size() != other.name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (AsciiUpper(name[i]) != AsciiUpper(other.name[i])) return false;
    return true;
}

std::string ResourceName::Text() const { return IsId() ? std::to_string(id) : "\"" + name + "\""; }

uint32_t PeImage::ComputedCheckSum() const {
    // Windows' sum: the file's 16-bit words added with the carries folded
    // back in, the checksum field counted as zero, plus the file's length.
    uint32_t sum = 0;
    for (std::size_t i = 0; i < bytes_.size(); i += 2) {
        if (i + 2 > checkSumOffset_ && i < checkSumOffset_ + 4) continue;
        sum += bytes_[i] | (i + 1 < bytes_.size() ? bytes_[i + 1] << 8 : 0);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<uint32_t>(((sum & 0xFFFF) + (sum >> 16)) + bytes_.size());
}

PeImage PeImage::FromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PeFormatError("cannot open " + path);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return PeImage(std::move(bytes));
}

PeImage::PeImage(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
    const ByteView file = View();
    if (file.Size() < 64 || file.U16(0) != 0x5A4D) throw PeFormatError("no MZ header");
    const std::size_t pe = file.U32(0x3C);
    if (!file.Holds(pe, 24) || file.U32(pe) != 0x00004550) throw PeFormatError("no PE signature");
    machine_ = file.U16(pe + 4);
    const std::size_t sectionCount = file.U16(pe + 6);
    const std::size_t optionalSize = file.U16(pe + 20);
    characteristics_ = file.U16(pe + 22);

    const std::size_t optional = pe + 24;
    if (!file.Holds(optional, optionalSize) || optionalSize < 2) throw PeFormatError("no optional header");
    const uint16_t magic = file.U16(optional);
    if (magic != kPe32Magic && magic != kPe32PlusMagic) throw PeFormatError("neither a PE32 nor a PE32+ image");
    pe32Plus_ = magic == kPe32PlusMagic;
    optional_ = optional;
    checkSumOffset_ = optional + 64;
    // The 64-bit header's wider image base and stack fields move the
    // directories 16 bytes further.
    const std::size_t directories = pe32Plus_ ? 112 : 96;
    if (optionalSize < directories) throw PeFormatError("optional header too small");
    const std::size_t directoryCount = file.U32(optional + directories - 4);
    if (directoryCount > (optionalSize - directories) / 8)
        throw PeFormatError("data directories overrun the optional header");
    for (std::size_t i = 0; i < directoryCount; ++i)
        directories_.push_back({file.U32(optional + directories + 8 * i), file.U32(optional + directories + 4 + 8 * i)});

    if (sectionCount > kMaxSections) throw PeFormatError("too many sections");
    const std::size_t table = optional + optionalSize;
    file.Require(table, sectionCount * 40, "the section table");
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = table + 40 * i;
        PeSection section;
        for (std::size_t c = 0; c < 8 && file.U8(at + c) != 0; ++c) section.name += static_cast<char>(file.U8(at + c));
        section.virtualSize = file.U32(at + 8);
        section.virtualAddress = file.U32(at + 12);
        section.rawSize = file.U32(at + 16);
        section.rawOffset = file.U32(at + 20);
        section.characteristics = file.U32(at + 36);
        sections_.push_back(section);
    }
}

std::size_t PeImage::FileOffset(uint32_t rva, uint32_t size) const {
    for (const PeSection& section : sections_) {
        if (rva < section.virtualAddress) continue;
        const uint32_t into = rva - section.virtualAddress;
        // Only what the file holds: bytes past the raw data exist in memory
        // as zeros but cannot be read from the file.
        if (into >= section.rawSize || size > section.rawSize - into) continue;
        // Summed in 64 bits: a raw offset near 4 GiB plus `into` wraps a
        // 32-bit size_t back into the file.
        const uint64_t offset = Sum64(section.rawOffset, into);
        if (!RangeInside(offset, size, bytes_.size())) throw PeFormatError("section data lies outside the data");
        return static_cast<std::size_t>(offset);
    }
    throw PeFormatError("RVA " + std::to_string(rva) + " (+" + std::to_string(size) + ") is in no section's data");
}

std::vector<uint8_t> PeImage::Bytes(uint32_t rva, uint32_t size) const { return View().Copy(FileOffset(rva, size), size); }

std::string PeImage::CString(uint32_t rva) const {
    const std::size_t start = FileOffset(rva, 1);
    const ByteView file = View();
    std::string text;
    for (std::size_t at = start; text.size() <= kMaxNameLength; ++at) {
        // Stay inside the section that holds the start, and inside the
        // 32-bit address space: a name running past it must not wrap round
        // to a low address.
        const uint64_t next = Sum64(rva, at - start);
        if (next > UINT32_MAX) break;
        FileOffset(static_cast<uint32_t>(next), 1);
        const uint8_t c = file.U8(at);
        if (c == 0) return text;
        text += static_cast<char>(c);
    }
    throw PeFormatError("a name has no terminator");
}

std::vector<std::string> PeImage::ExportNames() const {
    std::vector<std::string> names;
    if (directories_.size() <= kExportDirectory || directories_[kExportDirectory].rva == 0) return names;
    const ByteView file = View();
    const std::size_t directory = FileOffset(directories_[kExportDirectory].rva, 40);
    const uint32_t count = file.U32(directory + 24);
    const uint32_t table = file.U32(directory + 32);
    if (count > file.Size() / 4) throw PeFormatError("export name count exceeds the file");
    const std::size_t at = FileOffset(table, count * 4);
    for (uint32_t i = 0; i < count; ++i) names.push_back(CString(file.U32(at + 4 * i)));
    return names;
}

std::vector<PeImage::ImportDescriptor> PeImage::ImportDescriptors() const {
    std::vector<ImportDescriptor> descriptors;
    if (directories_.size() <= kImportDirectory || directories_[kImportDirectory].rva == 0) return descriptors;
    const ByteView file = View();
    // Descriptors of 20 bytes up to an all-zero one; each is looked up on
    // its own, so a list that runs off its section stops with an error.
    for (uint64_t rva = directories_[kImportDirectory].rva;; rva += 20) {
        if (rva > UINT32_MAX) break;  // the list ran past the address space
        const std::size_t at = FileOffset(static_cast<uint32_t>(rva), 20);
        bool empty = true;
        for (std::size_t i = 0; i < 20; i += 4) empty = empty && file.U32(at + i) == 0;
        if (empty) return descriptors;
        // The lookup table names the functions; a linker that writes none
        // leaves the names in the address table, which the loader
        // overwrites only in memory.
        const uint32_t lookup = file.U32(at) != 0 ? file.U32(at) : file.U32(at + 16);
        descriptors.push_back({CString(file.U32(at + 12)), lookup});
        if (descriptors.size() > file.Size() / 20) break;
    }
    throw PeFormatError("import list does not end");
}

std::vector<std::string> PeImage::ImportedDlls() const {
    std::vector<std::string> dlls;
    for (const ImportDescriptor& descriptor : ImportDescriptors()) dlls.push_back(descriptor.dll);
    return dlls;
}

std::vector<PeImport> PeImage::ImportedFunctions() const {
    std::vector<PeImport> imports;
    const ByteView file = View();
    const uint32_t width = pe32Plus_ ? 8 : 4;
    for (const ImportDescriptor& descriptor : ImportDescriptors()) {
        if (descriptor.lookupTable == 0) continue;
        // Entries up to a zero one; the top bit marks an import by ordinal,
        // otherwise the low 31 bits are the address of a hint and a name.
        for (uint64_t rva = descriptor.lookupTable;; rva += width) {
            if (rva > UINT32_MAX || imports.size() > file.Size() / 4) throw PeFormatError("import table does not end");
            const std::size_t at = FileOffset(static_cast<uint32_t>(rva), width);
            const uint32_t low = file.U32(at);
            const uint32_t high = pe32Plus_ ? file.U32(at + 4) : low;
            if (low == 0 && high == 0) break;
            if ((high & kHighBit) != 0)
                imports.push_back({descriptor.dll, "#" + std::to_string(low & 0xFFFF)});
            else
                imports.push_back({descriptor.dll, CString((low & ~kHighBit) + 2)});  // past the 2-byte hint
        }
    }
    return imports;
}

ResourceName PeImage::ReadResourceName(std::size_t base, uint32_t size, uint32_t field) const {
    if ((field & kHighBit) == 0) {
        if (field > 0xFFFF) throw PeFormatError("resource id out of range");
        return ResourceName::Id(static_cast<uint16_t>(field));
    }
    const uint32_t offset = field & ~kHighBit;
    if (offset > size || size - offset < 2) throw PeFormatError("resource name outside the resource data");
    const std::size_t units = View().U16(base + offset);
    if (units == 0 || units > kMaxNameLength || (size - offset - 2) / 2 < units)
        throw PeFormatError("resource name length out of range");
    return ResourceName::Named(Utf16ToUtf8(View(), base + offset + 2, units));
}

void PeImage::ReadResourceDirectory(std::size_t base, uint32_t size, uint32_t offset, int level, ResourceEntry& entry,
                                    std::vector<ResourceEntry>& out, std::size_t& visited) const {
    const ByteView file = View();
    if (offset > size || size - offset < 16) throw PeFormatError("resource directory outside the resource data");
    const std::size_t count = static_cast<std::size_t>(file.U16(base + offset + 12)) + file.U16(base + offset + 14);
    if (count > (size - offset - 16) / 8) throw PeFormatError("resource entries outside the resource data");
    for (std::size_t i = 0; i < count; ++i) {
        // Directories that point back at shared subdirectories could make
        // the walk visit more entries than the data can hold.
        if (++visited > size / 8) throw PeFormatError("resource directories loop");
        const std::size_t at = base + offset + 16 + 8 * i;
        const uint32_t nameField = file.U32(at);
        const uint32_t target = file.U32(at + 4);
        const bool subdirectory = (target & kHighBit) != 0;
        if (subdirectory != (level < 3)) throw PeFormatError("resource tree is not type/name/language");
        if (level == 1) entry.type = ReadResourceName(base, size, nameField);
        if (level == 2) entry.name = ReadResourceName(base, size, nameField);
        if (level < 3) {
            ReadResourceDirectory(base, size, target & ~kHighBit, level + 1, entry, out, visited);
            continue;
        }
        if (nameField > 0xFFFF) throw PeFormatError("resource language is not an id");
        if (target > size || size - target < 16) throw PeFormatError("resource data entry outside the resource data");
        entry.language = static_cast<uint16_t>(nameField);
        entry.dataRva = file.U32(base + target);
        entry.dataSize = file.U32(base + target + 4);
        out.push_back(entry);
    }
}

std::vector<ResourceEntry> PeImage::Resources() const {
    std::vector<ResourceEntry> entries;
    if (directories_.size() <= kResourceDirectory || directories_[kResourceDirectory].rva == 0) return entries;
    const Directory& directory = directories_[kResourceDirectory];
    const std::size_t base = FileOffset(directory.rva, directory.size);
    ResourceEntry entry;
    std::size_t visited = 0;
    ReadResourceDirectory(base, directory.size, 0, 1, entry, entries, visited);
    return entries;
}

std::optional<std::vector<uint8_t>> PeImage::FindResource(const ResourceName& type, const ResourceName& name,
                                                          uint16_t language) const {
    for (const ResourceEntry& entry : Resources())
        if (entry.type.Matches(type) && entry.name.Matches(name) && entry.language == language)
            return Bytes(entry.dataRva, entry.dataSize);
    return std::nullopt;
}
