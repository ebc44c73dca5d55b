// What lumacut-host says about one of the plug-in's runs: its label, the
// events it played (--verbose) and whether it left a selection.
#ifndef LUMACUT_HOST_RUN_REPORT_H
#define LUMACUT_HOST_RUN_REPORT_H

#include <cstdint>
#include <string>

#include "host/run/MaskJob.h"

// "mode 4 (Shadows narrow)".
std::string RunLabel(int32_t mode);

// --verbose: the events as the host received them, each with its time.
void PrintEvents(const std::string& label, const MaskRun& run);

// Why the run failed ("run failed: host error -128 (user cancelled)"), or
// an empty string when it left a selection without fault.
std::string RunFault(const std::string& label, const MaskRun& run);

// kExitOk when the run left a selection without fault; the exit status
// after the fault's one-line message otherwise.
int CheckRun(const std::string& label, const MaskRun& run);

#endif
