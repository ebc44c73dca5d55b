// The host's plug-in interface as this plug-in uses it, declared once, as C.
// Every record the host and the plug-in share has its layout pinned by
// static_assert below, for the 32-bit and the x64 module alike; slots are
// positions in a suite's table of operations, counted from 0, and unused
// slots are kept as reserved pointers.
#ifndef LUMACUT_ENTRY_HOST_INTERFACE_H
#define LUMACUT_ENTRY_HOST_INTERFACE_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define LUMACUT_CDECL __cdecl
#else
#define LUMACUT_CDECL
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t HostStatus;  // 0 = success
typedef uint32_t FourCharCode;
typedef uint8_t HostBoolean;  // one byte, non-zero = true

typedef struct HostPluginOpaque* PluginRef;
typedef struct HostDescriptorOpaque* ActionDescriptor;
typedef struct HostReferenceOpaque* ActionReference;
typedef struct HostListOpaque* ActionList;
typedef struct HostStringOpaque* HostString;
typedef struct HostAccessOpaque* AccessRef;

// Each suite's name and version, what AcquireSuite and ReleaseSuite are
// given, sit beside the table of operations they name.

// slot 0..4; every operation returns a 32-bit status used whole.
typedef struct BasicSuite {
    HostStatus(LUMACUT_CDECL* AcquireSuite)(const char* name, int32_t version, const void** suite);
    HostStatus(LUMACUT_CDECL* ReleaseSuite)(const char* name, int32_t version);
    HostBoolean(LUMACUT_CDECL* IsEqual)(const char* a, const char* b);
    HostStatus(LUMACUT_CDECL* AllocateBlock)(uint32_t size, void** block);
    HostStatus(LUMACUT_CDECL* FreeBlock)(void* block);
} BasicSuite;

// Of the four Actions suites the host returns a 16-bit code in a 32-bit
// register; only the low half counts (see ActionsCode in HostCodes.h).
typedef struct ActionDescriptorSuite {
    HostStatus(LUMACUT_CDECL* Make)(ActionDescriptor* descriptor);                 // 0
    HostStatus(LUMACUT_CDECL* Free)(ActionDescriptor descriptor);                  // 1
    void* reserved2to8[7];                                                         // 2..8
    HostStatus(LUMACUT_CDECL* PutInteger)(ActionDescriptor d, FourCharCode key, int32_t value);  // 9
    HostStatus(LUMACUT_CDECL* PutFloat)(ActionDescriptor d, FourCharCode key, double value);     // 10
    void* reserved11to12[2];                                                                     // 11..12
    HostStatus(LUMACUT_CDECL* PutBoolean)(ActionDescriptor d, FourCharCode key, HostBoolean value);  // 13
    HostStatus(LUMACUT_CDECL* PutList)(ActionDescriptor d, FourCharCode key, ActionList list);       // 14
    void* reserved15to16[2];                                                                         // 15..16
    HostStatus(LUMACUT_CDECL* PutEnumerated)(ActionDescriptor d, FourCharCode key, FourCharCode type,
                                             FourCharCode value);                                    // 17
    HostStatus(LUMACUT_CDECL* PutReference)(ActionDescriptor d, FourCharCode key, ActionReference r);  // 18
    HostStatus(LUMACUT_CDECL* PutClass)(ActionDescriptor d, FourCharCode key, FourCharCode classCode);  // 19
    void* reserved20to21[2];                                                                           // 20..21
    HostStatus(LUMACUT_CDECL* GetInteger)(ActionDescriptor d, FourCharCode key, int32_t* value);       // 22
} ActionDescriptorSuite;

static const char kDescriptorSuiteName[] = "df135115-c769-11d0-8079-00c04fd7ec47";
enum { kDescriptorSuiteVersion = 2 };

typedef struct ActionControlSuite {
    HostStatus(LUMACUT_CDECL* Play)(ActionDescriptor* result, FourCharCode event, ActionDescriptor descriptor,
                                    int32_t dialogOption);  // 0
} ActionControlSuite;

