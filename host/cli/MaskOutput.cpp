#include "MaskOutput.h"

#include "CliOutputs.h"
#include "CliPrint.h"
#include "host/image/PngWriter.h"

MaskOutput OutputOf(const std::string& label, const MaskRun& run, const std::string& path,
                    std::chrono::steady_clock::time_point started) {
    return {label, run.selection, path, run.played.size(), run.engineSeconds * 1000.0, started};
}

std::string WriteMask(const MaskOutput& output) {
    PngTimes times;
    // The stages' times are summed over the threads that shared the mask.
    const auto done = [&](double writeMilliseconds) {
        return Format("%s done in %.1f ms: %zu events in %.1f ms, %s written in %.1f ms (filter %.1f ms, deflate %.1f ms)",
                      output.label.c_str(), Milliseconds(std::chrono::steady_clock::now() - output.started),
                      output.events, output.eventMilliseconds, output.path.c_str(), writeMilliseconds,
                      times.filterSeconds * 1000.0, times.deflateSeconds * 1000.0);
    };
    return WriteMaskPicture(output.path, output.mask, done, &times);
}
