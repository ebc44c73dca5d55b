// The main job: the real plug-in run on a document made from a photograph,
// with the host executing every event it plays, and the selection it leaves.
#ifndef LUMACUT_HOST_MASK_JOB_H
#define LUMACUT_HOST_MASK_JOB_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "entry/interface/PluginModes.h"  // kFirstMode to kLastMode, for the callers
#include "host/driver/PluginModule.h"
#include "host/engine/Document.h"
#include "host/suites/ActionValues.h"
#include "resources/ModeCaptions.h"  // ModeCaption, for the callers

struct MaskRun {
    HostStatus status = 0;
    Plane selection;                  // empty when the run left none
    std::vector<PlayedEvent> played;  // as the host received them
    std::string log;                  // the host's log of the whole call
    std::string hostError;            // the first contract violation the host saw, if any
    double engineSeconds = 0;         // time spent executing the events
    std::vector<double> eventSeconds; // the same, event by event, in the order played
};

struct RunSettings {
    int32_t playInfo = 0;        // 1: the plug-in is asked to show its dialog
    DescriptorValue parameters;  // the incoming scripting parameters
};

struct RecordedRun {
    MaskRun run;
    std::optional<DescriptorValue> handedBack;  // what the run left as the step's parameters
};

// "Cnt " = mode, as a host action recorded from the dialog holds it.
DescriptorValue ModeParameters(int32_t mode);

// One run request on a new document whose background is the image, with the
// incoming parameters made from --mode or read from a recorded descriptor;
// the descriptor the plug-in hands back is kept for recording.
RecordedRun RunOnImage(const PluginModule& module, const RgbPlanes& image, const RunSettings& settings);

// One run request without a dialog, its scripting parameter "Cnt " = mode.
MaskRun RunModeOnImage(const PluginModule& module, const RgbPlanes& image, int32_t mode);

#endif
