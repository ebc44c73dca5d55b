// A plug-in or host status in words, for people reading lumacut-host's
// messages: "host error -128 (user cancelled)".
#ifndef LUMACUT_HOST_CLI_STATUS_H
#define LUMACUT_HOST_CLI_STATUS_H

#include <string>

#include "entry/interface/HostInterface.h"

// What the status means, or "unknown status" for one we do not know.
std::string StatusMeaning(HostStatus status);

// "host error -128 (user cancelled)"; a status that is a four-character
// code is shown as one too: "host error 0x5061726D 'Parm' (no host)".
std::string StatusText(HostStatus status);

#endif
