// The host's scripting vocabulary: the codes of the events the plug-in has
// the host play, and of the keys, classes and enumerations in their
// descriptors. The mask builder speaks it and the host stand-in executes it;
// the tests spell the codes out as text, so a wrong code here still shows.
#ifndef LUMACUT_ENTRY_EVENT_CODES_H
#define LUMACUT_ENTRY_EVENT_CODES_H

#include <cstdint>

#include "HostCodes.h"

// Silent play: every parameter comes from the descriptor and the host shows
// no dialog of its own for the event.
constexpr int32_t kPlaySilently = 2;

namespace events {
constexpr FourCharCode Make = FourCC("Mk  ");
constexpr FourCharCode MergeVisible = FourCC("MrgV");
constexpr FourCharCode Set = FourCC("setd");
constexpr FourCharCode Inverse = FourCC("Invs");
constexpr FourCharCode Curves = FourCC("Crvs");
constexpr FourCharCode DustAndScratches = FourCC("DstS");
constexpr FourCharCode Delete = FourCC("Dlt ");
}  // namespace events

namespace keys {
constexpr FourCharCode Null = FourCC("null");  // the object the event acts on
constexpr FourCharCode Duplicate = FourCC("Dplc");
constexpr FourCharCode To = FourCC("T   ");
constexpr FourCharCode New = FourCC("Nw  ");
constexpr FourCharCode At = FourCC("At  ");
constexpr FourCharCode Using = FourCC("Usng");
constexpr FourCharCode Radius = FourCC("Rds ");
constexpr FourCharCode Threshold = FourCC("Thsh");
constexpr FourCharCode Adjustments = FourCC("Adjs");
constexpr FourCharCode Channel = FourCC("Chnl");
constexpr FourCharCode Curve = FourCC("Crv ");
constexpr FourCharCode Horizontal = FourCC("Hrzn");
constexpr FourCharCode Vertical = FourCC("Vrtc");
}  // namespace keys

namespace classes {
constexpr FourCharCode Layer = FourCC("Lyr ");
constexpr FourCharCode Channel = FourCC("Chnl");
constexpr FourCharCode CurvesAdjustment = FourCC("CrvA");
constexpr FourCharCode Point = FourCC("Pnt ");
}  // namespace classes

namespace properties {
constexpr FourCharCode Selection = FourCC("fsel");
}  // namespace properties

namespace enumTypes {
constexpr FourCharCode Channel = FourCC("Chnl");
constexpr FourCharCode Ordinal = FourCC("Ordn");
constexpr FourCharCode UserMask = FourCC("UsrM");
}  // namespace enumTypes

namespace enumValues {
constexpr FourCharCode RGB = FourCC("RGB ");      // of "Chnl": the composite
constexpr FourCharCode Mask = FourCC("Msk ");     // of "Chnl": the layer mask
constexpr FourCharCode Target = FourCC("Trgt");   // of "Ordn": the active layer or channel
constexpr FourCharCode RevealSelection = FourCC("RvlS");  // of "UsrM"
}  // namespace enumValues

#endif
