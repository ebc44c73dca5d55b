#include "HostSuiteTable.h"

#include "HostCodes.h"
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
    {"df135115-c769-11d0-8079-00c04fd7ec47", 2},
    {"bc1e4d70-f953-11d0-8d9f-00c04fd5f7ee", 2},
    {"df135117-c769-11d0-8079-00c04fd7ec47", 2},
    {"df135116-c769-11d0-8079-00c04fd7ec47", 1},
    {"61e608b0-40fd-11d1-8da3-00c04fd5f7ee", 1},
    {"Photoshop UIHooks Suite for Plug-ins", 1},
    {"Photoshop Handle Suite for Plug-ins", 2},
    {"AS ZString Suite", 1},
    {"SP Access Suite", 3},
    {"Photoshop GetFileList Suite for Plug-ins", 4},
    {"Photoshop Buffer Suite for Plug-ins", 1},
    {"Photoshop ChannelPorts Suite for Plug-ins", 3},
    {"SP Runtime Suite", 5},
    {"Photoshop Property Suite for Plug-ins", 1},
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
