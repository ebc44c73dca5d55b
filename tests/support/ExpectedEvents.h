// What the host must receive, written out from the event tables by hand
// (not from the plug-in's own constants): every event of every mode with
// its exact descriptor, played silently.
#ifndef LUMACUT_TESTS_SUPPORT_EXPECTED_EVENTS_H
#define LUMACUT_TESTS_SUPPORT_EXPECTED_EVENTS_H

#include <cstdint>
#include <utility>
#include <vector>

#include "host/suites/ActionValues.h"

using Points = std::vector<std::pair<double, double>>;

namespace expected {
PlayedEvent MakeWorkLayer();
PlayedEvent StampVisible();
PlayedEvent LoadLuminositySelection();
PlayedEvent InvertSelection();
PlayedEvent AddRevealMask();
PlayedEvent Curves(const Points& points);
PlayedEvent SmoothMask();
PlayedEvent LoadMaskSelection();
PlayedEvent DeleteWorkLayer();

extern const Points kNormal;
extern const Points kNarrow;
extern const Points kMidtoneBand;
extern const Points kMidtoneMedium;
extern const Points kMidtoneNarrow;

// Every event of a successful run of `mode`, in order.
std::vector<PlayedEvent> Run(int32_t mode);
}  // namespace expected

#endif
