// Each step lists its handles in the order it makes them, behind the result
// descriptor: that is the order in which they are freed.
#include "EventSteps.h"

#include "ActionHandles.h"
#include "EventBuilder.h"
#include "entry/interface/EventCodes.h"

namespace {
// The two "setd" steps differ only in the channel the selection comes from.
int32_t LoadSelectionFrom(FourCharCode channelType, FourCharCode channelValue) {
    DescriptorHandle result, event;
    ReferenceHandle selection, channel;
    ReleaseInOrder release(result, event, selection, channel);
    EventBuilder build;
    build.Make(event);
    build.Make(selection);
    build.PutProperty(selection, classes::Channel, properties::Selection);
    build.PutReference(event, keys::Null, selection);
    build.Make(channel);
    build.PutEnumerated(channel, classes::Channel, channelType, channelValue);
    build.PutReference(event, keys::To, channel);
    return build.Play(result, events::Set, event);
}
}  // namespace

int32_t MakeWorkLayer() {
    DescriptorHandle result, event;
    ReferenceHandle layer;
    ReleaseInOrder release(result, event, layer);
    EventBuilder build;
    build.Make(event);
    build.Make(layer);
    build.PutClass(layer, classes::Layer);
    build.PutReference(event, keys::Null, layer);
    return build.Play(result, events::Make, event);
}

int32_t StampVisible() {
    DescriptorHandle result, event;
    ReleaseInOrder release(result, event);
    EventBuilder build;
    build.Make(event);
    build.PutBoolean(event, keys::Duplicate, true);
    return build.Play(result, events::MergeVisible, event);
}

int32_t LoadLuminositySelection() { return LoadSelectionFrom(enumTypes::Channel, enumValues::RGB); }

int32_t InvertSelection() {
    // The host's inverse takes no descriptor at all, not an empty one.
    DescriptorHandle result;
    ReleaseInOrder release(result);
    EventBuilder build;
    return build.Play(result, events::Inverse);
}

int32_t AddRevealMask() {
    DescriptorHandle result, event;
    ReferenceHandle mask;
    ReleaseInOrder release(result, event, mask);
    EventBuilder build;
    build.Make(event);
    build.PutClass(event, keys::New, classes::Channel);
    build.Make(mask);
    build.PutEnumerated(mask, classes::Channel, enumTypes::Channel, enumValues::Mask);
    build.PutReference(event, keys::At, mask);
    build.PutEnumerated(event, keys::Using, enumTypes::UserMask, enumValues::RevealSelection);
    return build.Play(result, events::Make, event);
}

int32_t SmoothMask() {
    DescriptorHandle result, event;
    ReleaseInOrder release(result, event);
    EventBuilder build;
    build.Make(event);
    build.PutInteger(event, keys::Radius, 1);
    build.PutInteger(event, keys::Threshold, 0);
    return build.Play(result, events::DustAndScratches, event);
}

int32_t LoadMaskSelection() { return LoadSelectionFrom(enumTypes::Ordinal, enumValues::Target); }

int32_t DeleteWorkLayer() {
    DescriptorHandle result, event;
    ReferenceHandle layer;
    ReleaseInOrder release(result, event, layer);
    EventBuilder build;
    build.Make(event);
    build.Make(layer);
    build.PutEnumerated(layer, classes::Layer, enumTypes::Ordinal, enumValues::Target);
    build.PutReference(event, keys::Null, layer);
    return build.Play(result, events::Delete, event);
}
