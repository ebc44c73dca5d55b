// lumacut-host: loads ZYT_Lumacut, sends it the host's requests and shows
// what the plug-in did: the events it played, and, on a photograph, the
// selection those events leave.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "MaskCommands.h"
#include "PluginModule.h"
#include "PluginRequests.h"
#include "StandInHost.h"

namespace {
#if defined(_WIN32)
const char* const kModuleName = "ZYT_Lumacut.8li";
#else
const char* const kModuleName = "ZYT_Lumacut.so";
#endif

#if defined(__SANITIZE_ADDRESS__)
PluginModule* keptLoaded = nullptr;  // a root LeakSanitizer sees
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

// A bare request: the events are recorded, not executed.
int SendBareRequest(const PluginModule& module, bool about) {
    StandInHost host;
    ActionParameters parameters{};
    const HostStatus status = about ? SendAbout(module, host) : SendRun(module, host, &parameters);
    PrintSummary(host, status);
    return status == 0 && host.FirstError().empty() ? 0 : 1;
}
}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), line, error)) {
        std::fprintf(stderr, "lumacut-host: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (line.action == CommandLine::Action::Help) {
        std::printf("%s", kUsage);
        return 0;
    }
    std::unique_ptr<PluginModule> module(new PluginModule);
    const std::string modulePath = line.modulePath.empty() ? BesideProgram(argv[0], kModuleName) : line.modulePath;
    if (!module->Load(modulePath)) {
        std::fprintf(stderr, "lumacut-host: %s\n", module->Error().c_str());
        return 1;
    }
    int code = 0;
    switch (line.action) {
    case CommandLine::Action::About: code = SendBareRequest(*module, true); break;
    case CommandLine::Action::MaskOne: code = MaskOneMode(*module, line); break;
    case CommandLine::Action::MaskAll: code = MaskAllModes(*module, line); break;
    case CommandLine::Action::RunRequest:
    case CommandLine::Action::Help: code = SendBareRequest(*module, false); break;
    }
#if defined(__SANITIZE_ADDRESS__)
    // LeakSanitizer looks for pointers only in modules still loaded: once the
    // module is unloaded, the emergency exception pool of the C++ runtime
    // linked into it (kept for the module's life by design) shows as a leak.
    keptLoaded = module.release();
#endif
    return code;
}
