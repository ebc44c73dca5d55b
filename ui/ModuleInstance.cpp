#include "ModuleInstance.h"

#include "entry/base/HostSuiteTable.h"

ModuleHandle moduleInstance = nullptr;

ModuleHandle GetModuleInstance(PluginRef plugin) {
    if (plugin == nullptr) return moduleInstance;
    const AccessSuite& access = Access();

    AccessRef accessRef = nullptr;
    // A host that cannot say which plug-in this is leaves us where DllMain
    // put us: our own module still holds our resources.
    if (access.GetPluginAccess(plugin, &accessRef) != 0 || accessRef == nullptr) return moduleInstance;

    PlatformAccessInfo info{};
    if (access.GetPlatformAccess(accessRef, &info) != 0) {
        moduleInstance = nullptr;
    } else {
        moduleInstance = info.resourceModule != nullptr ? info.resourceModule : info.defaultModule;
    }
    return moduleInstance;
}
