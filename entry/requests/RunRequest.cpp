#include "entry/interface/HostCodes.h"
#include "entry/base/HostContext.h"
#include "entry/base/HostSuiteTable.h"
#include "entry/parameter/ModeParameter.h"
#include "RunRequest.h"
#include "mask/MaskPipeline.h"
#include "ui/PluginDialogs.h"

namespace {
// Holds the plug-in name from GetPluginName to its release. Released
// explicitly before the write-back; the destructor covers a run left by a
// HostError, so the host's string is not lost either way.
class PluginName {
public:
    // Cleared for each call, so that only what a successful call wrote is
    // ever released.
    HostString* Out() {
        name_ = nullptr;
        return &name_;
    }
    // A failed call hands back no name: whatever the host left in the out
    // value is not a string it gave us, and must not go back to it.
    void Forget() noexcept { name_ = nullptr; }
    void Release() noexcept {
        HostString name = name_;
        name_ = nullptr;
        if (name == nullptr) return;
        try {
            Strings().Release(name);
        } catch (const HostError&) {
            // No string suite, no way to give the name back.
        }
    }
    ~PluginName() { Release(); }

private:
    HostString name_ = nullptr;
};
}  // namespace

int32_t RunRequest(ActionParameters* parameters) {
    // Hold the string suite before taking the name: a host that cannot give
    // it would otherwise leave us owning a name we could never give back.
    Strings();
    PluginName name;
    int32_t status = UIHooks().GetPluginName(hostContext.pluginRef, name.Out());
    if (status != 0) {
        name.Forget();
        return status;
    }

    currentMode = 1;
    // Without parameters a run behaves as one with no descriptor and no
    // dialog asked for, and nothing is written back.
    if (parameters != nullptr) ReadModeParameter(*parameters);
    if (parameters != nullptr && parameters->playInfo == 1) status = ShowModeDialog();

    if (status == 0) {
        RunMaskPipeline();
        status = pipelineStatus;
        pipelineStatus = 0;
    }
    name.Release();
    if (status == 0 && parameters != nullptr) WriteModeParameter(*parameters);
    return status;
}
