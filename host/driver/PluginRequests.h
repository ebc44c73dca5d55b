// Sends the host's requests to a loaded plug-in with real message and
// action-parameter records.
#ifndef LUMACUT_HOST_PLUGIN_REQUESTS_H
#define LUMACUT_HOST_PLUGIN_REQUESTS_H

#include "PluginModule.h"
#include "host/suites/StandInHost.h"

HostStatus SendRequest(const PluginModule& module, StandInHost& host, const char* caller, const char* selector,
                       ActionParameters* parameters);
HostStatus SendAbout(const PluginModule& module, StandInHost& host);
HostStatus SendRun(const PluginModule& module, StandInHost& host, ActionParameters* parameters);

#endif
