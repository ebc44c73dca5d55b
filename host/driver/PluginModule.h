// Loads a plug-in module by path and finds its entry point: LoadLibraryA on
// Windows, dlopen natively.
#ifndef LUMACUT_HOST_PLUGIN_MODULE_H
#define LUMACUT_HOST_PLUGIN_MODULE_H

#include <string>

#include "entry/interface/HostInterface.h"

class PluginModule {
public:
    PluginModule() = default;
    ~PluginModule() { Unload(); }
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // False with Error() set when the module or its entry point is missing.
    bool Load(const std::string& path);
    void Unload();
    bool Loaded() const { return handle_ != nullptr; }
    AutoPluginMainProc Entry() const { return entry_; }
    // The platform's module handle (HMODULE on Windows).
    void* Handle() const { return handle_; }
    const std::string& Error() const { return error_; }

private:
    void* handle_ = nullptr;
    AutoPluginMainProc entry_ = nullptr;
    std::string error_;
};

#endif