static const char kControlSuiteName[] = "bc1e4d70-f953-11d0-8d9f-00c04fd5f7ee";
enum { kControlSuiteVersion = 2 };

typedef struct ActionReferenceSuite {
    HostStatus(LUMACUT_CDECL* Make)(ActionReference* reference);  // 0
    HostStatus(LUMACUT_CDECL* Free)(ActionReference reference);   // 1
    void* reserved2to7[6];                                        // 2..7
    HostStatus(LUMACUT_CDECL* PutEnumerated)(ActionReference r, FourCharCode classCode, FourCharCode type,
                                             FourCharCode value);                                      // 8
    HostStatus(LUMACUT_CDECL* PutProperty)(ActionReference r, FourCharCode classCode, FourCharCode key);  // 9
    HostStatus(LUMACUT_CDECL* PutClass)(ActionReference r, FourCharCode classCode);                     // 10
} ActionReferenceSuite;

static const char kReferenceSuiteName[] = "df135117-c769-11d0-8079-00c04fd7ec47";
enum { kReferenceSuiteVersion = 2 };

typedef struct ActionListSuite {
    HostStatus(LUMACUT_CDECL* Make)(ActionList* list);  // 0
    HostStatus(LUMACUT_CDECL* Free)(ActionList list);   // 1
    void* reserved2to9[8];                              // 2..9
    HostStatus(LUMACUT_CDECL* PutObject)(ActionList l, FourCharCode classCode, ActionDescriptor object);  // 10
} ActionListSuite;

static const char kListSuiteName[] = "df135116-c769-11d0-8079-00c04fd7ec47";
enum { kListSuiteVersion = 1 };

typedef struct UIHooksSuite {
    void* reserved0to6[7];                                                        // 0..6
    HostStatus(LUMACUT_CDECL* GetPluginName)(PluginRef plugin, HostString* name);  // 7
} UIHooksSuite;

static const char kUIHooksSuiteName[] = "Photoshop UIHooks Suite for Plug-ins";
enum { kUIHooksSuiteVersion = 1 };

typedef struct StringSuite {
    void* reserved0to12[13];                               // 0..12
    HostStatus(LUMACUT_CDECL* Release)(HostString string);  // 13
} StringSuite;

static const char kStringSuiteName[] = "AS ZString Suite";
enum { kStringSuiteVersion = 1 };

// What the access suite's slot 6 fills: the first two fields are module
// handles; the rest of the host's record is not ours to read.
typedef struct PlatformAccessInfo {
    void* defaultModule;
    void* resourceModule;
    void* hostReserved[6];
} PlatformAccessInfo;

typedef struct AccessSuite {
    void* reserved0to1[2];                                                             // 0..1
    HostStatus(LUMACUT_CDECL* GetPluginAccess)(PluginRef plugin, AccessRef* access);  // 2
    void* reserved3to5[3];                                                             // 3..5
    HostStatus(LUMACUT_CDECL* GetPlatformAccess)(AccessRef access, PlatformAccessInfo* info);  // 6
} AccessSuite;

static const char kAccessSuiteName[] = "SP Access Suite";
enum { kAccessSuiteVersion = 3 };

typedef struct FileListSuite {
    void* reserved0to2[3];                                   // 0..2
    HostStatus(LUMACUT_CDECL* BrowseUrl)(const char* url);  // 3
} FileListSuite;

static const char kFileListSuiteName[] = "Photoshop GetFileList Suite for Plug-ins";
enum { kFileListSuiteVersion = 4 };

