#include <windows.h>

#include "PluginModule.h"

namespace {
// Wine maps the Unix root to drive Z:, so a build path can be handed over as
// it is given on the command line.
std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string converted = "Z:" + path;
    for (char& c : converted)
        if (c == '/') c = '\\';
    return converted;
}
}  // namespace

bool PluginModule::Load(const std::string& path) {
    Unload();
    HMODULE module = LoadLibraryA(WindowsPath(path).c_str());
    if (module == nullptr) {
        error_ = "cannot load " + path + ": error " + std::to_string(GetLastError());
        return false;
    }
    handle_ = module;
    return TakeEntryPoint(reinterpret_cast<void*>(GetProcAddress(module, kEntryPointName)), path);
}

void PluginModule::Unload() {
    if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
    entry_ = nullptr;
}
