#include "MaskPipeline.h"

#include "entry/HostContext.h"

void RunMaskPipeline() { pipelineStatus = 0; }
