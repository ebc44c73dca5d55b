#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>

#include "ModuleUnderTest.h"

namespace {
// ctest treats this exit code as "skipped": the native build checks a
// Windows build's module only when one has been built.
constexpr int kSkipped = 77;

std::string modulePath;
std::vector<uint8_t> moduleBytes;
std::unique_ptr<PeImage> module;
uint16_t machine = kMachineI386;
std::map<std::string, uint16_t> reviewedImports;

// A Unix path as Wine sees it: the Unix root is drive Z:.
std::string OpenablePath(const std::string& path) {
#ifdef _WIN32
    if (!path.empty() && path[0] == '/') return "Z:" + path;
#endif
    return path;
}
}  // namespace

const std::string& ModulePath() { return modulePath; }
const std::vector<uint8_t>& ModuleBytes() { return moduleBytes; }
const PeImage& Module() { return *module; }
uint16_t ExpectedMachine() { return machine; }
uint16_t WindowsFloor() { return machine == kMachineAmd64 ? LUMACUT_WINDOWS_FLOOR_AMD64 : LUMACUT_WINDOWS_FLOOR_I386; }
const std::map<std::string, uint16_t>& ReviewedImports() { return reviewedImports; }

namespace {
// Lines "dll!function version", the version as _WIN32_WINNT writes it;
// "#" starts a comment. False, with the line, on anything else.
bool ReadReviewedImports(const std::string& path) {
    std::ifstream in(OpenablePath(path));
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream fields(line.substr(0, line.find('#')));
        std::string name, version, rest;
        if (!(fields >> name)) continue;
        unsigned long value = 0;
        if (fields >> version) value = std::strtoul(version.c_str(), nullptr, 16);
        if (name.find('!') == std::string::npos || value == 0 || value > 0xFFFF || fields >> rest) {
            std::printf("%s:%d: not \"dll!function version\": %s\n", path.c_str(), number, line.c_str());
            return false;
        }
        reviewedImports[name] = static_cast<uint16_t>(value);
    }
    if (reviewedImports.empty()) std::printf("no reviewed imports in %s\n", path.c_str());
    return !reviewedImports.empty();
}
}  // namespace

std::vector<uint8_t> EnglishResource(const ResourceName& type, uint16_t id) {
    const auto found = module->FindResource(type, ResourceName::Id(id), 1033);
    if (!found) {
        ADD_FAILURE() << "no resource " << type.Text() << " " << id << " in language 1033";
        return {};
    }
    return *found;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--module=", 9) == 0) modulePath = argv[i] + 9;
        else if (std::strcmp(argv[i], "--machine=amd64") == 0) machine = kMachineAmd64;
    std::ifstream in(OpenablePath(modulePath), std::ios::binary);
    if (!in) {
        std::printf("no module at \"%s\": build its Windows preset (win32 or win64) first; skipped\n", modulePath.c_str());
        return kSkipped;
    }
    if (!ReadReviewedImports(LUMACUT_REVIEWED_IMPORTS)) return 1;
    std::printf("checking %s\n", modulePath.c_str());
    moduleBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    try {
        module = std::make_unique<PeImage>(moduleBytes);
    } catch (const PeFormatError& error) {
        std::printf("%s is not a PE32 image: %s\n", modulePath.c_str(), error.what());
        return 1;
    }
    return RUN_ALL_TESTS();
}
