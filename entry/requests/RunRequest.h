// The run request, handed out by the entry point.
#ifndef LUMACUT_ENTRY_RUN_REQUEST_H
#define LUMACUT_ENTRY_RUN_REQUEST_H

#include <cstdint>

#include "entry/interface/HostInterface.h"

// One run request: name, mode, dialog, pipeline, write-back.
int32_t RunRequest(ActionParameters* parameters);

#endif
