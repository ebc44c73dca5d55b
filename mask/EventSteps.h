// The single-event steps of a run. Each builds its event's descriptor, plays
// it silently, frees what it made, and returns the host's code (0 = done).
// A suite that cannot be acquired throws HostError through them.
#ifndef LUMACUT_MASK_EVENT_STEPS_H
#define LUMACUT_MASK_EVENT_STEPS_H

#include <cstdint>

int32_t MakeWorkLayer();            // a new empty layer, the target layer from now on
int32_t StampVisible();             // a merged copy of everything visible, into the target layer
int32_t LoadLuminositySelection();  // the selection := the composite's luminosity
int32_t InvertSelection();          // the selection inverted
int32_t AddRevealMask();            // a layer mask revealing the selection; it becomes the target channel
int32_t SmoothMask();               // Dust and Scratches, radius 1, threshold 0, on the target channel
int32_t LoadMaskSelection();        // the selection := the target channel
int32_t DeleteWorkLayer();          // the target layer deleted; the selection stays

#endif
