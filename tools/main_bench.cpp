// lumacut-bench: how fast the host's engine executes the events of a run on
// a large photograph. Runs the real plug-in through the stand-in, as the
// main job does, and times the events alone (the Play handler) and the whole
// run request; with one thread and with all. Also writes the curve tables
// the plug-in played as 256 x 1 images, so that scripts/benchmark.sh can
// give ImageMagick the same tables.
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <string>
#include <vector>

#include "host/suites/ActionText.h"
#include "host/image/ImageFile.h"
#include "host/engine/LevelTable.h"
#include "host/run/MaskJob.h"
#include "host/driver/PluginModule.h"
#include "host/image/PngFilter.h"
#include "host/image/PngWriter.h"
#include "host/engine/RowBands.h"
#include "entry/interface/HostCodes.h"

namespace {
struct Timing {
    double events = 1e30;  // best of the repeats, milliseconds
    double run = 1e30;
    std::size_t count = 0;
    MaskRun last;
};

Timing Measure(const PluginModule& module, const RgbPlanes& photo, int32_t mode, int repeats) {
    Timing timing;
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        MaskRun run = RunModeOnImage(module, photo, mode);
        const double whole = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (run.status != 0 || run.selection.Empty()) {
            std::fprintf(stderr, "lumacut-bench: mode %d failed with %d\n%s", static_cast<int>(mode),
                         static_cast<int>(run.status), run.log.c_str());
            std::exit(1);
        }
        timing.events = std::min(timing.events, run.engineSeconds * 1000.0);
        timing.run = std::min(timing.run, whole);
        timing.count = run.played.size();
        timing.last = std::move(run);
    }
    return timing;
}

// The points of each "Crvs" the run played, as level tables.
std::vector<LevelTable> PlayedCurves(const MaskRun& run) {
    std::vector<LevelTable> tables;
    for (const PlayedEvent& event : run.played) {
        if (event.event != FourCC("Crvs") || !event.descriptor) continue;
        const ActionValue* adjustments = event.descriptor->Find(FourCC("Adjs"));
        if (adjustments == nullptr || adjustments->items.empty()) continue;
        const ActionValue* curve = adjustments->items[0].object.Find(FourCC("Crv "));
        if (curve == nullptr) continue;
        std::vector<SplinePoint> points;
        for (const ActionValue& point : curve->items) {
            const ActionValue* input = point.object.Find(FourCC("Hrzn"));
            const ActionValue* output = point.object.Find(FourCC("Vrtc"));
            if (input != nullptr && output != nullptr) points.push_back({input->number, output->number});
        }
        LevelTable table{};
        if (MakeLevelTable(points, table)) tables.push_back(table);
    }
    return tables;
}

// Each PNG writer setting on the masks of the modes measured: CPU time
// (std::clock, all threads; wall time on Windows), wall time and bytes, so
// that the mask settings can be chosen and checked again
// (docs/document-engine.md). The writer deflates blocks of rows on every
// core, so wall time is below CPU time. Then the Paeth pass alone, byte by
// byte and with SSE2, on the same masks.
bool ComparePngSettings(const std::string& folder, const std::vector<Plane>& masks) {
    struct Named {
        const char* name;
        PngSettings settings;
    };
    const PngSettings chosen = MaskPngSettings();
    const std::vector<Named> settings = {
        {"none, default 1", {1, Z_DEFAULT_STRATEGY, PngFilter::None}},
        {"none, default 6", {6, Z_DEFAULT_STRATEGY, PngFilter::None}},
        {"none, run-length", {1, Z_RLE, PngFilter::None}},
        {"sub, run-length", {1, Z_RLE, PngFilter::Sub}},
        {"up, default 1", {1, Z_DEFAULT_STRATEGY, PngFilter::Up}},
        {"up, default 6", {6, Z_DEFAULT_STRATEGY, PngFilter::Up}},
        {"up, run-length", {1, Z_RLE, PngFilter::Up}},
        {"paeth, default 1", {1, Z_DEFAULT_STRATEGY, PngFilter::Paeth}},
        {"paeth, default 6", {6, Z_DEFAULT_STRATEGY, PngFilter::Paeth}},
        {"paeth, run-length", {1, Z_RLE, PngFilter::Paeth}},
        {"paeth, our runs coder", {1, Z_RLE, PngFilter::Paeth, PngCoder::RunLength}},
        {"per row, default 6", {6, Z_DEFAULT_STRATEGY, PngFilter::Adaptive}},
        {"per row, run-length", {1, Z_RLE, PngFilter::Adaptive}},
    };
    std::printf("%-22s %12s %12s %14s   (%zu masks)\n", "PNG filter, zlib", "CPU ms", "wall ms", "bytes",
                masks.size());
    const std::string path = folder + "/png-settings.png";
    for (const Named& named : settings) {
        const std::clock_t start = std::clock();
        const auto wallStart = std::chrono::steady_clock::now();
        unsigned long long bytes = 0;
        for (const Plane& mask : masks) {
            std::string error;
            if (!WriteGrayPng(path, mask, error, named.settings)) {
                std::fprintf(stderr, "lumacut-bench: %s\n", error.c_str());
                return false;
            }
            std::error_code ignored;
            bytes += std::filesystem::file_size(path, ignored);
        }
        const bool isChosen = named.settings.filter == chosen.filter && named.settings.strategy == chosen.strategy &&
                              named.settings.level == chosen.level && named.settings.coder == chosen.coder;
        std::printf("%-22s %12.0f %12.0f %14llu%s\n", named.name, (std::clock() - start) * 1000.0 / CLOCKS_PER_SEC,
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count(),
                    bytes, isChosen ? "   <- the masks' setting" : "");
    }
    std::remove(path.c_str());
    using Residues = void (*)(const uint8_t*, const uint8_t*, std::size_t, std::size_t, uint8_t*);
    std::printf("Paeth residues alone, one thread:");
    for (const Residues residues : {PaethResiduesScalar, PaethResiduesSse2, PaethResiduesAvx2}) {
        const std::clock_t start = std::clock();
        for (const Plane& mask : masks) {
            std::vector<uint8_t> out(static_cast<std::size_t>(mask.Width()));
            for (int y = 1; y < mask.Height(); ++y)
                residues(mask.Row(y), mask.Row(y - 1), out.size(), 1, out.data());
        }
        std::printf(" %s %.0f CPU ms",
                    residues == PaethResiduesScalar ? "byte loop" : residues == PaethResiduesSse2 ? "SSE2" : "AVX2",
                    (std::clock() - start) * 1000.0 / CLOCKS_PER_SEC);
    }
    std::printf("%s%s\n", HavePaethResiduesSse2() ? "" : " (no SSE2 in this build: the byte loop for it)",
                HavePaethResiduesAvx2() ? "" : " (no AVX2 in this build or CPU: the SSE2 loop for it)");
    return true;
}

