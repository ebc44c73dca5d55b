#include "MaskCommands.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "host/suites/ActionText.h"
#include "CliFiles.h"
#include "CliStatus.h"
#include "ContactSheet.h"
#include "host/suites/DescriptorFile.h"
#include "host/image/ImageFile.h"
#include "MaskJob.h"
#include "ResponseChart.h"

namespace {
double Milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
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

// The events as the host received them, and how the run ended: kExitOk when
// it left a selection without fault.
int Report(const std::string& label, const MaskRun& run) {
    std::printf("%s:\n", label.c_str());
    for (std::size_t i = 0; i < run.played.size(); ++i) {
        const PlayedEvent& event = run.played[i];
        std::string outcome = event.status != 0 ? " -> " + StatusText(event.status) : std::string();
        if (i < run.eventSeconds.size()) {
            char time[32];
            std::snprintf(time, sizeof time, " (%.1f ms)", run.eventSeconds[i] * 1000.0);
            outcome += time;
        }
        std::printf("  %s%s\n", PlayedText(event).c_str(), outcome.c_str());
    }
    std::printf("  status %d; %zu events executed in %.1f ms\n", static_cast<int>(run.status), run.played.size(),
                run.engineSeconds * 1000.0);
    std::fflush(stdout);
    if (run.status != 0) return Fail(kExitRunFailed, "run failed: " + StatusText(run.status));
    if (!run.hostError.empty()) return Fail(kExitRunFailed, "run failed: the host saw an error: " + run.hostError);
    if (run.selection.Empty()) return Fail(kExitRunFailed, "run failed: " + label + " left no selection");
    return kExitOk;
}

// The file made whole or not at all; `done` is printed once it is in place.
int WriteOutput(const std::string& path, const FileWriter& write, const std::string& done) {
    std::string error;
    if (!WriteAtomically(path, write, error)) return Fail(kExitInputOutput, error);
    std::printf("%s\n", done.c_str());
    return kExitOk;
}

int WriteMask(const std::string& path, const Plane& mask) {
    return WriteOutput(
        path, [&](const std::string& temporary, std::string& why) { return WriteGrayPng(temporary, mask, why); },
        "  wrote " + path);
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

int WriteRecord(const std::string& path, const std::optional<DescriptorValue>& descriptor) {
    if (!descriptor) return Fail(kExitRunFailed, "the run handed back no descriptor to record");
    return WriteOutput(
        path,
        [&](const std::string& temporary, std::string& why) { return SaveDescriptorFile(temporary, *descriptor, &why); },
        "  recorded " + DescriptorText(*descriptor) + " in " + path);
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
        if (!CheckImageFile(line.image, error) || !ReadImageFile(line.image, inputs.photo, error))
            return Fail(kExitInputOutput, error);
        std::printf("%s: %d x %d\n", line.image.c_str(), inputs.photo.red.Width(), inputs.photo.red.Height());
    }
    return kExitOk;
}

int MaskOneMode(const PluginModule& module, const CommandLine& line, const MaskInputs& inputs) {
    const auto start = std::chrono::steady_clock::now();
    const RecordedRun recorded = RunOnImage(module, inputs.photo, {line.dialog ? 1 : 0, inputs.parameters});
    const auto ran = std::chrono::steady_clock::now();
    const std::string label =
        line.replayFile.empty() ? RunLabel(line.mode) : "replay of " + DescriptorText(inputs.parameters);
    if (int status = Report(label, recorded.run)) return status;
    if (int status = WriteMask(line.mask, recorded.run.selection)) return status;
    if (!line.recordFile.empty())
        if (int status = WriteRecord(line.recordFile, recorded.handedBack)) return status;
    const auto end = std::chrono::steady_clock::now();
    std::printf("whole command: %.1f ms (the run %.1f, writing %.1f)\n", Milliseconds(end - start),
                Milliseconds(ran - start), Milliseconds(end - ran));
    return kExitOk;
}

int MaskAllModes(const PluginModule& module, const CommandLine& line, const MaskInputs& inputs) {
    const auto start = std::chrono::steady_clock::now();
    if (int status = MakeOutFolder(line.outDir)) return status;
    std::vector<SheetTile> tiles{{"Photograph", inputs.photo}};
    double engineSeconds = 0;
    for (int32_t mode = kFirstMode; mode <= kLastMode; ++mode) {
        const RecordedRun recorded = RunOnImage(module, inputs.photo, {line.dialog ? 1 : 0, ModeParameters(mode)});
        const Plane& selection = recorded.run.selection;
        if (int status = Report(RunLabel(mode), recorded.run)) return status;
        if (int status = WriteMask(PathInFolder(line.outDir, MaskFileName(mode)), selection)) return status;
        engineSeconds += recorded.run.engineSeconds;
        tiles.push_back({ModeCaption(mode), {selection, selection, selection}});
    }
    const std::string sheetPath = PathInFolder(line.outDir, "contact-sheet.png");
    RgbImage sheet;
    try {
        sheet = MakeContactSheet(tiles);
    } catch (const std::length_error& tooLarge) {
        return Fail(kExitInputOutput, sheetPath + ": " + tooLarge.what());
    }
    if (int status = WritePicture(sheetPath, sheet)) return status;
    std::printf("all modes: events executed in %.1f ms; whole command %.1f ms\n", engineSeconds * 1000.0,
                Milliseconds(std::chrono::steady_clock::now() - start));
    return kExitOk;
}

int ChartAllModes(const PluginModule& module, const CommandLine& line) {
    const auto start = std::chrono::steady_clock::now();
    const RgbPlanes ramp = ResponseRamp();
    std::vector<ModeResponse> responses;
    for (int32_t mode = kFirstMode; mode <= kLastMode; ++mode) {
        const MaskRun run = RunModeOnImage(module, ramp, mode);
        if (int status = Report(RunLabel(mode) + " on the gray ramp", run)) return status;
        ModeResponse response{mode, ModeCaption(mode), {}};
        if (!ReadResponse(run.selection, response.selected))
            return Fail(kExitRunFailed, RunLabel(mode) + " left a selection that is not the ramp's shape");
        responses.push_back(response);
    }
    if (int status = MakeOutFolder(line.outDir)) return status;
    if (int status = WriteText(PathInFolder(line.outDir, "response.csv"), ResponseCsv(responses))) return status;
    if (int status = WritePicture(PathInFolder(line.outDir, "response.png"), MakeResponseChart(responses)))
        return status;
    std::printf("response chart: whole command %.1f ms\n", Milliseconds(std::chrono::steady_clock::now() - start));
    return kExitOk;
}
