// run --mode N (or --replay FILE): one mask, and the parameter handed back
// when asked to record it.
#include <chrono>

#include "CliOutputs.h"
#include "CliPrint.h"
#include "MaskCommands.h"
#include "MaskOutput.h"
#include "RunReport.h"
#include "host/suites/ActionText.h"
#include "host/suites/DescriptorFile.h"

namespace {
int WriteRecord(const std::string& path, const std::optional<DescriptorValue>& descriptor) {
    if (!descriptor) return Fail(kExitRunFailed, "the run handed back no descriptor to record");
    const std::string said = "recorded " + DescriptorText(*descriptor) + " in " + path;
    return ExitFor(WriteOutput(
        path,
        [&](const std::string& temporary, std::string& why) { return SaveDescriptorFile(temporary, *descriptor, &why); },
        [&](double) { return said; }));
}
}  // namespace

int MaskOneMode(const PluginModule& module, const CommandLine& line, const MaskInputs& inputs) {
    const auto start = std::chrono::steady_clock::now();
    const RecordedRun recorded = RunOnImage(module, inputs.photo, {line.dialog ? 1 : 0, inputs.parameters});
    const std::string label =
        line.replayFile.empty() ? RunLabel(line.mode) : "replay of " + DescriptorText(inputs.parameters);
    if (line.verbose) PrintEvents(label, recorded.run);
    if (int status = CheckRun(label, recorded.run)) return status;
    if (int status = ExitFor(WriteMask(OutputOf(label, recorded.run, line.mask, start)))) return status;
    if (!line.recordFile.empty())
        if (int status = WriteRecord(line.recordFile, recorded.handedBack)) return status;
    return kExitOk;
}
