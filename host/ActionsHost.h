// The host's Actions suites: descriptors, references, lists and Play.
#ifndef LUMACUT_HOST_ACTIONS_HOST_H
#define LUMACUT_HOST_ACTIONS_HOST_H

#include <cstddef>
#include <string>

#include "entry/HostInterface.h"

class StandInHost;

class ActionsHost {
public:
    explicit ActionsHost(StandInHost& host) : host_(host) {}
    // The suite table for an Actions suite identifier and version, else null.
    const void* SuiteTable(const std::string& identifier, int32_t version) const;
    std::size_t LiveHandles() const { return 0; }

private:
    StandInHost& host_;
};

#endif
