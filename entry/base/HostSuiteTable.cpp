#include "HostSuiteTable.h"

#include "entry/interface/HostCodes.h"
#include "HostContext.h"

HostSuiteRecord::HostSuiteRecord(const char* name, int32_t suiteVersion) : version(suiteVersion), identifier(name) {}

HostSuiteRecord::~HostSuiteRecord() { ReleaseIfHeld(); }

void HostSuiteRecord::EnsureAcquired() {
    if (suite != nullptr) return;
    const BasicSuite* basic = hostContext.basicSuite;
    if (basic == nullptr) throw HostError{static_cast<int32_t>(kParmCode)};
    const HostStatus status = basic->AcquireSuite(identifier, version, &suite);
    lastError = status;
    if (status != 0) {
        // A host that fails may still have written the out value; a suite we
        // were refused is not held.
        suite = nullptr;
        throw HostError{status};
    }
}

void HostSuiteRecord::ReleaseIfHeld() noexcept {
    const BasicSuite* basic = hostContext.basicSuite;
    if (suite == nullptr || identifier == nullptr || basic == nullptr) return;
    basic->ReleaseSuite(identifier, version);
    suite = nullptr;
}

HostSuiteRecord HostSuiteTable[kHostSuiteCount] = {
    {kDescriptorSuiteName, kDescriptorSuiteVersion},
    {kControlSuiteName, kControlSuiteVersion},
    {kReferenceSuiteName, kReferenceSuiteVersion},
    {kListSuiteName, kListSuiteVersion},
    {kUnnamedSuiteName, kUnnamedSuiteVersion},
    {kUIHooksSuiteName, kUIHooksSuiteVersion},
    {kHandleSuiteName, kHandleSuiteVersion},
    {kStringSuiteName, kStringSuiteVersion},
    {kAccessSuiteName, kAccessSuiteVersion},
    {kFileListSuiteName, kFileListSuiteVersion},
    {kBufferSuiteName, kBufferSuiteVersion},
    {kChannelPortsSuiteName, kChannelPortsSuiteVersion},
    {kRuntimeSuiteName, kRuntimeSuiteVersion},
    {kPropertySuiteName, kPropertySuiteVersion},
};

HostSuiteRecord& SuiteRecord(HostSuiteId id) { return HostSuiteTable[static_cast<std::size_t>(id)]; }

void ReleaseAllHostSuites() noexcept {
    for (HostSuiteRecord& record : HostSuiteTable) record.ReleaseIfHeld();
}

namespace {
template <typename Suite>
const Suite& Acquired(HostSuiteId id) {
    HostSuiteRecord& record = SuiteRecord(id);
    record.EnsureAcquired();
    // A host that reports success but hands back no table cannot be called.
    if (record.suite == nullptr) throw HostError{static_cast<int32_t>(kParmCode)};
    return *static_cast<const Suite*>(record.suite);
}
}  // namespace

const ActionDescriptorSuite& DescriptorSuite() { return Acquired<ActionDescriptorSuite>(HostSuiteId::Descriptor); }
const ActionControlSuite& ControlSuite() { return Acquired<ActionControlSuite>(HostSuiteId::Control); }
const ActionReferenceSuite& ReferenceSuite() { return Acquired<ActionReferenceSuite>(HostSuiteId::Reference); }
const ActionListSuite& ListSuite() { return Acquired<ActionListSuite>(HostSuiteId::List); }
const UIHooksSuite& UIHooks() { return Acquired<UIHooksSuite>(HostSuiteId::UIHooks); }
const StringSuite& Strings() { return Acquired<StringSuite>(HostSuiteId::String); }
const AccessSuite& Access() { return Acquired<AccessSuite>(HostSuiteId::Access); }
const FileListSuite& FileList() { return Acquired<FileListSuite>(HostSuiteId::FileList); }
