// chart: every mode run on a gray ramp, and what each selected of it as a
// chart and as numbers.
#include <chrono>
#include <vector>

#include "CliOutputs.h"
#include "CliPrint.h"
#include "MaskCommands.h"
#include "host/pictures/ResponseChart.h"
#include "RunReport.h"

int ChartAllModes(const PluginModule& module, const CommandLine& line) {
    const auto start = std::chrono::steady_clock::now();
    const RgbPlanes ramp = ResponseRamp();
    std::vector<ModeResponse> responses;
    for (int32_t mode = kFirstMode; mode <= kLastMode; ++mode) {
        const MaskRun run = RunModeOnImage(module, ramp, mode);
        const std::string label = RunLabel(mode) + " on the gray ramp";
        if (line.verbose) PrintEvents(label, run);
        if (int status = CheckRun(label, run)) return status;
        ModeResponse response{mode, ModeCaption(mode), {}};
        if (!ReadResponse(run.selection, response.selected))
            return Fail(kExitRunFailed, RunLabel(mode) + " left a selection that is not the ramp's shape");
        responses.push_back(response);
    }
    if (int status = MakeOutFolder(line.outDir)) return status;
    const std::string csv = PathInFolder(line.outDir, "response.csv");
    if (int status = ExitFor(WriteText(csv, ResponseCsv(responses), Wrote(csv)))) return status;
    const std::string png = PathInFolder(line.outDir, "response.png");
    if (int status = ExitFor(WritePicture(png, MakeResponseChart(responses), Wrote(png)))) return status;
    Say(Format("response chart: whole command %.1f ms", Milliseconds(std::chrono::steady_clock::now() - start)));
    return kExitOk;
}
