// Our stand-in for the plug-in host: a real implementation of the suites the
// plug-in calls, which records every call, tracks every suite, block and
// string it hands out, and can fail any operation on request.
//
// Suite operations are plain C functions without a context argument, as the
// host's interface has them, so one StandInHost is "active" at a time.
#ifndef LUMACUT_HOST_STAND_IN_HOST_H
#define LUMACUT_HOST_STAND_IN_HOST_H

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "entry/interface/HostInterface.h"

class ActionsHost;

// Fail the n-th call (from 1) of an operation with a chosen status.
struct InjectedFault {
    std::string operation;  // AcquireOperation(kStringSuiteName), "AllocateBlock", "Play", "actions", ...
    int nth = 1;
    HostStatus status = -1;
};

// The operation under which acquiring a suite is counted, failed and
// logged: "AcquireSuite:" and the suite's name.
std::string AcquireOperation(const std::string& suiteName);

struct SuiteUse {
    int acquired = 0;
    int released = 0;
    int held() const { return acquired - released; }
};

class StandInHost {
public:
    StandInHost();
    ~StandInHost();
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    static StandInHost& Active();

    const BasicSuite* Basic() const;
    PluginRef Plugin() const;

    // ---- what the host saw
    const std::vector<std::string>& Log() const { return log_; }
    std::string LogText() const;
    void ClearLog() { log_.clear(); }
    void Record(const std::string& line) { log_.push_back(line); }
    // The first contract violation seen (double free, unknown handle, ...).
    const std::string& FirstError() const { return firstError_; }
    void Error(const std::string& what);

    const std::map<std::string, SuiteUse>& SuiteUses() const { return suiteUses_; }
    int SuitesHeld() const;
    std::vector<std::string> AcquireOrder() const;
    std::vector<std::string> ReleaseOrder() const;
    std::size_t LiveBlocks() const { return blocks_.size(); }
    std::size_t LiveStrings() const { return strings_.size(); }
    std::size_t BlocksAllocated() const { return blocksAllocated_; }
    const std::vector<std::string>& BrowsedUrls() const { return browsedUrls_; }
    std::size_t CallCount(const std::string& operation) const;

    // ---- behaviour
    void Inject(const InjectedFault& fault) { faults_.push_back(fault); }
    void ClearFaults() { faults_.clear(); }
    // Returns the injected status for this call of the operation, or 0.
    HostStatus Enter(const std::string& operation);
    // Every operation entered so far, in order: what a fault sweep fails in
    // turn. An Actions operation is entered as "actions", then by its name.
    const std::vector<std::string>& Entered() const { return entered_; }
    void SetIsEqualJunk(uint32_t highBits) { isEqualJunk_ = highBits; }
    // What a failing GetPluginName leaves in its out value, as a careless
    // host might: nothing the plug-in may release.
    void SetFailedNameJunk(HostString junk) { failedNameJunk_ = junk; }
    void SetAcquireReturnsNullSuite(const std::string& identifier) { nullSuites_.insert(identifier); }
    void SetAccessModules(void* first, void* second) {
        accessModules_[0] = first;
        accessModules_[1] = second;
    }
    void SetNullAccessRef(bool on) { nullAccessRef_ = on; }

    ActionsHost& Actions() { return *actions_; }
    const ActionsHost& Actions() const { return *actions_; }

    // ---- the operations, as the suites call them
    HostStatus AcquireSuite(const char* name, int32_t version, const void** suite);
    HostStatus ReleaseSuite(const char* name, int32_t version);
    uint32_t IsEqual(const char* a, const char* b);
    HostStatus AllocateBlock(uint32_t size, void** block);
    HostStatus FreeBlock(void* block);
    HostStatus GetPluginName(PluginRef plugin, HostString* name);
    HostStatus ReleaseString(HostString string);
    HostStatus GetPluginAccess(PluginRef plugin, AccessRef* access);
    HostStatus GetPlatformAccess(AccessRef access, PlatformAccessInfo* info);
    HostStatus BrowseUrl(const char* url);

private:
    std::vector<std::string> log_;
    std::string firstError_;
    std::vector<InjectedFault> faults_;
    std::map<std::string, std::size_t> calls_;
    std::vector<std::string> entered_;
    std::map<std::string, SuiteUse> suiteUses_;
    std::vector<std::string> acquireOrder_;
    std::vector<std::string> releaseOrder_;
    std::set<std::string> nullSuites_;
    std::map<void*, uint32_t> blocks_;
    std::size_t blocksAllocated_ = 0;
    std::set<std::string*> strings_;
    std::vector<std::string> browsedUrls_;
    uint32_t isEqualJunk_ = 0;
    HostString failedNameJunk_ = nullptr;
    void* accessModules_[2] = {nullptr, nullptr};
    bool nullAccessRef_ = false;
    std::unique_ptr<ActionsHost> actions_;
    StandInHost* previous_ = nullptr;
};

#endif
