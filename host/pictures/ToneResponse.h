// What each mode selects of every input level, measured by running the
// real plug-in on a gray ramp: the numbers behind response.csv and the
// response chart.
#ifndef LUMACUT_HOST_TONE_RESPONSE_H
#define LUMACUT_HOST_TONE_RESPONSE_H

#include <cstdint>
#include <string>
#include <vector>

#include "host/engine/Document.h"
#include "host/engine/LevelTable.h"

struct ModeResponse {
    int32_t mode = 0;
    std::string caption;
    LevelTable selected{};  // the selection level left at each input level
};

// Levels 0 to 255 from left to right, each two columns wide, in two rows.
// Two columns because every mode ends with a 3 x 3 median (Dust and
// Scratches): on such a ramp each pixel sees its own level in at least six
// of its nine neighbours and keeps it, whatever shape the curves have, so
// what is measured is the mode's tone rule alone. (On a ramp of one column
// per level the median would flatten any sharp peak or notch of a curve;
// today's curves have none, so both ramps give the same numbers.)
RgbPlanes ResponseRamp();

// The selection a run left on ResponseRamp(), one level per input level.
// False when it is not of the ramp's size or the pixels of one input level
// disagree.
bool ReadResponse(const Plane& selection, LevelTable& selected);

// A header "level,<caption>,..." and then 256 rows "input,selection,...".
std::string ResponseCsv(const std::vector<ModeResponse>& responses);

#endif
