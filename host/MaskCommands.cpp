#include "MaskCommands.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "ActionText.h"
#include "ContactSheet.h"
#include "ImageFile.h"
#include "MaskJob.h"

namespace {
double Milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

bool ReadPhoto(const std::string& path, RgbPlanes& planes) {
    std::string error;
    if (!ReadImageFile(path, planes, error)) {
        std::fprintf(stderr, "lumacut-host: %s\n", error.c_str());
        return false;
    }
    std::printf("%s: %d x %d\n", path.c_str(), planes.red.Width(), planes.red.Height());
    return true;
}

// The events as the host received them, and how the run ended.
bool Report(int32_t mode, const MaskRun& run) {
    const std::string caption = ModeCaption(mode);
    std::printf("mode %d (%s):\n", static_cast<int>(mode), caption.empty() ? "no such mode: plain luminosity" : caption.c_str());
    for (std::size_t i = 0; i < run.played.size(); ++i) {
        const PlayedEvent& event = run.played[i];
        std::string outcome = event.status != 0 ? " -> status " + std::to_string(event.status) : std::string();
        if (i < run.eventSeconds.size()) {
            char time[32];
            std::snprintf(time, sizeof time, " (%.1f ms)", run.eventSeconds[i] * 1000.0);
            outcome += time;
        }
        std::printf("  %s%s\n", PlayedText(event).c_str(), outcome.c_str());
    }
    std::printf("  status %d; %zu events executed in %.1f ms\n", static_cast<int>(run.status), run.played.size(),
                run.engineSeconds * 1000.0);
    if (!run.hostError.empty()) std::printf("  host saw an error: %s\n", run.hostError.c_str());
    if (run.status != 0 || !run.hostError.empty() || run.selection.Empty()) {
        std::fprintf(stderr, "lumacut-host: mode %d left no selection (status %d)\n", static_cast<int>(mode),
                     static_cast<int>(run.status));
        return false;
    }
    return true;
}

bool WriteMask(const std::string& path, const Plane& mask) {
    std::string error;
    if (!WriteGrayPng(path, mask, error)) {
        std::fprintf(stderr, "lumacut-host: %s\n", error.c_str());
        return false;
    }
    std::printf("  wrote %s\n", path.c_str());
    return true;
}
}  // namespace

std::string MaskFileName(int32_t mode) {
    std::string name = "mode-" + std::to_string(mode);
    const std::string caption = ModeCaption(mode);
    if (!caption.empty()) name += "-";
    for (char c : caption) name += c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name + ".png";
}

int MaskOneMode(const PluginModule& module, const CommandLine& line) {
    const auto start = std::chrono::steady_clock::now();
    RgbPlanes photo;
    if (!ReadPhoto(line.image, photo)) return 1;
    const auto read = std::chrono::steady_clock::now();
    const MaskRun run = RunModeOnImage(module, photo, line.mode);
    const auto ran = std::chrono::steady_clock::now();
    if (!Report(line.mode, run) || !WriteMask(line.mask, run.selection)) return 1;
    const auto end = std::chrono::steady_clock::now();
    std::printf("whole command: %.1f ms (reading %.1f, the run %.1f, writing %.1f)\n", Milliseconds(end - start),
                Milliseconds(read - start), Milliseconds(ran - read), Milliseconds(end - ran));
    return 0;
}

int MaskAllModes(const PluginModule& module, const CommandLine& line) {
    const auto start = std::chrono::steady_clock::now();
    RgbPlanes photo;
    if (!ReadPhoto(line.image, photo)) return 1;
    std::error_code failure;
    std::filesystem::create_directories(line.outDir, failure);
    if (failure) {
        std::fprintf(stderr, "lumacut-host: cannot make %s: %s\n", line.outDir.c_str(), failure.message().c_str());
        return 1;
    }
    const std::filesystem::path folder(line.outDir);
    std::vector<SheetTile> tiles{{"Photograph", photo}};
    double engineSeconds = 0;
    for (int32_t mode = kFirstMode; mode <= kLastMode; ++mode) {
        const MaskRun run = RunModeOnImage(module, photo, mode);
        if (!Report(mode, run) || !WriteMask((folder / MaskFileName(mode)).string(), run.selection)) return 1;
        engineSeconds += run.engineSeconds;
        tiles.push_back({ModeCaption(mode), {run.selection, run.selection, run.selection}});
    }
    const std::string sheetPath = (folder / "contact-sheet.png").string();
    std::string error;
    if (!WriteRgbPng(sheetPath, MakeContactSheet(tiles), error)) {
        std::fprintf(stderr, "lumacut-host: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s\nall modes: events executed in %.1f ms; whole command %.1f ms\n", sheetPath.c_str(),
                engineSeconds * 1000.0, Milliseconds(std::chrono::steady_clock::now() - start));
    return 0;
}
