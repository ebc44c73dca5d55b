// The main job's commands: one mode on a photograph, or all seven and the
// contact sheet. They print what happened and return the program's exit
// code (0 done, 1 failed).
#ifndef LUMACUT_HOST_MASK_COMMANDS_H
#define LUMACUT_HOST_MASK_COMMANDS_H

#include "CommandLine.h"
#include "PluginModule.h"

int MaskOneMode(const PluginModule& module, const CommandLine& line);
int MaskAllModes(const PluginModule& module, const CommandLine& line);

// "mode-1-highlights-normal.png": the file the mask of a mode goes to.
std::string MaskFileName(int32_t mode);

#endif
