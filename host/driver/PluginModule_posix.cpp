#include <dlfcn.h>

#include "PluginModule.h"

bool PluginModule::Load(const std::string& path) {
    Unload();
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        error_ = "cannot load " + path + ": " + (why != nullptr ? why : "unknown error");
        return false;
    }
    return TakeEntryPoint(dlsym(handle_, kEntryPointName), path);
}

void PluginModule::Unload() {
    if (handle_ != nullptr) dlclose(handle_);
    handle_ = nullptr;
    entry_ = nullptr;
}
