#include "StandInHost.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "ActionsHost.h"
#include "HostStatusCodes.h"
#include "SuiteTables.h"

namespace {
StandInHost* activeHost = nullptr;

// The plug-in reference the host hands out: any unique address will do.
struct PluginIdentity {
    char tag[8] = "lumacut";
} pluginIdentity;

struct AccessIdentity {
    char tag[8] = "access";
} accessIdentity;

HostStatus LUMACUT_CDECL BasicAcquire(const char* name, int32_t version, const void** suite) {
    return StandInHost::Active().AcquireSuite(name, version, suite);
}
HostStatus LUMACUT_CDECL BasicRelease(const char* name, int32_t version) {
    return StandInHost::Active().ReleaseSuite(name, version);
}
// Declared with a 32-bit result on purpose: a host may leave junk above the
// one-byte boolean, and the plug-in must read only the low byte.
uint32_t LUMACUT_CDECL BasicIsEqual(const char* a, const char* b) { return StandInHost::Active().IsEqual(a, b); }
HostStatus LUMACUT_CDECL BasicAllocate(uint32_t size, void** block) {
    return StandInHost::Active().AllocateBlock(size, block);
}
HostStatus LUMACUT_CDECL BasicFree(void* block) { return StandInHost::Active().FreeBlock(block); }

HostStatus LUMACUT_CDECL HooksGetPluginName(PluginRef plugin, HostString* name) {
    return StandInHost::Active().GetPluginName(plugin, name);
}
HostStatus LUMACUT_CDECL StringRelease(HostString string) { return StandInHost::Active().ReleaseString(string); }
HostStatus LUMACUT_CDECL AccessPlugin(PluginRef plugin, AccessRef* access) {
    return StandInHost::Active().GetPluginAccess(plugin, access);
}
HostStatus LUMACUT_CDECL AccessPlatform(AccessRef access, PlatformAccessInfo* info) {
    return StandInHost::Active().GetPlatformAccess(access, info);
}
HostStatus LUMACUT_CDECL FileListBrowse(const char* url) { return StandInHost::Active().BrowseUrl(url); }

const BasicSuite basicSuite = {
    BasicAcquire, BasicRelease,
    reinterpret_cast<HostBoolean(LUMACUT_CDECL*)(const char*, const char*)>(reinterpret_cast<void (*)()>(BasicIsEqual)),
    BasicAllocate, BasicFree};

UIHooksSuite MakeUIHooks() {
    UIHooksSuite suite{};
    suite.GetPluginName = HooksGetPluginName;
    return suite;
}
StringSuite MakeStrings() {
    StringSuite suite{};
    suite.Release = StringRelease;
    return suite;
}
AccessSuite MakeAccess() {
    AccessSuite suite{};
    suite.GetPluginAccess = AccessPlugin;
    suite.GetPlatformAccess = AccessPlatform;
    return suite;
}
FileListSuite MakeFileList() {
    FileListSuite suite{};
    suite.BrowseUrl = FileListBrowse;
    return suite;
}
const UIHooksSuite uiHooksSuite = MakeUIHooks();
const StringSuite stringSuite = MakeStrings();
const AccessSuite accessSuite = MakeAccess();
const FileListSuite fileListSuite = MakeFileList();

const SuiteEntry kOwnSuites[] = {
    {kUIHooksSuiteName, kUIHooksSuiteVersion, &uiHooksSuite},
    {kStringSuiteName, kStringSuiteVersion, &stringSuite},
    {kAccessSuiteName, kAccessSuiteVersion, &accessSuite},
    {kFileListSuiteName, kFileListSuiteVersion, &fileListSuite},
};

std::string Quoted(const char* text) { return text == nullptr ? std::string("(null)") : "\"" + std::string(text) + "\""; }

std::string Hex(const void* pointer) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", pointer);
    return text;
}
}  // namespace

StandInHost::StandInHost() : actions_(std::make_unique<ActionsHost>(*this)), previous_(activeHost) {
    activeHost = this;
}

StandInHost::~StandInHost() {
    for (auto& block : blocks_) std::free(block.first);
    for (std::string* text : strings_) delete text;
    activeHost = previous_;
}

StandInHost& StandInHost::Active() {
    if (activeHost == nullptr) {
        std::fprintf(stderr, "lumacut host: a suite was called with no host active\n");
        std::abort();
    }
    return *activeHost;
}

const BasicSuite* StandInHost::Basic() const { return &basicSuite; }

PluginRef StandInHost::Plugin() const { return reinterpret_cast<PluginRef>(&pluginIdentity); }

std::string StandInHost::LogText() const {
    std::string text;
    for (const std::string& line : log_) text += line + "\n";
    return text;
}

void StandInHost::Error(const std::string& what) {
    Record("ERROR " + what);
    if (firstError_.empty()) firstError_ = what;
}

int StandInHost::SuitesHeld() const {
    int held = 0;
    for (const auto& use : suiteUses_) held += use.second.held();
    return held;
}

std::vector<std::string> StandInHost::AcquireOrder() const { return acquireOrder_; }
std::vector<std::string> StandInHost::ReleaseOrder() const { return releaseOrder_; }

std::size_t StandInHost::CallCount(const std::string& operation) const {
    auto found = calls_.find(operation);
    return found == calls_.end() ? 0 : found->second;
}

