// What a mask or chart command needs, checked and read before the plug-in
// is loaded, so that a refusal costs nothing and leaves nothing.
#include <chrono>
#include <filesystem>
#include <system_error>

#include "host/common/OutputFiles.h"
#include "CliPrint.h"
#include "MaskCommands.h"
#include "host/run/MaskJob.h"
#include "host/image/ImageFile.h"
#include "host/suites/DescriptorFile.h"

int ReadMaskInputs(const CommandLine& line, MaskInputs& inputs) {
    std::string error;
    // The output folder may be missing if the one it goes in exists; it is
    // made only once the module has loaded too (MakeOutFolder), so that a
    // refusal leaves nothing behind.
    std::error_code failure;
    const bool intoFolder = line.action == CommandLine::Action::MaskAll || line.action == CommandLine::Action::Chart ||
                            line.action == CommandLine::Action::Batch;
    const bool makeOutDir = intoFolder && !std::filesystem::exists(line.outDir, failure);
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
        // A batch reads its photographs as it goes.
        if (line.action == CommandLine::Action::Batch) return kExitOk;
        const auto readStart = std::chrono::steady_clock::now();
        if (!ReadImageFile(line.image, inputs.photo, error))
            return Fail(kExitInputOutput, error);
        Say(Format("%s: %d x %d, read in %.1f ms", line.image.c_str(), inputs.photo.red.Width(),
                   inputs.photo.red.Height(), Milliseconds(std::chrono::steady_clock::now() - readStart)));
    }
    return kExitOk;
}
