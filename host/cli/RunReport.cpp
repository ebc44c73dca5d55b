#include "RunReport.h"

#include "CliPrint.h"
#include "CliStatus.h"
#include "CommandLine.h"
#include "host/suites/ActionText.h"

std::string RunLabel(int32_t mode) {
    const std::string caption = ModeCaption(mode);
    return "mode " + std::to_string(mode) + " (" + (caption.empty() ? "no such mode: plain luminosity" : caption) +
           ")";
}

void PrintEvents(const std::string& label, const MaskRun& run) {
    std::string text = label + ":\n";
    for (std::size_t i = 0; i < run.played.size(); ++i) {
        const PlayedEvent& event = run.played[i];
        std::string outcome = event.status != 0 ? " -> " + StatusText(event.status) : std::string();
        if (i < run.eventSeconds.size()) outcome += Format(" (%.1f ms)", run.eventSeconds[i] * 1000.0);
        text += "  " + PlayedText(event) + outcome + "\n";
    }
    text += Format("  status %d; %zu events executed in %.1f ms", static_cast<int>(run.status), run.played.size(),
                   run.engineSeconds * 1000.0);
    Say(text);
}

std::string RunFault(const std::string& label, const MaskRun& run) {
    if (run.status != 0) return "run failed: " + StatusText(run.status);
    if (!run.hostError.empty()) return "run failed: the host saw an error: " + run.hostError;
    if (run.selection.Empty()) return "run failed: " + label + " left no selection";
    return std::string();
}

int CheckRun(const std::string& label, const MaskRun& run) {
    const std::string fault = RunFault(label, run);
    return fault.empty() ? kExitOk : Fail(kExitRunFailed, fault);
}
