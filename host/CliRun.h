// One run of the plug-in on a photograph as lumacut-host's command line asks
// for it: the incoming scripting parameters either made from --mode or read
// from a recorded descriptor, the dialog asked for or not, and the
// descriptor the plug-in hands back kept for recording.
#ifndef LUMACUT_HOST_CLI_RUN_H
#define LUMACUT_HOST_CLI_RUN_H

#include <optional>

#include "ActionValues.h"
#include "MaskJob.h"

struct RunSettings {
    int32_t playInfo = 0;        // 1: the plug-in is asked to show its dialog
    DescriptorValue parameters;  // the incoming descriptor
};

struct RecordedRun {
    MaskRun run;
    std::optional<DescriptorValue> handedBack;  // what the run left as the step's parameters
};

// "Cnt " = mode, as a host action recorded from the dialog holds it.
DescriptorValue ModeParameters(int32_t mode);

RecordedRun RunOnImage(const PluginModule& module, const RgbPlanes& image, const RunSettings& settings);

#endif