bool WriteTables(const std::string& folder, int32_t mode, const std::vector<LevelTable>& tables) {
    for (std::size_t i = 0; i < tables.size(); ++i) {
        Plane row(256, 1);
        std::copy(tables[i].begin(), tables[i].end(), row.MutableData());
        std::string error;
        const std::string path = folder + "/clut-" + std::to_string(mode) + "-" + std::to_string(i + 1) + ".png";
        if (!WriteGrayPng(path, row, error)) {
            std::fprintf(stderr, "lumacut-bench: %s\n", error.c_str());
            return false;
        }
    }
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: lumacut-bench IMAGE [--repeat N] [--modes 1,3,6] [--tables DIR] [--mask-of MODE FILE]\n"
                     "                     [--png-settings DIR]\n");
        return 2;
    }
    const std::string imagePath = argv[1];
    int repeats = 5;
    std::vector<int32_t> modes = {1, 3, 6};
    std::string tablesFolder, maskFile, pngFolder;
    int32_t maskMode = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--repeat" && i + 1 < argc) {
            repeats = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--modes" && i + 1 < argc) {
            modes.clear();
            for (const char* p = argv[++i]; *p != '\0'; ++p)
                if (*p >= '0' && *p <= '9') modes.push_back(*p - '0');
        } else if (arg == "--tables" && i + 1 < argc) {
            tablesFolder = argv[++i];
        } else if (arg == "--png-settings" && i + 1 < argc) {
            pngFolder = argv[++i];
        } else if (arg == "--mask-of" && i + 2 < argc) {
            maskMode = std::atoi(argv[++i]);
            maskFile = argv[++i];
        } else {
            std::fprintf(stderr, "lumacut-bench: unexpected %s\n", arg.c_str());
            return 2;
        }
    }
    PluginModule module;
    if (!module.Load(ModuleBesideProgram(argv[0]))) {
        std::fprintf(stderr, "lumacut-bench: %s\n", module.Error().c_str());
        return 1;
    }
    RgbPlanes photo;
    std::string error;
    if (!ReadImageFile(imagePath, photo, error)) {
        std::fprintf(stderr, "lumacut-bench: %s\n", error.c_str());
        return 1;
    }
    const unsigned cores = RowBandThreads();
    std::printf("image %d x %d (%.1f Mpixel); best of %d runs; %u threads available\n", photo.red.Width(),
                photo.red.Height(), photo.red.Size() / 1e6, repeats, cores);
    std::printf("%-6s %-20s %7s %18s %18s %18s\n", "mode", "caption", "events", "events, 1 thread",
                "events, all", "whole run, all");
    // One run first, so that no measured run pays for first touches of memory.
    Measure(module, photo, modes.empty() ? 1 : modes[0], 1);
    std::vector<Plane> masks;
    for (int32_t mode : modes) {
        SetRowBandThreads(1);
        const Timing single = Measure(module, photo, mode, repeats);
        SetRowBandThreads(0);
        const Timing all = Measure(module, photo, mode, repeats);
        std::printf("%-6d %-20s %7zu %15.1f ms %15.1f ms %15.1f ms\n", static_cast<int>(mode),
                    ModeCaption(mode).c_str(), all.count, single.events, all.events, all.run);
        // One line per mode for scripts to read.
        std::printf("engine-ms mode=%d events=%zu single=%.2f all=%.2f run=%.2f\n", static_cast<int>(mode), all.count,
                    single.events, all.events, all.run);
        std::printf("       last run, event by event:");
        for (std::size_t e = 0; e < all.last.played.size() && e < all.last.eventSeconds.size(); ++e)
            std::printf(" %s %.1f", CodeText(all.last.played[e].event).c_str(), all.last.eventSeconds[e] * 1000.0);
        std::printf(" (ms)\n");
        if (!tablesFolder.empty() && !WriteTables(tablesFolder, mode, PlayedCurves(all.last))) return 1;
        if (mode == maskMode && !WriteGrayPng(maskFile, all.last.selection, error)) {
            std::fprintf(stderr, "lumacut-bench: %s\n", error.c_str());
            return 1;
        }
        if (!pngFolder.empty()) masks.push_back(all.last.selection);
    }
    if (!pngFolder.empty() && !ComparePngSettings(pngFolder, masks)) return 1;
    return 0;
}
