#include "PluginRequests.h"

#include "entry/interface/HostRequests.h"
#include "host/suites/ActionsHost.h"

HostStatus SendRequest(const PluginModule& module, StandInHost& host, const char* caller, const char* selector,
                       ActionParameters* parameters) {
    EntryMessage message{};
    message.SPCheck = 0;
    message.self = host.Plugin();
    message.basic = host.Basic();
    message.actionParameters = parameters;
    host.Record(std::string("-> AutoPluginMain \"") + (caller ? caller : "(null)") + "\" \"" +
                (selector ? selector : "(null)") + "\"");
    const HostStatus status = module.Entry()(caller, selector, &message);
    host.Record("<- status " + std::to_string(status));
    // What the plug-in left in the parameters is the host's from now on;
    // any other Actions handle it still holds has leaked.
    host.Actions().EndOfCall(parameters != nullptr ? parameters->descriptor : nullptr);
    return status;
}

HostStatus SendAbout(const PluginModule& module, StandInHost& host) {
    return SendRequest(module, host, kAboutRequest.caller, kAboutRequest.selector, nullptr);
}

HostStatus SendRun(const PluginModule& module, StandInHost& host, ActionParameters* parameters) {
    return SendRequest(module, host, kRunRequest.caller, kRunRequest.selector, parameters);
}
