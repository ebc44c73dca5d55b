#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "ModuleUnderTest.h"

namespace {
// ctest treats this exit code as "skipped": the native build checks a
// Windows build's module only when one has been built.
constexpr int kSkipped = 77;

std::string modulePath;
std::vector<uint8_t> moduleBytes;
std::unique_ptr<PeImage> module;
uint16_t machine = kMachineI386;

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
