#include "CliStatus.h"

#include <cstdint>
#include <cstdio>

#include "host/suites/HostStatusCodes.h"

namespace {
struct KnownStatus {
    HostStatus status;
    const char* meaning;
};

const KnownStatus kKnown[] = {
    {0, "no error"},
    {kUserCancelled, "user cancelled"},
    {kMemoryFull, "out of memory"},
    {kParamError, "bad parameter"},
    {static_cast<HostStatus>(kParmCode), "no host"},
    {kSuiteNotFound, "suite not found"},
    {kDescriptorKeyMissing, "descriptor has no such key"},
    {kDescriptorWrongType, "descriptor value of the wrong type"},
    {kEventNotHandled, "event not handled by the document"},
    {kNoSuchObject, "no such object in the document"},
};

bool IsFourCharCode(uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        const uint32_t c = (value >> shift) & 0xFFu;
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}
}  // namespace

std::string StatusMeaning(HostStatus status) {
    for (const KnownStatus& known : kKnown)
        if (known.status == status) return known.meaning;
    return "unknown status";
}

std::string StatusText(HostStatus status) {
    const uint32_t bits = static_cast<uint32_t>(status);
    char number[48];
    if (IsFourCharCode(bits)) {
        std::snprintf(number, sizeof number, "0x%08X '%c%c%c%c'", static_cast<unsigned>(bits),
                      static_cast<char>(bits >> 24), static_cast<char>(bits >> 16), static_cast<char>(bits >> 8),
                      static_cast<char>(bits));
    } else {
        std::snprintf(number, sizeof number, "%ld", static_cast<long>(status));
    }
    return std::string("host error ") + number + " (" + StatusMeaning(status) + ")";
}
