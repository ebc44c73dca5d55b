// The built ZYT_Lumacut.8li, read as a file (not loaded), for the checks
// of what it shows Windows and the host: exports, imports and resources.
#ifndef LUMACUT_TESTS_MODULE_MODULE_UNDER_TEST_H
#define LUMACUT_TESTS_MODULE_MODULE_UNDER_TEST_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/pe/PeImage.h"

const std::string& ModulePath();
const std::vector<uint8_t>& ModuleBytes();
const PeImage& Module();
// kMachineI386 for the 32-bit module, kMachineAmd64 for the x64 one.
uint16_t ExpectedMachine();
// The oldest Windows the module must load on, as _WIN32_WINNT writes it.
uint16_t WindowsFloor();
// The functions a module may import ("kernel32.dll!GetLastError"), each
// with the first Windows that has it (reviewed-imports.txt).
const std::map<std::string, uint16_t>& ReviewedImports();

// A resource of the module in English (United States); the test fails if
// it is missing.
std::vector<uint8_t> EnglishResource(const ResourceName& type, uint16_t id);

#endif
