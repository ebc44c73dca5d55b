// What the plug-in keeps of the host between calls, and the few
// process-wide values a run shares across its steps.
#ifndef LUMACUT_ENTRY_HOST_CONTEXT_H
#define LUMACUT_ENTRY_HOST_CONTEXT_H

#include <cstdint>

#include "entry/interface/HostInterface.h"

struct HostContext {
    const BasicSuite* basicSuite = nullptr;
    PluginRef pluginRef = nullptr;
};

// Overwritten at the start of every entry call, never cleared.
extern HostContext hostContext;

// The tonal range of the run in progress; every run starts from 1.
extern int32_t currentMode;

// Written once by the pipeline, taken and reset to 0 by the run.
extern int32_t pipelineStatus;

// Raised where the plug-in cannot reach the host at all: a suite that cannot
// be acquired, or host memory that cannot be had. Caught at the entry point
// and the dialog procedure, never allowed into the host.
struct HostError {
    int32_t status;
};

#endif
