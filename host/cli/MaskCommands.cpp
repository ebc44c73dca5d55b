#include "MaskCommands.h"

#include <cctype>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "BoundedWorkers.h"
#include "CliFiles.h"
#include "CliStatus.h"
#include "ContactSheet.h"
#include "MaskJob.h"
#include "ResponseChart.h"
#include "host/image/ImageFile.h"
#include "host/image/PngWriter.h"
#include "host/suites/ActionText.h"
#include "host/suites/DescriptorFile.h"

namespace {
double Milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// The host's thread and the writers both print; a line is never split.
std::mutex printing;

void Say(const std::string& line) {
    std::lock_guard<std::mutex> lock(printing);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// gnu_printf: mingw's C++ runtime formats as glibc does (%zu), not as msvcrt.
std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
std::string Format(const char* format, ...) {
    va_list arguments, again;
    va_start(arguments, format);
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, again);
    va_end(again);
    text.resize(text.size() - 1);
    return text;
}

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "lumacut-host: %s\n", message.c_str());
    return status;
}

std::string RunLabel(int32_t mode) {
    const std::string caption = ModeCaption(mode);
    return "mode " + std::to_string(mode) + " (" + (caption.empty() ? "no such mode: plain luminosity" : caption) +
           ")";
}

// --verbose: the events as the host received them, each with its time.
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

// kExitOk when the run left a selection without fault.
int CheckRun(const std::string& label, const MaskRun& run) {
    if (run.status != 0) return Fail(kExitRunFailed, "run failed: " + StatusText(run.status));
    if (!run.hostError.empty()) return Fail(kExitRunFailed, "run failed: the host saw an error: " + run.hostError);
    if (run.selection.Empty()) return Fail(kExitRunFailed, "run failed: " + label + " left no selection");
    return kExitOk;
}

// The file made whole or not at all; `done` is said once it is in place.
int WriteOutput(const std::string& path, const FileWriter& write, const std::string& done) {
    std::string error;
    if (!WriteAtomically(path, write, error)) return Fail(kExitInputOutput, error);
    Say(done);
    return kExitOk;
}

int WritePicture(const std::string& path, const RgbImage& picture) {
    return WriteOutput(
        path, [&](const std::string& temporary, std::string& why) { return WriteRgbPng(temporary, picture, why); },
        "wrote " + path);
}

int WriteText(const std::string& path, const std::string& text) {
    const auto write = [&](const std::string& temporary, std::string& why) {
        std::ofstream file(temporary, std::ios::binary);
        file << text;
        file.close();
        if (!file) why = "cannot write " + temporary;
        return static_cast<bool>(file);
    };
    return WriteOutput(path, write, "wrote " + path);
}

int MakeOutFolder(const std::string& folder) {
    std::error_code failure;
    std::filesystem::create_directory(folder, failure);
    if (failure) return Fail(kExitInputOutput, "cannot make " + folder + ": " + failure.message());
    return kExitOk;
}

// A finished run's mask on its way to a file, on whichever thread writes it.
struct MaskOutput {
    std::string label;
    Plane mask;
    std::string path;
    std::size_t events;
    double eventMilliseconds;
    std::chrono::steady_clock::time_point started;  // when the run began
};

// Writes the mask and says the mode's line; the error otherwise.
std::string WriteMask(const MaskOutput& output) {
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    PngTimes times;
    const bool written = WriteAtomically(
        output.path,
        [&](const std::string& temporary, std::string& why) {
            return WriteGrayPng(temporary, output.mask, why, MaskPngSettings(), &times);
        },
        error);
    if (!written) return error;
    const auto end = std::chrono::steady_clock::now();
    // The stages' times are summed over the threads that shared the mask.
    Say(Format("%s done in %.1f ms: %zu events in %.1f ms, %s written in %.1f ms (filter %.1f ms, deflate %.1f ms)",
               output.label.c_str(), Milliseconds(end - output.started), output.events, output.eventMilliseconds,
               output.path.c_str(), Milliseconds(end - start), times.filterSeconds * 1000.0,
               times.deflateSeconds * 1000.0));
    return std::string();
}

MaskOutput OutputOf(const std::string& label, const MaskRun& run, const std::string& path,
                    std::chrono::steady_clock::time_point started) {
    return {label, run.selection, path, run.played.size(), run.engineSeconds * 1000.0, started};
}

int WriteRecord(const std::string& path, const std::optional<DescriptorValue>& descriptor) {
    if (!descriptor) return Fail(kExitRunFailed, "the run handed back no descriptor to record");
    return WriteOutput(
        path,
        [&](const std::string& temporary, std::string& why) { return SaveDescriptorFile(temporary, *descriptor, &why); },
        "recorded " + DescriptorText(*descriptor) + " in " + path);
}
}  // namespace

