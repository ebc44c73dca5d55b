#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PluginUnderTest.h"

namespace {
std::string modulePath;
PluginModule* module = nullptr;
}  // namespace

const std::string& PluginPath() { return modulePath; }

const PluginModule& PluginUnderTest() {
    if (module == nullptr) {
        module = new PluginModule;
        module->Load(modulePath);
    }
    return *module;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--module=", 9) == 0) modulePath = argv[i] + 9;
    const int result = RUN_ALL_TESTS();
    delete module;
    return result;
}
