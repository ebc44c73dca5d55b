// The host's Actions suites: descriptors, references and lists as real
// containers behind opaque handles, and the control suite's Play, which
// records every event it is given.
//
// Every handle is tracked from Make to Free. Using a handle after its Free,
// freeing it twice, freeing it through another suite, passing one the host
// never made, or leaving one live after an entry call is a contract
// violation reported through StandInHost::Error, which tests see in
// FirstError(). Freed handles stay known (their memory is kept until the
// host goes away), so a late use is recognised, never dereferenced.
//
// Every operation is counted under its own name ("DescriptorMake", "Play",
// "ListPutObject", ...) and under "actions", so that StandInHost::Inject can
// fail the n-th call of one operation or the n-th Actions operation of any
// kind.
#ifndef LUMACUT_HOST_ACTIONS_HOST_H
#define LUMACUT_HOST_ACTIONS_HOST_H

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ActionValues.h"
#include "entry/interface/HostInterface.h"

class StandInHost;

// One Actions-suite call as the host saw it. Handles are labelled by kind
// and one counter across the three kinds, in the order made ("D1", "R2",
// "L3"): `handle` is the one the call acted on (the target of a put, get or
// free, the descriptor of a Play), `made` the one it handed out (by Make, or
// a Play's result); either is empty when there was none.
struct ActionsCall {
    std::string operation;
    std::string handle;
    std::string made;
    HostStatus status = 0;

    // "ReferencePutClass R2", "DescriptorMake -> D1", "Play D1 -> D5",
    // with " = status" appended when it was not 0.
    std::string Text() const {
        std::string text = operation;
        if (!handle.empty()) text += " " + handle;
        if (!made.empty()) text += " -> " + made;
        if (status != 0) text += " = " + std::to_string(status);
        return text;
    }
};

class ActionsHost {
public:
    explicit ActionsHost(StandInHost& host);
    ~ActionsHost();
    ActionsHost(const ActionsHost&) = delete;
    ActionsHost& operator=(const ActionsHost&) = delete;

    // The suite table for an Actions suite identifier and version, else null.
    const void* SuiteTable(const std::string& identifier, int32_t version) const;

    // ---- what the plug-in did
    const std::vector<PlayedEvent>& Played() const { return played_; }
    const std::vector<ActionsCall>& Calls() const { return calls_; }
    std::size_t OperationCount() const { return calls_.size(); }
    // Live handles that the plug-in made and still owns: 0 after every call.
    std::size_t LiveHandles() const;
    bool IsLive(const void* handle) const;
    std::string Label(const void* handle) const;

    // ---- behaviour
    // Executes a played event (a document engine, say); the default succeeds.
    void SetPlayHandler(std::function<HostStatus(const PlayedEvent&)> handler) { playHandler_ = std::move(handler); }
    // Whether Play hands back a result descriptor (an empty one, which the
    // plug-in must free) or leaves the result empty.
    void SetPlayFillsResult(bool fill) { playFillsResult_ = fill; }
    // Whether a Make that fails writes a value that is no handle into its
    // out argument: a host may, since the out value counts only on success.
    void SetJunkOutOnFailedMake(bool junk) { junkOutOnFailedMake_ = junk; }

    // ---- the host's own descriptors: neither counted nor ever failed
    // A new descriptor owned by the host, e.g. the parameters of a run.
    ActionDescriptor NewDescriptor(const DescriptorValue& content);
    // The content of a live descriptor, else nothing.
    std::optional<DescriptorValue> Content(ActionDescriptor descriptor) const;
    // Reads and frees a descriptor the host took over (a recorded one).
    std::optional<DescriptorValue> TakeDescriptor(ActionDescriptor descriptor);
    // The end of an entry call: `kept` (the parameters' descriptor, or null)
    // passes to the host; any other handle the plug-in still holds is a leak.
    void EndOfCall(ActionDescriptor kept);

    // ---- the operations, as the suites call them
    HostStatus DescriptorMake(ActionDescriptor* descriptor);
    HostStatus DescriptorFree(ActionDescriptor descriptor);
    HostStatus DescriptorPutInteger(ActionDescriptor d, FourCharCode key, int32_t value);
    HostStatus DescriptorPutFloat(ActionDescriptor d, FourCharCode key, double value);
    HostStatus DescriptorPutBoolean(ActionDescriptor d, FourCharCode key, HostBoolean value);
    HostStatus DescriptorPutList(ActionDescriptor d, FourCharCode key, ActionList list);
    HostStatus DescriptorPutEnumerated(ActionDescriptor d, FourCharCode key, FourCharCode type, FourCharCode value);
    HostStatus DescriptorPutReference(ActionDescriptor d, FourCharCode key, ActionReference reference);
    HostStatus DescriptorPutClass(ActionDescriptor d, FourCharCode key, FourCharCode classCode);
    HostStatus DescriptorGetInteger(ActionDescriptor d, FourCharCode key, int32_t* value);
    HostStatus Play(ActionDescriptor* result, FourCharCode event, ActionDescriptor descriptor, int32_t dialogOption);
    HostStatus ReferenceMake(ActionReference* reference);
    HostStatus ReferenceFree(ActionReference reference);
    HostStatus ReferencePutEnumerated(ActionReference r, FourCharCode classCode, FourCharCode type,
                                      FourCharCode value);
    HostStatus ReferencePutProperty(ActionReference r, FourCharCode classCode, FourCharCode key);
    HostStatus ReferencePutClass(ActionReference r, FourCharCode classCode);
    HostStatus ListMake(ActionList* list);
    HostStatus ListFree(ActionList list);
    HostStatus ListPutObject(ActionList l, FourCharCode classCode, ActionDescriptor object);

private:
    enum class Kind { Descriptor, Reference, List };
    struct Handle {
        Kind kind = Kind::Descriptor;
        unsigned serial = 0;
        bool live = true;
        bool hostOwned = false;
        DescriptorValue descriptor;
        ReferenceValue reference;
        std::vector<ActionValue> list;
    };

    Handle* Make(Kind kind, bool hostOwned);
    Handle* Find(const void* handle) const;
    // The live handle of the expected kind, or null after reporting why not.
    Handle* Use(const void* handle, Kind kind, const std::string& operation);
    HostStatus Free(const void* handle, Kind kind, const std::string& operation);
    // Counts the call; the injected status for it, or 0.
    HostStatus Enter(const std::string& operation);
    HostStatus Finish(const std::string& operation, const std::string& handle, const std::string& detail,
                      HostStatus status, const std::string& made = std::string());
    HostStatus ReferencePutForm(ActionReference r, const ReferenceForm& form);
    static std::string Label(const Handle& handle);
    template <typename Out>
    HostStatus MakeInto(Kind kind, Out* out, const std::string& operation);
    HostStatus PutValue(ActionDescriptor d, FourCharCode key, const ActionValue& value, const std::string& operation,
                        const std::string& detail);
    // Puts a copy of what another handle holds (a reference, a list).
    HostStatus PutCopyOf(ActionDescriptor d, FourCharCode key, const void* source, Kind kind,
                         const std::string& operation);

    StandInHost& host_;
    std::map<const void*, std::unique_ptr<Handle>> handles_;
    unsigned nextSerial_ = 1;
    std::vector<PlayedEvent> played_;
    std::vector<ActionsCall> calls_;
    std::function<HostStatus(const PlayedEvent&)> playHandler_;
    bool playFillsResult_ = false;
    bool junkOutOnFailedMake_ = false;
    char junk_ = 0;  // its address is the junk a failed Make may leave
};

#endif
