// Loads a plug-in module by path and finds its entry point: LoadLibraryA on
// Windows, dlopen natively.
#ifndef LUMACUT_HOST_PLUGIN_MODULE_H
#define LUMACUT_HOST_PLUGIN_MODULE_H

#include <string>

#include "entry/interface/HostInterface.h"

// The module's file name on this platform.
#if defined(_WIN32)
inline constexpr char kModuleFileName[] = "ZYT_Lumacut.8li";
#else
inline constexpr char kModuleFileName[] = "ZYT_Lumacut.so";
#endif

// The module in the folder of a program (its argv[0]), where every build
// puts the two: the module a program loads unless told otherwise.
inline std::string ModuleBesideProgram(const char* argv0) {
    const std::string program = argv0 != nullptr ? argv0 : "";
    const std::size_t slash = program.find_last_of("/\\");
    return slash == std::string::npos ? std::string(kModuleFileName) : program.substr(0, slash + 1) + kModuleFileName;
}

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
    static constexpr char kEntryPointName[] = "AutoPluginMain";
    // The platform half's lookup of kEntryPointName, once the module is
    // loaded: false, with the module unloaded, when it has none.
    bool TakeEntryPoint(void* entry, const std::string& path) {
        entry_ = reinterpret_cast<AutoPluginMainProc>(entry);
        if (entry_ != nullptr) return true;
        error_ = path + " has no " + kEntryPointName;
        Unload();
        return false;
    }

    void* handle_ = nullptr;
    AutoPluginMainProc entry_ = nullptr;
    std::string error_;
};

#endif
