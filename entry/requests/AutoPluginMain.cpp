// The one way in: the host calls here for the About and run requests.
#include "entry/interface/HostCodes.h"
#include "entry/interface/HostRequests.h"
#include "entry/base/HostContext.h"
#include "entry/base/HostSuiteTable.h"
#include "PluginExport.h"
#include "RunRequest.h"
#include "resources/ResourceIds.h"
#include "ui/PluginDialogs.h"

namespace {
constexpr int32_t kAboutDialogId = LUMACUT_ABOUT_DIALOG;

bool HostSaysEqual(const char* text, const char* expected) {
    // A null string from the host can equal nothing; the host's own compare
    // would read through it.
    if (text == nullptr) return false;
    return hostContext.basicSuite->IsEqual(text, expected) != 0;
}

bool IsRequest(const char* caller, const char* selector, const HostRequest& wanted) {
    return HostSaysEqual(caller, wanted.caller) && HostSaysEqual(selector, wanted.selector);
}
}  // namespace

extern "C" LUMACUT_EXPORT HostStatus LUMACUT_CDECL AutoPluginMain(const char* caller, const char* selector,
                                                                  void* message) noexcept {
    const EntryMessage* entry = static_cast<const EntryMessage*>(message);
    if (entry == nullptr || entry->basic == nullptr) return static_cast<HostStatus>(kParmCode);
    hostContext.basicSuite = entry->basic;
    hostContext.pluginRef = entry->self;

    // Nothing may cross into the host as an exception: it would take the host
    // and the photographer's unsaved work down with it.
    HostStatus result = 0;
    try {
        if (IsRequest(caller, selector, kAboutRequest)) ShowAboutBox(hostContext.pluginRef, kAboutDialogId);
        if (IsRequest(caller, selector, kRunRequest)) result = RunRequest(entry->actionParameters);
    } catch (const HostError& error) {
        result = error.status;
    } catch (...) {
        result = static_cast<HostStatus>(kParmCode);
    }
    pipelineStatus = 0;
    ReleaseAllHostSuites();
    return result;
}
