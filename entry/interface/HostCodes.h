// Four-character codes and the status conventions shared by every part of
// the plug-in.
#ifndef LUMACUT_ENTRY_HOST_CODES_H
#define LUMACUT_ENTRY_HOST_CODES_H

#include <cstdint>

#include "HostInterface.h"

// "Mk  " -> 0x4D6B2020: the first character in the most significant byte.
constexpr FourCharCode FourCC(const char (&text)[5]) {
    return (static_cast<FourCharCode>(static_cast<unsigned char>(text[0])) << 24) |
           (static_cast<FourCharCode>(static_cast<unsigned char>(text[1])) << 16) |
           (static_cast<FourCharCode>(static_cast<unsigned char>(text[2])) << 8) |
           static_cast<FourCharCode>(static_cast<unsigned char>(text[3]));
}

static_assert(FourCC("Mk  ") == 0x4D6B2020u, "first character is the most significant byte");

// The Actions suites report a 16-bit code: the high half of the register is
// whatever the host left there, so only the low half, sign-extended, counts.
constexpr int32_t ActionsCode(HostStatus status) {
    return static_cast<int32_t>(static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(status) & 0xFFFFu)));
}

static_assert(ActionsCode(static_cast<HostStatus>(0x1234FF80u)) == -128, "junk high half is ignored");
static_assert(ActionsCode(static_cast<HostStatus>(0x12340000u)) == 0, "zero low half is success");

// The host's own statuses, which the plug-in also answers with: -50 for
// memory asked for with no host known, -108 for host memory that could not
// be had.
constexpr HostStatus kUserCancelled = -128;  // the host's "user cancelled"
constexpr HostStatus kParamError = -50;      // the host's "bad parameter"
constexpr HostStatus kMemoryFull = -108;     // the host's "out of memory"
constexpr uint32_t kParmCode = FourCC("Parm");  // no basic suite known

#endif
