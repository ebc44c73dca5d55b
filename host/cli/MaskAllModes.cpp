// run --all: the seven masks and the contact sheet in one folder.
#include <cctype>
#include <chrono>
#include <stdexcept>
#include <vector>

#include "host/run/BoundedWorkers.h"
#include "CliOutputs.h"
#include "CliPrint.h"
#include "host/pictures/ContactSheet.h"
#include "MaskCommands.h"
#include "MaskOutput.h"
#include "RunReport.h"

std::string MaskFileName(int32_t mode) {
    std::string name = "mode-" + std::to_string(mode);
    const std::string caption = ModeCaption(mode);
    if (!caption.empty()) name += "-";
    for (char c : caption) name += c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name + ".png";
}

// The plug-in's runs follow one another on this thread, as a host calls a
// plug-in; each finished mask goes to a writer thread while the next run
// goes on. Only small copies of the masks are kept for the contact sheet.
int MaskAllModes(const PluginModule& module, const CommandLine& line, const MaskInputs& inputs) {
    const auto start = std::chrono::steady_clock::now();
    if (int status = MakeOutFolder(line.outDir)) return status;
    std::vector<SheetTile> tiles{{"Photograph", ScaledForSheet(inputs.photo)}};
    double engineMilliseconds = 0;
    int status = kExitOk;
    BoundedWorkers writers(BoundedWorkers::DefaultThreads());
    for (int32_t mode = kFirstMode; mode <= kLastMode && status == kExitOk && !writers.Failed(); ++mode) {
        // The run's mask is made only when a writer can take it: the
        // events are quicker than a mask's writing, so running ahead would
        // only hold one mask more.
        writers.WaitForRoom();
        const auto runStart = std::chrono::steady_clock::now();
        const RecordedRun recorded = RunOnImage(module, inputs.photo, {line.dialog ? 1 : 0, ModeParameters(mode)});
        const std::string label = RunLabel(mode);
        if (line.verbose) PrintEvents(label, recorded.run);
        status = CheckRun(label, recorded.run);
        if (status != kExitOk) break;
        engineMilliseconds += recorded.run.engineSeconds * 1000.0;
        const Plane& selection = recorded.run.selection;
        tiles.push_back({ModeCaption(mode), ScaledForSheet({selection, selection, selection})});
        writers.Submit(
            [output = OutputOf(label, recorded.run, PathInFolder(line.outDir, MaskFileName(mode)), runStart)] {
                return WriteMask(output);
            });
    }
    std::string sheetError;
    if (status == kExitOk && !writers.Failed()) {
        const std::string sheetPath = PathInFolder(line.outDir, kContactSheetName);
        RgbImage sheet;
        try {
            sheet = MakeContactSheet(tiles);
        } catch (const std::length_error& tooLarge) {
            sheetError = sheetPath + ": " + tooLarge.what();
        }
        if (sheetError.empty())
            writers.Submit([sheet = std::move(sheet), sheetPath] {
                return WritePicture(sheetPath, sheet, [&](double writeMilliseconds) {
                    return Format("contact sheet: %s written in %.1f ms", sheetPath.c_str(), writeMilliseconds);
                });
            });
    }
    // A failed run has said why; a writer's failure is the one line otherwise.
    const std::string error = writers.Finish();
    if (status != kExitOk) return status;
    if (int failed = ExitFor(error)) return failed;
    if (int failed = ExitFor(sheetError)) return failed;
    Say(Format("all %d modes and the contact sheet in %.1f ms (the plug-in's events %.1f ms)",
               static_cast<int>(kLastMode - kFirstMode + 1), Milliseconds(std::chrono::steady_clock::now() - start),
               engineMilliseconds));
    return kExitOk;
}
