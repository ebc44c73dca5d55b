#include "PeBuilder.h"

#include <map>

namespace {
constexpr uint32_t kSectionRva = 0x1000;
constexpr uint32_t kSectionFileOffset = 0x200;

void Put16(std::vector<uint8_t>& out, std::size_t at, uint32_t value) {
    if (out.size() < at + 2) out.resize(at + 2);
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}
void Put32(std::vector<uint8_t>& out, std::size_t at, uint32_t value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}
void Append(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}
void Align(std::vector<uint8_t>& out, std::size_t to) {
    while (out.size() % to != 0) out.push_back(0);
}

// Three levels, type / name / language, each directory's named entries
// first, as the format asks. Offsets are relative to the tree's start.
std::vector<uint8_t> ResourceTree(const std::vector<BuiltResource>& resources, uint32_t treeRva) {
    using Key = std::pair<int, std::string>;  // named first: -1 sorts before ids
    auto key = [](const ResourceName& n) { return n.IsId() ? Key{n.id, ""} : Key{-1, n.name}; };
    std::map<Key, std::map<Key, std::map<uint16_t, const BuiltResource*>>> tree;
    for (const BuiltResource& r : resources) tree[key(r.type)][key(r.name)][r.language] = &r;

    std::vector<uint8_t> out;
    std::vector<std::pair<std::size_t, const ResourceName*>> namesToWrite;
    std::vector<std::pair<std::size_t, const BuiltResource*>> leaves;
    auto directory = [&](std::size_t named, std::size_t ids) {
        const std::size_t at = out.size();
        out.resize(at + 16 + 8 * (named + ids), 0);
        Put16(out, at + 12, static_cast<uint32_t>(named));
        Put16(out, at + 14, static_cast<uint32_t>(ids));
        return at;
    };
    auto setName = [&](std::size_t entry, const ResourceName& name) {
        if (name.IsId()) Put32(out, entry, name.id);
        else namesToWrite.push_back({entry, &name});
    };
    auto countNamed = [](const auto& level) {
        std::size_t named = 0;
        for (const auto& item : level) named += item.first.first < 0 ? 1 : 0;
        return named;
    };
    const std::size_t root = directory(countNamed(tree), tree.size() - countNamed(tree));
    std::size_t t = 0;
    for (const auto& type : tree) {
        const std::size_t typeEntry = root + 16 + 8 * t++;
        setName(typeEntry, type.second.begin()->second.begin()->second->type);
        const std::size_t names = directory(countNamed(type.second), type.second.size() - countNamed(type.second));
        Put32(out, typeEntry + 4, 0x80000000u | static_cast<uint32_t>(names));
        std::size_t n = 0;
        for (const auto& name : type.second) {
            const std::size_t nameEntry = names + 16 + 8 * n++;
            setName(nameEntry, name.second.begin()->second->name);
            const std::size_t languages = directory(0, name.second.size());
            Put32(out, nameEntry + 4, 0x80000000u | static_cast<uint32_t>(languages));
            std::size_t l = 0;
            for (const auto& language : name.second) {
                Put32(out, languages + 16 + 8 * l, language.first);
                leaves.push_back({languages + 16 + 8 * l++, language.second});
            }
        }
    }
    std::vector<std::size_t> dataEntries;
    for (const auto& leaf : leaves) {
        const std::size_t dataEntry = out.size();
        out.resize(dataEntry + 16, 0);
        Put32(out, leaf.first + 4, static_cast<uint32_t>(dataEntry));
        Put32(out, dataEntry + 4, static_cast<uint32_t>(leaf.second->data.size()));
        dataEntries.push_back(dataEntry);
    }
    for (const auto& name : namesToWrite) {
        Put32(out, name.first, 0x80000000u | static_cast<uint32_t>(out.size()));
        const std::size_t at = out.size();
        Put16(out, at, static_cast<uint32_t>(name.second->name.size()));
        for (char c : name.second->name) Put16(out, out.size(), static_cast<uint8_t>(c));
    }
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        Align(out, 4);
        Put32(out, dataEntries[i], treeRva + static_cast<uint32_t>(out.size()));
        out.insert(out.end(), leaves[i].second->data.begin(), leaves[i].second->data.end());
    }
    return out;
}
}  // namespace

