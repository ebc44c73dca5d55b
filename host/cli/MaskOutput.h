// A finished run's mask on its way to a file, on whichever thread writes it.
#ifndef LUMACUT_HOST_MASK_OUTPUT_H
#define LUMACUT_HOST_MASK_OUTPUT_H

#include <chrono>
#include <cstddef>
#include <string>

#include "host/run/MaskJob.h"

struct MaskOutput {
    std::string label;
    Plane mask;
    std::string path;
    std::size_t events;
    double eventMilliseconds;
    std::chrono::steady_clock::time_point started;  // when the run began
};

MaskOutput OutputOf(const std::string& label, const MaskRun& run, const std::string& path,
                    std::chrono::steady_clock::time_point started);

// Writes the mask and says the mode's line, with its times; the error
// otherwise.
std::string WriteMask(const MaskOutput& output);

#endif
