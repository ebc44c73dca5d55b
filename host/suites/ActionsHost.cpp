#include "ActionsHost.h"

#include <cstdio>

#include "ActionText.h"
#include "StandInHost.h"

namespace {
std::string Pointer(const void* pointer) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", pointer);
    return text;
}
}  // namespace

ActionsHost::ActionsHost(StandInHost& host) : host_(host) {}

ActionsHost::~ActionsHost() = default;

std::size_t ActionsHost::LiveHandles() const {
    std::size_t live = 0;
    for (const auto& entry : handles_)
        if (entry.second->live && !entry.second->hostOwned) ++live;
    return live;
}

bool ActionsHost::IsLive(const void* handle) const {
    const Handle* found = Find(handle);
    return found != nullptr && found->live;
}

std::string ActionsHost::Label(const Handle& handle) {
    const char* prefix = handle.kind == Kind::Descriptor ? "D" : handle.kind == Kind::Reference ? "R" : "L";
    return prefix + std::to_string(handle.serial);
}

std::string ActionsHost::Label(const void* handle) const {
    const Handle* found = Find(handle);
    return found != nullptr ? Label(*found) : std::string();
}

ActionsHost::Handle* ActionsHost::Make(Kind kind, bool hostOwned) {
    auto handle = std::make_unique<Handle>();
    handle->kind = kind;
    handle->serial = nextSerial_++;
    handle->hostOwned = hostOwned;
    Handle* made = handle.get();
    handles_[made] = std::move(handle);
    return made;
}

ActionsHost::Handle* ActionsHost::Find(const void* handle) const {
    auto found = handles_.find(handle);
    return found == handles_.end() ? nullptr : found->second.get();
}

ActionsHost::Handle* ActionsHost::Use(const void* handle, Kind kind, const std::string& operation) {
    static const char* const kKindNames[] = {"descriptor", "reference", "list"};
    if (handle == nullptr) {
        host_.Error(operation + " given a null handle");
        return nullptr;
    }
    Handle* found = Find(handle);
    if (found == nullptr) {
        host_.Error(operation + " given a handle the host never made: " + Pointer(handle));
        return nullptr;
    }
    if (found->kind != kind) {
        host_.Error(operation + " given " + Label(*found) + ", a " + kKindNames[static_cast<int>(found->kind)] +
                    " handle");
        return nullptr;
    }
    if (!found->live) {
        host_.Error(operation + " given " + Label(*found) + " after it was freed");
        return nullptr;
    }
    return found;
}

HostStatus ActionsHost::Enter(const std::string& operation) {
    // Both counters move on every call, whichever of them fails it.
    const HostStatus any = host_.Enter("actions");
    const HostStatus own = host_.Enter(operation);
    return any != 0 ? any : own;
}

HostStatus ActionsHost::Finish(const std::string& operation, const std::string& handle, const std::string& detail,
                               HostStatus status, const std::string& made) {
    calls_.push_back(ActionsCall{operation, handle, made, status});
    std::string line = "  " + operation + (detail.empty() ? "" : " " + detail);
    if (status != 0) line += " -> status " + std::to_string(status);
    host_.Record(line);
    return status;
}

ActionDescriptor ActionsHost::NewDescriptor(const DescriptorValue& content) {
    Handle* made = Make(Kind::Descriptor, true);
    made->descriptor = content;
    host_.Record("  (host descriptor " + Label(*made) + " " + DescriptorText(content) + ")");
    return reinterpret_cast<ActionDescriptor>(made);
}

std::optional<DescriptorValue> ActionsHost::Content(ActionDescriptor descriptor) const {
    const Handle* found = Find(descriptor);
    if (found == nullptr || !found->live || found->kind != Kind::Descriptor) return std::nullopt;
    return found->descriptor;
}

std::optional<DescriptorValue> ActionsHost::TakeDescriptor(ActionDescriptor descriptor) {
    Handle* found = Use(descriptor, Kind::Descriptor, "the host's take of a recorded descriptor");
    if (found == nullptr) return std::nullopt;
    DescriptorValue content = found->descriptor;
    found->live = false;
    found->descriptor = DescriptorValue();
    return content;
}

void ActionsHost::EndOfCall(ActionDescriptor kept) {
    if (kept != nullptr) {
        Handle* parameters = Find(kept);
        if (parameters == nullptr || !parameters->live || parameters->kind != Kind::Descriptor)
            host_.Error("the parameters hold a descriptor that is not live: " + Pointer(kept));
        else
            parameters->hostOwned = true;
    }
    for (const auto& entry : handles_) {
        Handle& handle = *entry.second;
        if (!handle.live || handle.hostOwned) continue;
        host_.Error("leak: " + Label(handle) + " still live after the call");
        handle.hostOwned = true;  // reported once
    }
}
