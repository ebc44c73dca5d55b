#include "ModeParameter.h"

#include "entry/interface/HostCodes.h"
#include "entry/interface/PluginModes.h"
#include "entry/base/HostContext.h"
#include "entry/base/HostSuiteTable.h"

namespace {
// Null when the host reported success yet handed back no suite: then there is
// nothing to read or write, and the run goes on.
const ActionDescriptorSuite* HeldDescriptorSuite() {
    HostSuiteRecord& record = SuiteRecord(HostSuiteId::Descriptor);
    record.EnsureAcquired();
    return static_cast<const ActionDescriptorSuite*>(record.suite);
}
}  // namespace

int32_t ReadModeParameter(ActionParameters& parameters) {
    const ActionDescriptorSuite* held = HeldDescriptorSuite();
    if (held == nullptr) return 0;
    const ActionDescriptorSuite& descriptors = *held;
    if (parameters.descriptor == nullptr) return 0;
    return ActionsCode(descriptors.GetInteger(parameters.descriptor, kModeKey, &currentMode));
}

int32_t WriteModeParameter(ActionParameters& parameters) {
    const ActionDescriptorSuite* held = HeldDescriptorSuite();
    if (held == nullptr) return 0;
    const ActionDescriptorSuite& descriptors = *held;
    ActionDescriptor written = nullptr;
    int32_t code = ActionsCode(descriptors.Make(&written));
    if (code != 0) return code;
    code = ActionsCode(descriptors.PutInteger(written, kModeKey, currentMode));
    if (code != 0) {
        descriptors.Free(written);
        return code;
    }
    if (parameters.descriptor != nullptr) descriptors.Free(parameters.descriptor);
    parameters.descriptor = written;
    parameters.recordInfo = 0;  // recorded with its dialog optional on replay
    return 0;
}
