#include "MaskCommands.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "ActionText.h"
#include "CliFiles.h"
#include "CliStatus.h"
#include "ContactSheet.h"
#include "DescriptorFile.h"
#include "ImageFile.h"
#include "MaskJob.h"

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

int WriteMask(const std::string& path, const Plane& mask) {
    std::string error;
    const bool written = WriteAtomically(
        path, [&](const std::string& temporary, std::string& why) { return WriteGrayPng(temporary, mask, why); },
        error);
    if (!written) return Fail(kExitInputOutput, error);
    std::printf("  wrote %s\n", path.c_str());
    return kExitOk;
}

int WriteRecord(const std::string& path, const std::optional<DescriptorValue>& descriptor) {
    if (!descriptor) return Fail(kExitRunFailed, "the run handed back no descriptor to record");
    std::string error;
    const bool written = WriteAtomically(
        path,
        [&](const std::string& temporary, std::string& why) { return SaveDescriptorFile(temporary, *descriptor, &why); },
        error);
    if (!written) return Fail(kExitInputOutput, error);
    std::printf("  recorded %s in %s\n", DescriptorText(*descriptor).c_str(), path.c_str());
    return kExitOk;
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
    // The masks' folder is made if missing, inside one that exists, but only
    // once the inputs are known to be good: a refusal leaves nothing behind.
    std::error_code failure;
    const bool makeOutDir =
        line.action == CommandLine::Action::MaskAll && !std::filesystem::is_directory(line.outDir, failure);
    if (line.action == CommandLine::Action::MaskAll) {
        if (!CheckOutputFolder(makeOutDir ? FolderOf(line.outDir) : line.outDir, error))
            return Fail(kExitInputOutput, error);
    } else {
        if (!CheckOutputFolder(FolderOf(line.mask), error)) return Fail(kExitInputOutput, error);
        if (!line.recordFile.empty() && !CheckOutputFolder(FolderOf(line.recordFile), error))
            return Fail(kExitInputOutput, error);
    }
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
    if (makeOutDir) {
        std::filesystem::create_directory(line.outDir, failure);
        if (failure) return Fail(kExitInputOutput, "cannot make " + line.outDir + ": " + failure.message());
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
    std::string error;
    const bool written = WriteAtomically(
        sheetPath, [&](const std::string& temporary, std::string& why) { return WriteRgbPng(temporary, sheet, why); },
        error);
    if (!written) return Fail(kExitInputOutput, error);
    std::printf("wrote %s\nall modes: events executed in %.1f ms; whole command %.1f ms\n", sheetPath.c_str(),
                engineSeconds * 1000.0, Milliseconds(std::chrono::steady_clock::now() - start));
    return kExitOk;
}
