// Carries out the events a plug-in plays on a Document: the host's side of
// the Actions suites' Play. The events and descriptor forms it knows:
//
//   "Mk  "  {"null": ref(class "Lyr ")}                      MakeLayer
//   "Mk  "  {"Nw  ": class "Chnl", "At  ": ref(enum "Chnl" "Chnl" "Msk "),
//            "Usng": enum "UsrM" "RvlS"}                     AddRevealMask
//   "MrgV"  {"Dplc": true}                                    MergeVisibleIntoTarget
//   "setd"  {"null": ref(prop "Chnl" "fsel"),
//            "T   ": ref(enum "Chnl" "Chnl" "RGB ")}         LoadCompositeLuminosity
//   "setd"  {... "T   ": ref(enum "Chnl" "Ordn" "Trgt")}     LoadTargetChannelSelection
//   "Invs"  no descriptor (or one without keys)               InvertSelection
//   "Crvs"  {"Adjs": list[object "CrvA" {"Chnl": ref(enum "Chnl" "Ordn" "Trgt"),
//            "Crv ": list[object "Pnt " {"Hrzn": float, "Vrtc": float}, ...]}, ...]}
//                                                             ApplyCurve, per adjustment
//   "DstS"  {"Rds ": integer, "Thsh": integer}                DustAndScratches
//   "Dlt "  {"null": ref(enum "Lyr " "Ordn" "Trgt")}         DeleteTargetLayer
//
// Keys beyond these are ignored, as a host ignores parameters an event does
// not take. Everything else is refused with a host code (HostStatusCodes.h):
// a missing key kDescriptorKeyMissing, a value of another kind
// kDescriptorWrongType, a value out of range kParamError, any other
// event or form of one kEventNotHandled; the document's own refusals pass
// through. A refused event changes nothing.
#ifndef LUMACUT_HOST_EVENT_EXECUTOR_H
#define LUMACUT_HOST_EVENT_EXECUTOR_H

#include <functional>

#include "host/suites/ActionValues.h"
#include "Document.h"

// Never throws: it runs inside the plug-in's call to Play, and no exception
// may cross the plug-in's frames. Memory that cannot be had is -108.
HostStatus ExecuteEvent(Document& document, const PlayedEvent& event) noexcept;

// A Play handler for ActionsHost::SetPlayHandler that executes on `document`,
// which must outlive the handler.
std::function<HostStatus(const PlayedEvent&)> DocumentPlayHandler(Document& document);

#endif
