// The host operations of one event step, run in the order the step calls
// them until the first that fails. After a failure every later call does
// nothing, so a step is written as the straight list of its operations.
// Each code is the low 16 bits of the host's status, sign-extended.
#ifndef LUMACUT_MASK_EVENT_BUILDER_H
#define LUMACUT_MASK_EVENT_BUILDER_H

#include <cstdint>

#include "ActionHandles.h"

class EventBuilder {
public:
    void Make(DescriptorHandle& descriptor);
    void Make(ReferenceHandle& reference);
    void Make(ListHandle& list);

    // Reference forms.
    void PutClass(ReferenceHandle& reference, FourCharCode classCode);
    void PutProperty(ReferenceHandle& reference, FourCharCode classCode, FourCharCode key);
    void PutEnumerated(ReferenceHandle& reference, FourCharCode classCode, FourCharCode type, FourCharCode value);

    // Descriptor keys.
    void PutReference(DescriptorHandle& descriptor, FourCharCode key, ReferenceHandle& reference);
    void PutClass(DescriptorHandle& descriptor, FourCharCode key, FourCharCode classCode);
    void PutEnumerated(DescriptorHandle& descriptor, FourCharCode key, FourCharCode type, FourCharCode value);
    void PutInteger(DescriptorHandle& descriptor, FourCharCode key, int32_t value);
    void PutFloat(DescriptorHandle& descriptor, FourCharCode key, double value);
    void PutBoolean(DescriptorHandle& descriptor, FourCharCode key, bool value);
    void PutList(DescriptorHandle& descriptor, FourCharCode key, ListHandle& list);

    // List items.
    void PutObject(ListHandle& list, FourCharCode classCode, DescriptorHandle& object);

    // Plays the event silently unless an operation before it failed, and
    // returns the step's code: the first failure's, else Play's.
    int32_t Play(DescriptorHandle& result, FourCharCode event, DescriptorHandle& descriptor);
    // The same for an event that takes no descriptor at all.
    int32_t Play(DescriptorHandle& result, FourCharCode event);

private:
    int32_t PlayWith(DescriptorHandle& result, FourCharCode event, ActionDescriptor descriptor);
    template <typename Operation>
    void Run(Operation operation);
    template <typename Owner, typename Suite>
    void MakeWith(Owner& owner, const Suite& (*suite)());

    int32_t code_ = 0;
};

#endif
