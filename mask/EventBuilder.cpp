#include "EventBuilder.h"

#include "entry/interface/EventCodes.h"

template <typename Operation>
void EventBuilder::Run(Operation operation) {
    if (code_ == 0) code_ = ActionsCode(operation());
}

// The out value of a Make counts only when the Make succeeded: whatever a
// failing host left there is no handle of ours and must not be freed.
template <typename Owner, typename Suite>
void EventBuilder::MakeWith(Owner& owner, const Suite& (*suite)()) {
    Run([&] {
        decltype(owner.Get()) made = nullptr;
        const HostStatus status = suite().Make(&made);
        if (ActionsCode(status) == 0) *owner.Out() = made;
        return status;
    });
}

void EventBuilder::Make(DescriptorHandle& descriptor) { MakeWith(descriptor, &DescriptorSuite); }

void EventBuilder::Make(ReferenceHandle& reference) { MakeWith(reference, &ReferenceSuite); }

void EventBuilder::Make(ListHandle& list) { MakeWith(list, &ListSuite); }

void EventBuilder::PutClass(ReferenceHandle& reference, FourCharCode classCode) {
    Run([&] { return ReferenceSuite().PutClass(reference.Get(), classCode); });
}

void EventBuilder::PutProperty(ReferenceHandle& reference, FourCharCode classCode, FourCharCode key) {
    Run([&] { return ReferenceSuite().PutProperty(reference.Get(), classCode, key); });
}

void EventBuilder::PutEnumerated(ReferenceHandle& reference, FourCharCode classCode, FourCharCode type,
                                 FourCharCode value) {
    Run([&] { return ReferenceSuite().PutEnumerated(reference.Get(), classCode, type, value); });
}

void EventBuilder::PutReference(DescriptorHandle& descriptor, FourCharCode key, ReferenceHandle& reference) {
    Run([&] { return DescriptorSuite().PutReference(descriptor.Get(), key, reference.Get()); });
}

void EventBuilder::PutClass(DescriptorHandle& descriptor, FourCharCode key, FourCharCode classCode) {
    Run([&] { return DescriptorSuite().PutClass(descriptor.Get(), key, classCode); });
}

void EventBuilder::PutEnumerated(DescriptorHandle& descriptor, FourCharCode key, FourCharCode type,
                                 FourCharCode value) {
    Run([&] { return DescriptorSuite().PutEnumerated(descriptor.Get(), key, type, value); });
}

void EventBuilder::PutInteger(DescriptorHandle& descriptor, FourCharCode key, int32_t value) {
    Run([&] { return DescriptorSuite().PutInteger(descriptor.Get(), key, value); });
}

void EventBuilder::PutFloat(DescriptorHandle& descriptor, FourCharCode key, double value) {
    Run([&] { return DescriptorSuite().PutFloat(descriptor.Get(), key, value); });
}

void EventBuilder::PutBoolean(DescriptorHandle& descriptor, FourCharCode key, bool value) {
    Run([&] { return DescriptorSuite().PutBoolean(descriptor.Get(), key, value ? 1 : 0); });
}

void EventBuilder::PutList(DescriptorHandle& descriptor, FourCharCode key, ListHandle& list) {
    Run([&] { return DescriptorSuite().PutList(descriptor.Get(), key, list.Get()); });
}

void EventBuilder::PutObject(ListHandle& list, FourCharCode classCode, DescriptorHandle& object) {
    Run([&] { return ListSuite().PutObject(list.Get(), classCode, object.Get()); });
}

int32_t EventBuilder::PlayWith(DescriptorHandle& result, FourCharCode event, ActionDescriptor descriptor) {
    Run([&] { return ControlSuite().Play(result.Out(), event, descriptor, kPlaySilently); });
    return code_;
}

int32_t EventBuilder::Play(DescriptorHandle& result, FourCharCode event, DescriptorHandle& descriptor) {
    return PlayWith(result, event, descriptor.Get());
}

int32_t EventBuilder::Play(DescriptorHandle& result, FourCharCode event) { return PlayWith(result, event, nullptr); }
