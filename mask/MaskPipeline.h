// The sequence of host events that turns the current mode into a selection.
#ifndef LUMACUT_MASK_MASK_PIPELINE_H
#define LUMACUT_MASK_MASK_PIPELINE_H

#include <cstdint>

// Plays the events of the current mode, stopping at the first failure, and
// leaves the outcome in the pipeline status; a HostError from a suite passes
// through and leaves the pipeline status alone.
void RunMaskPipeline();

// The opening events: work layer, stamp, luminosity selection (inverted for
// the shadow modes), reveal mask. The first failure's code, else 0.
int32_t PrepareMaskLayer();

// The closing events: smooth the mask, load it as the selection, delete the
// work layer. The first failure's code, else 0.
int32_t FinishMaskSelection();

#endif
