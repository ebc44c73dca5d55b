// libFuzzer target: the plug-in's own code, through its real entry point,
// talking to a host whose every answer comes from the fuzz input: which
// request it sends and with what strings, the action parameters and the
// descriptor they carry, the status of any host operation, whether Play
// hands back a result, junk above IsEqual's byte, suites acquired without a
// table. Up to three requests share one host, so state left between calls
// is exercised too.
//
// Whatever the host says, the plug-in must not crash (ASan and UBSan watch
// every access), must free every handle, block and string it took, and must
// not hold a suite after a call. Where the host is honest (every injected
// failure has a non-zero code where the plug-in reads it, every suite comes
// with its table) the stand-in's own contract checks apply too: no handle
// used after its Free or freed twice, a failed call leaves the parameters as
// the host passed them, a written descriptor holds the mode alone.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "entry/interface/HostCodes.h"
#include "entry/interface/HostRequests.h"
#include "entry/interface/PluginModes.h"
#include "host/suites/ActionText.h"
#include "host/suites/ActionsHost.h"
#include "host/suites/StandInHost.h"

extern "C" HostStatus AutoPluginMain(const char* caller, const char* selector, void* message) noexcept;

namespace {

[[noreturn]] void Finding(const std::string& what, const StandInHost& host) {
    std::fprintf(stderr, "lumacut fuzz: %s\n--- host log ---\n%s\n", what.c_str(), host.LogText().c_str());
    std::abort();
}

const char* const kActionsOperations[] = {
    "actions",          "DescriptorMake",         "DescriptorFree",         "DescriptorPutInteger",
    "DescriptorPutFloat", "DescriptorPutBoolean", "DescriptorPutList",      "DescriptorPutEnumerated",
    "DescriptorPutReference", "DescriptorPutClass", "DescriptorGetInteger", "Play",
    "ReferenceMake",    "ReferenceFree",          "ReferencePutEnumerated", "ReferencePutProperty",
    "ReferencePutClass", "ListMake",              "ListFree",               "ListPutObject"};

// The suites the plug-in calls, in the order the corpus was made with.
const char* const kSuites[] = {kDescriptorSuiteName, kControlSuiteName, kReferenceSuiteName, kListSuiteName,
                               kUIHooksSuiteName,    kStringSuiteName,  kAccessSuiteName,    kFileListSuiteName};

const char* const kBasicOperations[] = {"AcquireSuite", "AllocateBlock", "GetPluginName", "GetPluginAccess",
                                        "GetPlatformAccess", "BrowseUrl"};

template <typename T, std::size_t N>
const T& Pick(FuzzedDataProvider& input, const T (&items)[N]) {
    return items[input.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

FourCharCode Code(FuzzedDataProvider& input) {
    static const char* const kCodes[] = {kModeKeyText, kModeKeyText, kModeKeyText, "null", "T   ", "Chnl", "Ordn", "Trgt", "Lyr "};
    if (input.ConsumeBool()) return input.ConsumeIntegral<FourCharCode>();
    const char* text = Pick(input, kCodes);
    FourCharCode code = 0;
    for (int i = 0; i < 4; ++i) code = (code << 8) | static_cast<unsigned char>(text[i]);
    return code;
}

DescriptorValue Descriptor(FuzzedDataProvider& input, int depth);

ActionValue Value(FuzzedDataProvider& input, int depth) {
    switch (input.ConsumeIntegralInRange(0, depth > 0 ? 7 : 5)) {
    case 0:
        return ActionValue::Integer(input.ConsumeIntegral<int32_t>());
    case 1:
        return ActionValue::Float(input.ConsumeFloatingPoint<double>());
    case 2:
        return ActionValue::Boolean(input.ConsumeBool());
    case 3:
        return ActionValue::Enumerated(Code(input), Code(input));
    case 4:
        return ActionValue::Class(Code(input));
    case 5: {
        ReferenceValue reference;
        reference.forms.push_back(ReferenceForm::Enumerated(Code(input), Code(input), Code(input)));
        return ActionValue::Reference(reference);
    }
    case 6: {
        std::vector<ActionValue> items;
        const int count = input.ConsumeIntegralInRange(0, 3);
        for (int i = 0; i < count; ++i) items.push_back(Value(input, depth - 1));
        return ActionValue::List(items);
    }
    default:
        return ActionValue::Object(Code(input), Descriptor(input, depth - 1));
    }
}

DescriptorValue Descriptor(FuzzedDataProvider& input, int depth) {
    DescriptorValue descriptor;
    const int count = input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < count; ++i) {
        const FourCharCode key = Code(input);
        descriptor.Put(key, Value(input, depth));
    }
    return descriptor;
}

// The fuzz input the Play handler reads from while the plug-in runs.
FuzzedDataProvider* playInput = nullptr;
StandInHost* playHost = nullptr;
bool honestPlay = true;

HostStatus PlayAnswer(const PlayedEvent&) {
    if (playInput == nullptr || playInput->remaining_bytes() == 0) return 0;
    // Whether this event hands back a result, and how it ends.
    playHost->Actions().SetPlayFillsResult(playInput->ConsumeBool());
    if (playInput->ConsumeIntegralInRange(0, 7) != 0) return 0;
    const HostStatus status = playInput->ConsumeIntegral<HostStatus>();
    if ((status & 0xFFFF) == 0) honestPlay = false;  // a "success" that did nothing
    return status;
}

bool IsFaultOfActions(const std::string& operation) {
    for (const char* name : kActionsOperations)
        if (operation == name) return true;
    return false;
}

void OneRequest(FuzzedDataProvider& input, StandInHost& host, bool& honest) {
    // The request and its strings.
    std::string caller = kRunRequest.caller, selector = kRunRequest.selector;
    switch (input.ConsumeIntegralInRange(0, 15)) {
    case 0:
        caller = kAboutRequest.caller;
        selector = kAboutRequest.selector;
        break;
    case 1:
        caller = input.ConsumeRandomLengthString(64);
        selector = input.ConsumeRandomLengthString(64);
        break;
    case 2:
        selector = "DO IT";
        break;
    default:
        break;
    }
    const int shape = input.ConsumeIntegralInRange(0, 31);  // 0: no message, 1: no basic, 2: no parameters

    // The host's answers for this request.
    host.SetIsEqualJunk(input.ConsumeBool() ? 0u : input.ConsumeIntegral<uint32_t>() & 0xFFFFFF00u);
    const int faults = input.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < faults; ++i) {
        std::string operation;
        switch (input.ConsumeIntegralInRange(0, 2)) {
        case 0:
            operation = Pick(input, kActionsOperations);
            break;
        case 1:
            operation = AcquireOperation(Pick(input, kSuites));
            break;
        default:
            operation = Pick(input, kBasicOperations);
            break;
        }
        const int nth = static_cast<int>(host.CallCount(operation)) + input.ConsumeIntegralInRange(1, 24);
        const HostStatus status = input.ConsumeIntegral<HostStatus>();
        if (status == 0 || (IsFaultOfActions(operation) && (status & 0xFFFF) == 0)) honest = false;
        host.Inject({operation, nth, status});
    }
    if (input.ConsumeIntegralInRange(0, 31) == 0) {
        host.SetAcquireReturnsNullSuite(Pick(input, kSuites));
        honest = false;
    }

    ActionParameters parameters{input.ConsumeIntegralInRange(-1, 3), input.ConsumeIntegral<int32_t>(), nullptr};
    if (input.ConsumeIntegralInRange(0, 4) != 0) parameters.descriptor = host.Actions().NewDescriptor(Descriptor(input, 2));
    const ActionDescriptor incoming = parameters.descriptor;
    const std::optional<DescriptorValue> incomingContent = host.Actions().Content(incoming);
    const ActionParameters before = parameters;

    EntryMessage message{};
    message.self = host.Plugin();
    message.basic = shape == 1 ? nullptr : host.Basic();
    message.actionParameters = shape == 2 ? nullptr : &parameters;

    playInput = &input;
    playHost = &host;
    const std::size_t blocksBefore = host.LiveBlocks();
    const std::size_t logBefore = host.Log().size();
    const HostStatus status = AutoPluginMain(caller.c_str(), selector.c_str(), shape == 0 ? nullptr : &message);
    playInput = nullptr;
    honest = honest && honestPlay;

    const bool wrote = parameters.descriptor != incoming || parameters.recordInfo != before.recordInfo;
    const std::size_t live = host.Actions().LiveHandles() - (wrote && parameters.descriptor != nullptr ? 1 : 0);
    if (live != 0) Finding(std::to_string(live) + " Actions handles left live by the call", host);
    host.Actions().EndOfCall(parameters.descriptor);
    if (host.LiveBlocks() != blocksBefore) Finding("host blocks left allocated", host);
    if (host.LiveStrings() != 0) Finding("plug-in name not released", host);
    if (shape <= 1 && static_cast<uint32_t>(status) != kParmCode) Finding("no message or basic, not \"Parm\"", host);
    if (shape <= 1 && host.Log().size() != logBefore) Finding("host called without a basic suite", host);

    if (!honest) {
        if (wrote && parameters.descriptor != nullptr && host.Actions().IsLive(parameters.descriptor))
            host.Actions().TakeDescriptor(parameters.descriptor);
        return;
    }
    if (host.SuitesHeld() != 0) Finding("a suite is held after the call", host);
    if (!host.FirstError().empty()) Finding("host contract broken: " + host.FirstError(), host);
    if (status != 0 && wrote) Finding("a failed call changed the action parameters", host);
    if (wrote) {
        if (status != 0 || parameters.recordInfo != 0) Finding("write-back without success or recordInfo 0", host);
        if (incoming != nullptr && host.Actions().IsLive(incoming)) Finding("replaced descriptor not freed", host);
        const std::optional<DescriptorValue> written = host.Actions().TakeDescriptor(parameters.descriptor);
        if (!written || written->Size() != 1 || written->Find(kModeKey) == nullptr ||
            written->Find(kModeKey)->kind != ValueKind::Integer)
            Finding("the written descriptor does not hold the mode alone", host);
    } else if (incoming != nullptr && host.Actions().Content(incoming) != incomingContent) {
        Finding("the host's descriptor changed in place", host);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    StandInHost host;
    host.Actions().SetPlayHandler(PlayAnswer);
    honestPlay = true;
    bool honest = true;
    const int requests = input.ConsumeIntegralInRange(1, 3);
    for (int i = 0; i < requests; ++i) {
        host.ClearLog();
        OneRequest(input, host, honest);
    }
    return 0;
}
