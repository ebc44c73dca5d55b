// The main job's commands, a file each: one mode on a photograph
// (MaskOneMode.cpp), or all seven and the contact sheet (MaskAllModes.cpp),
// either on many photographs (MaskBatch.cpp), or all seven on a gray ramp
// and the response chart (ChartAllModes.cpp).
// Inputs are checked and read before the plug-in is loaded (MaskInputs.cpp);
// each command prints what happened and returns the program's exit status
// (CommandLine.h).
#ifndef LUMACUT_HOST_MASK_COMMANDS_H
#define LUMACUT_HOST_MASK_COMMANDS_H

#include <optional>
#include <string>
#include <vector>

#include "host/suites/ActionValues.h"
#include "CommandLine.h"
#include "host/engine/Document.h"
#include "host/driver/PluginModule.h"

struct MaskInputs {
    RgbPlanes photo;
    DescriptorValue parameters;  // the incoming descriptor of a one-mode run
};

// kExitOk with `inputs` filled, or the exit status after a one-line message:
// the output folder, the recorded descriptor and the image are checked here
// (a chart has only the folder).
int ReadMaskInputs(const CommandLine& line, MaskInputs& inputs);

int MaskOneMode(const PluginModule& module, const CommandLine& line, const MaskInputs& inputs);
int MaskAllModes(const PluginModule& module, const CommandLine& line, const MaskInputs& inputs);
// A batch over `photos` (MaskBatch.cpp); interrupts are caught from its start.
int MaskBatch(const PluginModule& module, const CommandLine& line, const MaskInputs& inputs,
              const std::vector<std::string>& photos);
// response.png and response.csv in line.outDir.
int ChartAllModes(const PluginModule& module, const CommandLine& line);

// The contact sheet of run --all, beside the masks.
constexpr const char* kContactSheetName = "contact-sheet.png";

// "mode-1-highlights-normal.png": the file the mask of a mode goes to.
std::string MaskFileName(int32_t mode);

#endif
