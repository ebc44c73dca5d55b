// The statuses our stand-in answers with where it has to refuse something,
// beyond those the plug-in knows too (entry/HostCodes.h: -50, -108, -128).
#ifndef LUMACUT_HOST_HOST_STATUS_CODES_H
#define LUMACUT_HOST_HOST_STATUS_CODES_H

#include "entry/interface/HostCodes.h"

constexpr HostStatus kSuiteNotFound = static_cast<HostStatus>(FourCC("S!Fd"));  // no such suite or version
// GetInteger of a descriptor: the key is not there, or holds no integer.
// (Numbers of the Apple event family the host's descriptors come from.)
constexpr HostStatus kDescriptorKeyMissing = -1701;
constexpr HostStatus kDescriptorWrongType = -1703;
// The document engine refuses with these, and with the two above for a
// missing or mistyped parameter and -50 for a value out of range.
constexpr HostStatus kEventNotHandled = -1708;  // an event, or a form of one, the document does not execute
constexpr HostStatus kNoSuchObject = -1728;     // the event names what the document does not have

#endif