BuiltImage BuildPeImage(const PeLayout& layout) {
    BuiltImage image;
    std::vector<uint8_t> section;
    auto rva = [&]() { return kSectionRva + static_cast<uint32_t>(section.size()); };

    // Exports: directory, name table, names.
    const uint32_t exportRva = rva();
    section.resize(40, 0);
    const uint32_t dllNameRva = rva();
    Append(section, layout.dllName);
    Align(section, 4);
    const uint32_t nameTableRva = rva();
    const std::size_t nameTable = section.size();
    section.resize(nameTable + 4 * layout.exports.size(), 0);
    for (std::size_t i = 0; i < layout.exports.size(); ++i) {
        Put32(section, nameTable + 4 * i, rva());
        Append(section, layout.exports[i]);
    }
    Put32(section, 12, dllNameRva);
    Put32(section, 24, static_cast<uint32_t>(layout.exports.size()));
    Put32(section, 32, nameTableRva);
    Align(section, 4);

    // Imports: descriptors up to an all-zero one, then the DLL names.
    const uint32_t importRva = rva();
    const std::size_t descriptors = section.size();
    section.resize(descriptors + 20 * (layout.imports.size() + 1), 0);
    for (std::size_t i = 0; i < layout.imports.size(); ++i) {
        Put32(section, descriptors + 20 * i + 12, rva());
        Append(section, layout.imports[i]);
    }
    Align(section, 4);

    const uint32_t resourceRva = rva();
    const std::vector<uint8_t> tree = ResourceTree(layout.resources, resourceRva);
    section.insert(section.end(), tree.begin(), tree.end());
    const std::size_t content = section.size();
    Align(section, 0x200);

    std::vector<uint8_t>& out = image.bytes;
    out.assign(kSectionFileOffset, 0);
    Put16(out, 0, 0x5A4D);  // "MZ"
    const std::size_t pe = 0x40;
    Put32(out, 0x3C, pe);
    Put32(out, pe, 0x00004550);  // "PE\0\0"
    Put16(out, pe + 4, layout.machine);
    Put16(out, pe + 6, 1);
    const std::size_t optionalSize = layout.pe32Plus ? 240 : 224;
    const std::size_t directoryTable = layout.pe32Plus ? 112 : 96;
    Put16(out, pe + 20, static_cast<uint32_t>(optionalSize));
    Put16(out, pe + 22, layout.characteristics);
    const std::size_t optional = pe + 24;
    Put16(out, optional, layout.pe32Plus ? 0x020B : 0x010B);
    Put32(out, optional + directoryTable - 4, 16);
    const uint32_t directories[3][2] = {{exportRva, 40},
                                        {importRva, static_cast<uint32_t>(20 * (layout.imports.size() + 1))},
                                        {resourceRva, static_cast<uint32_t>(tree.size())}};
    for (int i = 0; i < 3; ++i) {
        Put32(out, optional + directoryTable + 8 * i, directories[i][0]);
        Put32(out, optional + directoryTable + 4 + 8 * i, directories[i][1]);
    }
    const std::size_t header = optional + optionalSize;
    const char name[8] = {'.', 'r', 'd', 'a', 't', 'a', 0, 0};
    for (int i = 0; i < 8; ++i) out[header + i] = static_cast<uint8_t>(name[i]);
    Put32(out, header + 8, static_cast<uint32_t>(section.size()));
    Put32(out, header + 12, kSectionRva);
    Put32(out, header + 16, static_cast<uint32_t>(section.size()));
    Put32(out, header + 20, kSectionFileOffset);
    Put32(out, header + 36, 0x40000040);  // initialised data, readable
    out.insert(out.end(), section.begin(), section.end());

    image.peHeader = pe;
    image.sectionData = kSectionFileOffset;
    image.sectionRva = kSectionRva;
    image.contentEnd = kSectionFileOffset + content;
    image.exportDirectory = kSectionFileOffset + (exportRva - kSectionRva);
    image.importDirectory = kSectionFileOffset + (importRva - kSectionRva);
    image.resourceDirectory = kSectionFileOffset + (resourceRva - kSectionRva);
    return image;
}
