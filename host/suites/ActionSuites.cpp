// The C tables of the four Actions suites. The host's operations carry no
// context argument, so each one forwards to the active stand-in.
#include "ActionsHost.h"
#include "StandInHost.h"
#include "SuiteTables.h"

namespace {
ActionsHost& Actions() { return StandInHost::Active().Actions(); }

HostStatus LUMACUT_CDECL DMake(ActionDescriptor* d) { return Actions().DescriptorMake(d); }
HostStatus LUMACUT_CDECL DFree(ActionDescriptor d) { return Actions().DescriptorFree(d); }
HostStatus LUMACUT_CDECL DPutInteger(ActionDescriptor d, FourCharCode key, int32_t value) {
    return Actions().DescriptorPutInteger(d, key, value);
}
HostStatus LUMACUT_CDECL DPutFloat(ActionDescriptor d, FourCharCode key, double value) {
    return Actions().DescriptorPutFloat(d, key, value);
}
HostStatus LUMACUT_CDECL DPutBoolean(ActionDescriptor d, FourCharCode key, HostBoolean value) {
    return Actions().DescriptorPutBoolean(d, key, value);
}
HostStatus LUMACUT_CDECL DPutList(ActionDescriptor d, FourCharCode key, ActionList list) {
    return Actions().DescriptorPutList(d, key, list);
}
HostStatus LUMACUT_CDECL DPutEnumerated(ActionDescriptor d, FourCharCode key, FourCharCode type, FourCharCode value) {
    return Actions().DescriptorPutEnumerated(d, key, type, value);
}
HostStatus LUMACUT_CDECL DPutReference(ActionDescriptor d, FourCharCode key, ActionReference reference) {
    return Actions().DescriptorPutReference(d, key, reference);
}
HostStatus LUMACUT_CDECL DPutClass(ActionDescriptor d, FourCharCode key, FourCharCode classCode) {
    return Actions().DescriptorPutClass(d, key, classCode);
}
HostStatus LUMACUT_CDECL DGetInteger(ActionDescriptor d, FourCharCode key, int32_t* value) {
    return Actions().DescriptorGetInteger(d, key, value);
}

HostStatus LUMACUT_CDECL CPlay(ActionDescriptor* result, FourCharCode event, ActionDescriptor descriptor,
                               int32_t dialogOption) {
    return Actions().Play(result, event, descriptor, dialogOption);
}

HostStatus LUMACUT_CDECL RMake(ActionReference* r) { return Actions().ReferenceMake(r); }
HostStatus LUMACUT_CDECL RFree(ActionReference r) { return Actions().ReferenceFree(r); }
HostStatus LUMACUT_CDECL RPutEnumerated(ActionReference r, FourCharCode classCode, FourCharCode type,
                                        FourCharCode value) {
    return Actions().ReferencePutEnumerated(r, classCode, type, value);
}
HostStatus LUMACUT_CDECL RPutProperty(ActionReference r, FourCharCode classCode, FourCharCode key) {
    return Actions().ReferencePutProperty(r, classCode, key);
}
HostStatus LUMACUT_CDECL RPutClass(ActionReference r, FourCharCode classCode) {
    return Actions().ReferencePutClass(r, classCode);
}

HostStatus LUMACUT_CDECL LMake(ActionList* l) { return Actions().ListMake(l); }
HostStatus LUMACUT_CDECL LFree(ActionList l) { return Actions().ListFree(l); }
HostStatus LUMACUT_CDECL LPutObject(ActionList l, FourCharCode classCode, ActionDescriptor object) {
    return Actions().ListPutObject(l, classCode, object);
}

// Slots the plug-in never calls stay null: a call through one crashes the
// test at once instead of doing something plausible.
ActionDescriptorSuite MakeDescriptorSuite() {
    ActionDescriptorSuite suite{};
    suite.Make = DMake;
    suite.Free = DFree;
    suite.PutInteger = DPutInteger;
    suite.PutFloat = DPutFloat;
    suite.PutBoolean = DPutBoolean;
    suite.PutList = DPutList;
    suite.PutEnumerated = DPutEnumerated;
    suite.PutReference = DPutReference;
    suite.PutClass = DPutClass;
    suite.GetInteger = DGetInteger;
    return suite;
}
ActionControlSuite MakeControlSuite() {
    ActionControlSuite suite{};
    suite.Play = CPlay;
    return suite;
}
ActionReferenceSuite MakeReferenceSuite() {
    ActionReferenceSuite suite{};
    suite.Make = RMake;
    suite.Free = RFree;
    suite.PutEnumerated = RPutEnumerated;
    suite.PutProperty = RPutProperty;
    suite.PutClass = RPutClass;
    return suite;
}
ActionListSuite MakeListSuite() {
    ActionListSuite suite{};
    suite.Make = LMake;
    suite.Free = LFree;
    suite.PutObject = LPutObject;
    return suite;
}

const ActionDescriptorSuite descriptorSuite = MakeDescriptorSuite();
const ActionControlSuite controlSuite = MakeControlSuite();
const ActionReferenceSuite referenceSuite = MakeReferenceSuite();
const ActionListSuite listSuite = MakeListSuite();

const SuiteEntry kActionSuites[] = {
    {kDescriptorSuiteName, kDescriptorSuiteVersion, &descriptorSuite},
    {kControlSuiteName, kControlSuiteVersion, &controlSuite},
    {kReferenceSuiteName, kReferenceSuiteVersion, &referenceSuite},
    {kListSuiteName, kListSuiteVersion, &listSuite},
};
}  // namespace

const void* ActionsHost::SuiteTable(const std::string& identifier, int32_t version) const {
    return FindSuiteTable(kActionSuites, identifier, version);
}