// Suites the plug-in holds a record for but never calls, so no table of
// operations is declared for them.
static const char kUnnamedSuiteName[] = "61e608b0-40fd-11d1-8da3-00c04fd5f7ee";
enum { kUnnamedSuiteVersion = 1 };
static const char kHandleSuiteName[] = "Photoshop Handle Suite for Plug-ins";
enum { kHandleSuiteVersion = 2 };
static const char kBufferSuiteName[] = "Photoshop Buffer Suite for Plug-ins";
enum { kBufferSuiteVersion = 1 };
static const char kChannelPortsSuiteName[] = "Photoshop ChannelPorts Suite for Plug-ins";
enum { kChannelPortsSuiteVersion = 3 };
static const char kRuntimeSuiteName[] = "SP Runtime Suite";
enum { kRuntimeSuiteVersion = 5 };
static const char kPropertySuiteName[] = "Photoshop Property Suite for Plug-ins";
enum { kPropertySuiteVersion = 1 };

typedef struct ActionParameters {
    int32_t playInfo;  // 1 = show the plug-in's dialog
    int32_t recordInfo;
    ActionDescriptor descriptor;  // may be null
} ActionParameters;

typedef struct EntryMessage {
    uint32_t SPCheck;
    PluginRef self;
    void* globals;
    const BasicSuite* basic;
    ActionParameters* actionParameters;
} EntryMessage;

typedef HostStatus(LUMACUT_CDECL* AutoPluginMainProc)(const char* caller, const char* selector, void* message);

#if defined(__cplusplus)
#define LUMACUT_STATIC_ASSERT static_assert
#else
#define LUMACUT_STATIC_ASSERT _Static_assert
#endif

// Every field and slot has its natural alignment: a pointer is 4 bytes in
// the 32-bit module and 8 in the x64 one, and the host lays its records out
// the same way, so offsets follow from the pointer size alone.
#if UINTPTR_MAX == 0xFFFFFFFFu
#define LUMACUT_SLOT_BYTES 4
LUMACUT_STATIC_ASSERT(sizeof(EntryMessage) == 20, "entry message is five 32-bit fields");
LUMACUT_STATIC_ASSERT(offsetof(EntryMessage, self) == 4, "self at offset 4");
LUMACUT_STATIC_ASSERT(offsetof(EntryMessage, globals) == 8, "globals at offset 8");
LUMACUT_STATIC_ASSERT(offsetof(EntryMessage, basic) == 12, "basic suite at offset 12");
LUMACUT_STATIC_ASSERT(offsetof(EntryMessage, actionParameters) == 16, "action parameters at offset 16");
LUMACUT_STATIC_ASSERT(sizeof(ActionParameters) == 12, "action parameters are three 32-bit fields");
LUMACUT_STATIC_ASSERT(offsetof(PlatformAccessInfo, resourceModule) == 4, "two handles lead the access record");
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
#define LUMACUT_SLOT_BYTES 8
LUMACUT_STATIC_ASSERT(sizeof(EntryMessage) == 40, "entry message: SPCheck padded to 8, then four pointers");
LUMACUT_STATIC_ASSERT(offsetof(EntryMessage, self) == 8, "self at offset 8");
LUMACUT_STATIC_ASSERT(offsetof(EntryMessage, globals) == 16, "globals at offset 16");
LUMACUT_STATIC_ASSERT(offsetof(EntryMessage, basic) == 24, "basic suite at offset 24");
LUMACUT_STATIC_ASSERT(offsetof(EntryMessage, actionParameters) == 32, "action parameters at offset 32");
LUMACUT_STATIC_ASSERT(sizeof(ActionParameters) == 16, "action parameters: two 32-bit fields and a pointer");
LUMACUT_STATIC_ASSERT(offsetof(PlatformAccessInfo, resourceModule) == 8, "two handles lead the access record");
#else
#error "the host interface is laid out for 32-bit and 64-bit pointers only"
#endif

