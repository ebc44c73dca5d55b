// lumacut-host: loads ZYT_Lumacut, sends it the host's requests and shows
// what the plug-in did: the events it played, and, on a photograph, the
// selection those events leave. Exit statuses are listed in --help.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BatchInputs.h"
#include "CliPrint.h"
#include "CliStatus.h"
#include "CommandLine.h"
#include "MaskCommands.h"
#include "host/driver/PluginModule.h"
#include "host/driver/PluginRequests.h"
#include "host/suites/StandInHost.h"

namespace {
#if defined(__SANITIZE_ADDRESS__)
PluginModule* keptLoaded = nullptr;  // a root LeakSanitizer sees
#endif

// How often the plug-in called an operation, from the host's log: not every
// operation can be failed on request, so not every one is counted as entered.
std::size_t Calls(const StandInHost& host, const std::string& operation) {
    return static_cast<std::size_t>(std::count(host.Log().begin(), host.Log().end(), operation));
}

void PrintSummary(const StandInHost& host, HostStatus status) {
    std::printf("%s", host.LogText().c_str());
    std::printf("suites:");
    for (const auto& use : host.SuiteUses())
        std::printf(" [%s acquired %d released %d]", use.first.c_str(), use.second.acquired, use.second.released);
    std::printf("\nplug-in name obtained %zu, released %zu; live blocks %zu; status %d\n",
                Calls(host, "GetPluginName"), Calls(host, "ReleaseString"), host.LiveBlocks(),
                static_cast<int>(status));
    std::fflush(stdout);
}

// trace: a bare request, whose events are recorded, not executed.
int SendBareRequest(const PluginModule& module, const CommandLine& line) {
    StandInHost host;
    // As a real host does, hand the plug-in its own module for its dialog
    // templates and strings, so that --about and --dialog show the real
    // dialogs where there are any.
    host.SetAccessModules(nullptr, module.Handle());
    ActionParameters parameters{line.dialog ? 1 : 0, 0, nullptr};
    const bool about = line.action == CommandLine::Action::About;
    const HostStatus status = about ? SendAbout(module, host) : SendRun(module, host, &parameters);
    PrintSummary(host, status);
    const char* const request = about ? "about" : "run";
    if (status != 0) {
        std::fprintf(stderr, "lumacut-host: %s failed: %s\n", request, StatusText(status).c_str());
        return kExitRunFailed;
    }
    if (!host.FirstError().empty()) {
        std::fprintf(stderr, "lumacut-host: %s failed: the host saw an error: %s\n", request,
                     host.FirstError().c_str());
        return kExitRunFailed;
    }
    return kExitOk;
}

int Usage(const std::string& error) {
    std::fprintf(stderr, "lumacut-host: %s (see lumacut-host --help)\n", error.c_str());
    return kExitUsage;
}
}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), line, error))
        return Usage(error);
    if (line.action == CommandLine::Action::Help) {
        std::printf("%s", UsageText().c_str());
        return kExitOk;
    }
    if (line.action == CommandLine::Action::Version) {
        std::printf("%s", VersionText().c_str());
        return kExitOk;
    }
    if (line.action == CommandLine::Action::Usage) {
        std::fprintf(stderr, "%s(lumacut-host --help tells more)\n", ShortUsageText().c_str());
        return kExitUsage;
    }
    SetQuiet(line.quiet);
    // A batch's photographs are listed before anything runs: a collision
    // between their outputs is a usage error, not a surprise halfway.
    std::vector<std::string> photos;
    if (line.action == CommandLine::Action::Batch) {
        if (!ListPhotographs(line.inputs, photos, error)) return Usage(error);
        photos = ShardOf(photos, line.shardIndex, line.shardCount);
    }
    const bool single = line.action == CommandLine::Action::MaskOne || line.action == CommandLine::Action::MaskAll;
    if (single && line.skipExisting && OutputsExist(OutputsOf(line, line.image))) {
        Say(line.image + ": skipped, its outputs are all there");
        return kExitOk;
    }
    const bool hasInputs = single || line.action == CommandLine::Action::Chart ||
                           line.action == CommandLine::Action::Batch;
    MaskInputs inputs;
    if (hasInputs)
        if (int status = ReadMaskInputs(line, inputs)) return status;

    std::unique_ptr<PluginModule> module(new PluginModule);
    const std::string modulePath = line.modulePath.empty() ? ModuleBesideProgram(argv[0]) : line.modulePath;
    if (!module->Load(modulePath)) {
        std::fprintf(stderr, "lumacut-host: %s\n", module->Error().c_str());
        return kExitInputOutput;
    }
    int code = kExitOk;
    if (line.action == CommandLine::Action::MaskOne) {
        code = MaskOneMode(*module, line, inputs);
    } else if (line.action == CommandLine::Action::MaskAll) {
        code = MaskAllModes(*module, line, inputs);
    } else if (line.action == CommandLine::Action::Batch) {
        code = MaskBatch(*module, line, inputs, photos);
    } else if (line.action == CommandLine::Action::Chart) {
        code = ChartAllModes(*module, line);
    } else {
        code = SendBareRequest(*module, line);
    }
#if defined(__SANITIZE_ADDRESS__)
    // LeakSanitizer looks for pointers only in modules still loaded: once the
    // module is unloaded, the emergency exception pool of the C++ runtime
    // linked into it (kept for the module's life by design) shows as a leak.
    keptLoaded = module.release();
#endif
    return code;
}
