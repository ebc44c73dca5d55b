// Where the stand-in finds the table of a suite the plug-in asks for: by
// its name and version, in a list beside the tables it names.
#ifndef LUMACUT_HOST_SUITE_TABLES_H
#define LUMACUT_HOST_SUITE_TABLES_H

#include <cstddef>
#include <cstdint>
#include <string>

struct SuiteEntry {
    const char* identifier;
    int32_t version;
    const void* table;
};

// Null when no entry has both the name and the version.
template <std::size_t N>
const void* FindSuiteTable(const SuiteEntry (&entries)[N], const std::string& identifier, int32_t version) {
    for (const SuiteEntry& entry : entries)
        if (identifier == entry.identifier && version == entry.version) return entry.table;
    return nullptr;
}

#endif