HostStatus StandInHost::Enter(const std::string& operation) {
    const std::size_t count = ++calls_[operation];
    entered_.push_back(operation);
    for (const InjectedFault& fault : faults_) {
        if (fault.operation == operation && static_cast<std::size_t>(fault.nth) == count) {
            Record("  (injected status " + std::to_string(fault.status) + " into " + operation + " #" +
                   std::to_string(count) + ")");
            return fault.status;
        }
    }
    return 0;
}

std::string AcquireOperation(const std::string& suiteName) { return "AcquireSuite:" + suiteName; }

HostStatus StandInHost::AcquireSuite(const char* name, int32_t version, const void** suite) {
    const std::string identifier = name == nullptr ? "" : name;
    Record("AcquireSuite " + Quoted(name) + " v" + std::to_string(version));
    if (suite == nullptr) {
        Error("AcquireSuite without an out pointer");
        return kParamError;
    }
    if (HostStatus injected = Enter(AcquireOperation(identifier))) return injected;
    if (HostStatus injected = Enter("AcquireSuite")) return injected;
    const void* table = actions_->SuiteTable(identifier, version);
    if (table == nullptr) table = FindSuiteTable(kOwnSuites, identifier, version);
    if (table == nullptr) return kSuiteNotFound;
    if (nullSuites_.count(identifier) != 0) table = nullptr;
    *suite = table;
    ++suiteUses_[identifier].acquired;
    acquireOrder_.push_back(identifier);
    return 0;
}

HostStatus StandInHost::ReleaseSuite(const char* name, int32_t version) {
    const std::string identifier = name == nullptr ? "" : name;
    Record("ReleaseSuite " + Quoted(name) + " v" + std::to_string(version));
    SuiteUse& use = suiteUses_[identifier];
    if (use.held() <= 0) {
        Error("ReleaseSuite of a suite not held: " + identifier);
        return kSuiteNotFound;
    }
    ++use.released;
    releaseOrder_.push_back(identifier);
    return 0;
}

uint32_t StandInHost::IsEqual(const char* a, const char* b) {
    Record("IsEqual " + Quoted(a) + " " + Quoted(b));
    if (a == nullptr || b == nullptr) {
        Error("IsEqual given a null string");
        return isEqualJunk_;
    }
    return (std::strcmp(a, b) == 0 ? 1u : 0u) | isEqualJunk_;
}

HostStatus StandInHost::AllocateBlock(uint32_t size, void** block) {
    Record("AllocateBlock " + std::to_string(size));
    if (block == nullptr) {
        Error("AllocateBlock without an out pointer");
        return kParamError;
    }
    if (HostStatus injected = Enter("AllocateBlock")) return injected;
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) return kMemoryFull;
    blocks_[memory] = size;
    ++blocksAllocated_;
    *block = memory;
    return 0;
}

HostStatus StandInHost::FreeBlock(void* block) {
    Record("FreeBlock");
    auto found = blocks_.find(block);
    if (found == blocks_.end()) {
        Error("FreeBlock of a block the host did not hand out: " + Hex(block));
        return kParamError;
    }
    std::free(found->first);
    blocks_.erase(found);
    return 0;
}

HostStatus StandInHost::GetPluginName(PluginRef plugin, HostString* name) {
    Record("GetPluginName");
    if (plugin != Plugin()) Error("GetPluginName for an unknown plug-in reference");
    if (name == nullptr) {
        Error("GetPluginName without an out pointer");
        return kParamError;
    }
    if (HostStatus injected = Enter("GetPluginName")) {
        if (failedNameJunk_ != nullptr) *name = failedNameJunk_;
        return injected;
    }
    std::string* text = new std::string("ZYT_Lumacut");
    strings_.insert(text);
    *name = reinterpret_cast<HostString>(text);
    return 0;
}

HostStatus StandInHost::ReleaseString(HostString string) {
    Record("ReleaseString");
    std::string* text = reinterpret_cast<std::string*>(string);
    if (strings_.erase(text) == 0) {
        Error("Release of a string the host did not hand out");
        return kParamError;
    }
    delete text;
    return 0;
}

HostStatus StandInHost::GetPluginAccess(PluginRef plugin, AccessRef* access) {
    Record("GetPluginAccess");
    if (plugin != Plugin()) Error("GetPluginAccess for an unknown plug-in reference");
    if (access == nullptr) {
        Error("GetPluginAccess without an out pointer");
        return kParamError;
    }
    if (HostStatus injected = Enter("GetPluginAccess")) return injected;
    *access = nullAccessRef_ ? nullptr : reinterpret_cast<AccessRef>(&accessIdentity);
    return 0;
}

HostStatus StandInHost::GetPlatformAccess(AccessRef access, PlatformAccessInfo* info) {
    Record("GetPlatformAccess");
    if (access != reinterpret_cast<AccessRef>(&accessIdentity)) Error("GetPlatformAccess for an unknown access ref");
    if (info == nullptr) {
        Error("GetPlatformAccess without an out pointer");
        return kParamError;
    }
    if (HostStatus injected = Enter("GetPlatformAccess")) return injected;
    info->defaultModule = accessModules_[0];
    info->resourceModule = accessModules_[1];
    return 0;
}

HostStatus StandInHost::BrowseUrl(const char* url) {
    Record("BrowseUrl " + Quoted(url));
    if (HostStatus injected = Enter("BrowseUrl")) return injected;
    browsedUrls_.push_back(url == nullptr ? "" : url);
    return 0;
}
