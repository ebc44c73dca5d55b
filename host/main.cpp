// lumacut-host: loads ZYT_Lumacut, sends it the host's requests and prints
// what the plug-in did.
#include <cstdio>
#include <cstring>
#include <string>

#include "PluginModule.h"
#include "PluginRequests.h"
#include "StandInHost.h"

namespace {
#if defined(_WIN32)
const char* const kModuleName = "ZYT_Lumacut.8li";
#else
const char* const kModuleName = "ZYT_Lumacut.so";
#endif

std::string BesideProgram(const char* argv0, const char* name) {
    std::string path = argv0 != nullptr ? argv0 : "";
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(name) : path.substr(0, slash + 1) + name;
}

void PrintSummary(const StandInHost& host, HostStatus status) {
    std::printf("%s", host.LogText().c_str());
    std::printf("suites:");
    for (const auto& use : host.SuiteUses())
        std::printf(" [%s acquired %d released %d]", use.first.c_str(), use.second.acquired, use.second.released);
    std::printf("\nplug-in name obtained %zu, released %zu; live blocks %zu; status %d\n",
                host.CallCount("GetPluginName"), host.CallCount("ReleaseString"), host.LiveBlocks(),
                static_cast<int>(status));
    if (!host.FirstError().empty()) std::printf("host saw an error: %s\n", host.FirstError().c_str());
}
}  // namespace

int main(int argc, char** argv) {
    std::string modulePath = BesideProgram(argv[0], kModuleName);
    bool about = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--about") == 0) {
            about = true;
        } else if (std::strcmp(argv[i], "--module") == 0 && i + 1 < argc) {
            modulePath = argv[++i];
        } else {
            std::fprintf(stderr, "usage: lumacut-host [--about] [--module PATH]\n");
            return 2;
        }
    }
    PluginModule module;
    if (!module.Load(modulePath)) {
        std::fprintf(stderr, "lumacut-host: %s\n", module.Error().c_str());
        return 1;
    }
    StandInHost host;
    ActionParameters parameters{};
    const HostStatus status = about ? SendAbout(module, host) : SendRun(module, host, &parameters);
    PrintSummary(host, status);
    return status == 0 && host.FirstError().empty() ? 0 : 1;
}
