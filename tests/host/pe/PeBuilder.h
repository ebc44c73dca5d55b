// Builds small PE32 images in memory, with an export table, an import table
// and a resource tree, so the reader can be tried on known layouts and on
// damaged copies of them.
#ifndef LUMACUT_TESTS_RESOURCES_PE_BUILDER_H
#define LUMACUT_TESTS_RESOURCES_PE_BUILDER_H

#include <cstdint>
#include <string>
#include <vector>

#include "host/pe/PeImage.h"

struct BuiltResource {
    ResourceName type;
    ResourceName name;
    uint16_t language;
    std::vector<uint8_t> data;
};

struct BuiltImage {
    std::vector<uint8_t> bytes;
    // File offsets of the pieces, for tests that damage them.
    std::size_t peHeader = 0;
    std::size_t exportDirectory = 0;
    std::size_t importDirectory = 0;
    std::size_t resourceDirectory = 0;
    std::size_t sectionData = 0;
    std::size_t contentEnd = 0;  // where the section's zero padding starts
    uint32_t sectionRva = 0;
};

struct PeLayout {
    uint16_t machine = kMachineI386;
    uint16_t characteristics = 0x2102;  // executable, 32-bit, DLL
    bool pe32Plus = false;
    std::string dllName = "built.dll";
    std::vector<std::string> exports;
    std::vector<std::string> imports;
    std::vector<BuiltResource> resources;
};

BuiltImage BuildPeImage(const PeLayout& layout);

#endif
