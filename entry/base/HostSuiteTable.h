// The host suites the plug-in calls, acquired on first use within an entry
// call and released at its end.
#ifndef LUMACUT_ENTRY_HOST_SUITE_TABLE_H
#define LUMACUT_ENTRY_HOST_SUITE_TABLE_H

#include <cstddef>
#include <cstdint>

#include "entry/interface/HostInterface.h"

class HostSuiteRecord {
public:
    HostSuiteRecord(const char* name, int32_t suiteVersion);
    ~HostSuiteRecord();  // releases a suite still held at unload
    HostSuiteRecord(const HostSuiteRecord&) = delete;
    HostSuiteRecord& operator=(const HostSuiteRecord&) = delete;

    // Throws HostError with the host's status, or "Parm" with no basic suite.
    void EnsureAcquired();
    void ReleaseIfHeld() noexcept;

    const void* suite = nullptr;
    const int32_t version;
    const char* const identifier;
    int32_t lastError = 0;
};

enum class HostSuiteId : std::size_t {
    Descriptor,
    Control,
    Reference,
    List,
    Unnamed5,
    UIHooks,
    Handle,
    String,
    Access,
    FileList,
    Buffer,
    ChannelPorts,
    Runtime,
    Property,
    Count
};

constexpr std::size_t kHostSuiteCount = static_cast<std::size_t>(HostSuiteId::Count);
static_assert(kHostSuiteCount == 14, "the table has fourteen records");

// Records in table order; constructed at load in this order, destroyed in
// reverse at unload.
extern HostSuiteRecord HostSuiteTable[kHostSuiteCount];

HostSuiteRecord& SuiteRecord(HostSuiteId id);
void ReleaseAllHostSuites() noexcept;

// Typed access: each call makes sure the suite is held first.
const ActionDescriptorSuite& DescriptorSuite();
const ActionControlSuite& ControlSuite();
const ActionReferenceSuite& ReferenceSuite();
const ActionListSuite& ListSuite();
const UIHooksSuite& UIHooks();
const StringSuite& Strings();
const AccessSuite& Access();
const FileListSuite& FileList();

#endif