std::string MaskFileName(int32_t mode) {
    std::string name = "mode-" + std::to_string(mode);
    const std::string caption = ModeCaption(mode);
    if (!caption.empty()) name += "-";
    for (char c : caption) name += c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name + ".png";
}

int ReadMaskInputs(const CommandLine& line, MaskInputs& inputs) {
    std::string error;
    // The output folder may be missing if the one it goes in exists; it is
    // made only once the module has loaded too (MakeOutFolder), so that a
    // refusal leaves nothing behind.
    std::error_code failure;
    const bool intoFolder = line.action == CommandLine::Action::MaskAll || line.action == CommandLine::Action::Chart;
    const bool makeOutDir = intoFolder && !std::filesystem::is_directory(line.outDir, failure);
    if (intoFolder) {
        if (!CheckOutputFolder(makeOutDir ? FolderOf(line.outDir) : line.outDir, error))
            return Fail(kExitInputOutput, error);
    } else {
        if (!CheckOutputFolder(FolderOf(line.mask), error)) return Fail(kExitInputOutput, error);
        if (!line.recordFile.empty() && !CheckOutputFolder(FolderOf(line.recordFile), error))
            return Fail(kExitInputOutput, error);
    }
    // A chart makes its ramp instead of reading an image.
    if (line.action != CommandLine::Action::Chart) {
        if (!line.replayFile.empty()) {
            std::optional<DescriptorValue> recorded = LoadDescriptorFile(line.replayFile, &error);
            if (!recorded) return Fail(kExitInputOutput, error);
            inputs.parameters = std::move(*recorded);
        } else {
            inputs.parameters = ModeParameters(line.mode);
        }
        const auto readStart = std::chrono::steady_clock::now();
        if (!CheckImageFile(line.image, error) || !ReadImageFile(line.image, inputs.photo, error))
            return Fail(kExitInputOutput, error);
        Say(Format("%s: %d x %d, read in %.1f ms", line.image.c_str(), inputs.photo.red.Width(),
                   inputs.photo.red.Height(), Milliseconds(std::chrono::steady_clock::now() - readStart)));
    }
    return kExitOk;
}

int MaskOneMode(const PluginModule& module, const CommandLine& line, const MaskInputs& inputs) {
    const auto start = std::chrono::steady_clock::now();
    const RecordedRun recorded = RunOnImage(module, inputs.photo, {line.dialog ? 1 : 0, inputs.parameters});
    const std::string label =
        line.replayFile.empty() ? RunLabel(line.mode) : "replay of " + DescriptorText(inputs.parameters);
    if (line.verbose) PrintEvents(label, recorded.run);
    if (int status = CheckRun(label, recorded.run)) return status;
    const std::string error = WriteMask(OutputOf(label, recorded.run, line.mask, start));
    if (!error.empty()) return Fail(kExitInputOutput, error);
    if (!line.recordFile.empty())
        if (int status = WriteRecord(line.recordFile, recorded.handedBack)) return status;
    return kExitOk;
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
        const std::string sheetPath = PathInFolder(line.outDir, "contact-sheet.png");
        RgbImage sheet;
        try {
            sheet = MakeContactSheet(tiles);
        } catch (const std::length_error& tooLarge) {
            sheetError = sheetPath + ": " + tooLarge.what();
        }
        if (sheetError.empty())
            writers.Submit([sheet = std::move(sheet), sheetPath] {
                const auto sheetStart = std::chrono::steady_clock::now();
                std::string error;
                const bool written = WriteAtomically(
                    sheetPath,
                    [&](const std::string& temporary, std::string& why) { return WriteRgbPng(temporary, sheet, why); },
                    error);
                if (written)
                    Say(Format("contact sheet: %s written in %.1f ms", sheetPath.c_str(),
                               Milliseconds(std::chrono::steady_clock::now() - sheetStart)));
                return written ? std::string() : error;
            });
    }
    // A failed run has said why; a writer's failure is the one line otherwise.
    const std::string error = writers.Finish();
    if (status != kExitOk) return status;
    if (!error.empty()) return Fail(kExitInputOutput, error);
    if (!sheetError.empty()) return Fail(kExitInputOutput, sheetError);
    Say(Format("all %d modes and the contact sheet in %.1f ms (the plug-in's events %.1f ms)",
               static_cast<int>(kLastMode - kFirstMode + 1), Milliseconds(std::chrono::steady_clock::now() - start),
               engineMilliseconds));
    return kExitOk;
}

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
    if (int status = WriteText(PathInFolder(line.outDir, "response.csv"), ResponseCsv(responses))) return status;
    if (int status = WritePicture(PathInFolder(line.outDir, "response.png"), MakeResponseChart(responses)))
        return status;
    Say(Format("response chart: whole command %.1f ms", Milliseconds(std::chrono::steady_clock::now() - start)));
    return kExitOk;
}
