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
#if defined(__SANITIZE_ADDRESS__)
    // LeakSanitizer looks for pointers only in modules still loaded: once the
    // module is unloaded, the emergency exception pool of the C++ runtime
    // linked into it (kept for the module's life by design) shows as a leak.
    (void)module;
#else
    delete module;
#endif
    return result;
}