LUMACUT_STATIC_ASSERT(sizeof(HostBoolean) == 1, "booleans are one byte");
LUMACUT_STATIC_ASSERT(offsetof(EntryMessage, SPCheck) == 0, "SPCheck leads the entry message");
LUMACUT_STATIC_ASSERT(offsetof(ActionParameters, playInfo) == 0, "playInfo at offset 0");
LUMACUT_STATIC_ASSERT(offsetof(ActionParameters, recordInfo) == 4, "recordInfo at offset 4");
LUMACUT_STATIC_ASSERT(offsetof(ActionParameters, descriptor) == 8, "descriptor at offset 8");
LUMACUT_STATIC_ASSERT(sizeof(AutoPluginMainProc) == LUMACUT_SLOT_BYTES, "a suite slot holds one function pointer");
LUMACUT_STATIC_ASSERT(sizeof(BasicSuite) == 5 * LUMACUT_SLOT_BYTES, "basic suite has five slots");
LUMACUT_STATIC_ASSERT(offsetof(ActionDescriptorSuite, PutInteger) == 9 * LUMACUT_SLOT_BYTES, "PutInteger is slot 9");
LUMACUT_STATIC_ASSERT(offsetof(ActionDescriptorSuite, PutFloat) == 10 * LUMACUT_SLOT_BYTES, "PutFloat is slot 10");
LUMACUT_STATIC_ASSERT(offsetof(ActionDescriptorSuite, PutBoolean) == 13 * LUMACUT_SLOT_BYTES, "PutBoolean is slot 13");
LUMACUT_STATIC_ASSERT(offsetof(ActionDescriptorSuite, PutList) == 14 * LUMACUT_SLOT_BYTES, "PutList is slot 14");
LUMACUT_STATIC_ASSERT(offsetof(ActionDescriptorSuite, PutEnumerated) == 17 * LUMACUT_SLOT_BYTES,
                      "PutEnumerated is slot 17");
LUMACUT_STATIC_ASSERT(offsetof(ActionDescriptorSuite, PutReference) == 18 * LUMACUT_SLOT_BYTES,
                      "PutReference is slot 18");
LUMACUT_STATIC_ASSERT(offsetof(ActionDescriptorSuite, PutClass) == 19 * LUMACUT_SLOT_BYTES, "PutClass is slot 19");
LUMACUT_STATIC_ASSERT(offsetof(ActionDescriptorSuite, GetInteger) == 22 * LUMACUT_SLOT_BYTES, "GetInteger is slot 22");
LUMACUT_STATIC_ASSERT(offsetof(ActionReferenceSuite, PutEnumerated) == 8 * LUMACUT_SLOT_BYTES,
                      "PutEnumerated is slot 8");
LUMACUT_STATIC_ASSERT(offsetof(ActionReferenceSuite, PutProperty) == 9 * LUMACUT_SLOT_BYTES, "PutProperty is slot 9");
LUMACUT_STATIC_ASSERT(offsetof(ActionReferenceSuite, PutClass) == 10 * LUMACUT_SLOT_BYTES, "PutClass is slot 10");
LUMACUT_STATIC_ASSERT(offsetof(ActionListSuite, PutObject) == 10 * LUMACUT_SLOT_BYTES, "PutObject is slot 10");
LUMACUT_STATIC_ASSERT(offsetof(UIHooksSuite, GetPluginName) == 7 * LUMACUT_SLOT_BYTES, "GetPluginName is slot 7");
LUMACUT_STATIC_ASSERT(offsetof(StringSuite, Release) == 13 * LUMACUT_SLOT_BYTES, "Release is slot 13");
LUMACUT_STATIC_ASSERT(offsetof(AccessSuite, GetPluginAccess) == 2 * LUMACUT_SLOT_BYTES, "plug-in access is slot 2");
LUMACUT_STATIC_ASSERT(offsetof(AccessSuite, GetPlatformAccess) == 6 * LUMACUT_SLOT_BYTES,
                      "platform access is slot 6");
LUMACUT_STATIC_ASSERT(offsetof(FileListSuite, BrowseUrl) == 3 * LUMACUT_SLOT_BYTES, "BrowseUrl is slot 3");

#ifdef __cplusplus
}
#endif

#endif
