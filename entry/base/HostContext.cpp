// The process-wide values, defined at the bottom so that every layer above
// may use them without linking the entry point.
#include "HostContext.h"

HostContext hostContext;
int32_t currentMode = 1;
int32_t pipelineStatus = 0;
