// The sequence of host events that turns the current mode into a selection.
#ifndef LUMACUT_MASK_MASK_PIPELINE_H
#define LUMACUT_MASK_MASK_PIPELINE_H

#include <cstdint>

// Plays the events of the current mode and leaves the outcome in the
// pipeline status; a HostError from a suite passes through.
void RunMaskPipeline();

#endif
