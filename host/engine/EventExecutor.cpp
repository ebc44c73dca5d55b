#include "EventExecutor.h"

#include <new>
#include <vector>

#include "entry/interface/EventCodes.h"
#include "host/suites/HostStatusCodes.h"
#include "LevelTable.h"

namespace {
// Dust and Scratches takes radii of 1 to 100 pixels; the engine does 1.
constexpr int kLargestRadius = 100;

// A key looked up with the kind its value must have; the first refusal
// met is kept, so a chain of lookups reads straight.
class Parameters {
public:
    explicit Parameters(const DescriptorValue* descriptor) : descriptor_(descriptor) {}

    const ActionValue* Get(FourCharCode key, ValueKind kind) {
        if (status_ != 0) return nullptr;
        const ActionValue* value = descriptor_ != nullptr ? descriptor_->Find(key) : nullptr;
        if (value == nullptr) {
            status_ = kDescriptorKeyMissing;
        } else if (value->kind != kind) {
            status_ = kDescriptorWrongType;
            value = nullptr;
        }
        return value;
    }
    bool Has(FourCharCode key) const { return descriptor_ != nullptr && descriptor_->Find(key) != nullptr; }
    HostStatus Status() const { return status_; }

private:
    const DescriptorValue* descriptor_;
    HostStatus status_ = 0;
};

bool IsReference(const ActionValue* value, const ReferenceForm& form) {
    return value != nullptr && value->reference.forms.size() == 1 && value->reference.forms[0] == form;
}

HostStatus Make(Document& document, Parameters& p) {
    if (p.Has(keys::Null)) {
        const ActionValue* target = p.Get(keys::Null, ValueKind::Reference);
        if (target == nullptr) return p.Status();
        return IsReference(target, ReferenceForm::Class(classes::Layer)) ? document.MakeLayer() : kEventNotHandled;
    }
    const ActionValue* made = p.Get(keys::New, ValueKind::Class);
    const ActionValue* at = p.Get(keys::At, ValueKind::Reference);
    const ActionValue* reveal = p.Get(keys::Using, ValueKind::Enumerated);
    if (p.Status() != 0) return p.Status();
    if (made->classCode != classes::Channel ||
        !IsReference(at, ReferenceForm::Enumerated(classes::Channel, enumTypes::Channel, enumValues::Mask)) ||
        reveal->enumType != enumTypes::UserMask || reveal->enumValue != enumValues::RevealSelection)
        return kEventNotHandled;
    return document.AddRevealMask();
}

HostStatus MergeVisible(Document& document, Parameters& p) {
    const ActionValue* duplicate = p.Get(keys::Duplicate, ValueKind::Boolean);
    if (duplicate == nullptr) return p.Status() == kDescriptorKeyMissing ? kEventNotHandled : p.Status();
    // Without "Dplc" a host merges the layers themselves, which we do not do.
    return duplicate->flag ? document.MergeVisibleIntoTarget() : kEventNotHandled;
}

HostStatus Set(Document& document, Parameters& p) {
    const ActionValue* what = p.Get(keys::Null, ValueKind::Reference);
    const ActionValue* to = p.Get(keys::To, ValueKind::Reference);
    if (p.Status() != 0) return p.Status();
    if (!IsReference(what, ReferenceForm::Property(classes::Channel, properties::Selection))) return kEventNotHandled;
    if (IsReference(to, ReferenceForm::Enumerated(classes::Channel, enumTypes::Channel, enumValues::RGB)))
        return document.LoadCompositeLuminosity();
    if (IsReference(to, ReferenceForm::Enumerated(classes::Channel, enumTypes::Ordinal, enumValues::Target)))
        return document.LoadTargetChannelSelection();
    return kEventNotHandled;
}

// One "CrvA" object into its table; a status on refusal.
HostStatus CurveAdjustment(const ActionValue& adjustment, LevelTable& table) {
    if (adjustment.kind != ValueKind::Object) return kDescriptorWrongType;
    if (adjustment.classCode != classes::CurvesAdjustment) return kEventNotHandled;
    Parameters p(&adjustment.object);
    const ActionValue* channel = p.Get(keys::Channel, ValueKind::Reference);
    const ActionValue* curve = p.Get(keys::Curve, ValueKind::List);
    if (p.Status() != 0) return p.Status();
    // A named channel ("Rd  ", ...) would be a curve on one colour: not ours.
    if (!IsReference(channel, ReferenceForm::Enumerated(classes::Channel, enumTypes::Ordinal, enumValues::Target)))
        return kEventNotHandled;
    std::vector<SplinePoint> points;
    for (const ActionValue& item : curve->items) {
        if (item.kind != ValueKind::Object) return kDescriptorWrongType;
        if (item.classCode != classes::Point) return kEventNotHandled;
        Parameters point(&item.object);
        const ActionValue* input = point.Get(keys::Horizontal, ValueKind::Float);
        const ActionValue* output = point.Get(keys::Vertical, ValueKind::Float);
        if (point.Status() != 0) return point.Status();
        points.push_back({input->number, output->number});
    }
    return MakeLevelTable(points, table) ? 0 : kParamError;
}

HostStatus Curves(Document& document, Parameters& p) {
    const ActionValue* adjustments = p.Get(keys::Adjustments, ValueKind::List);
    if (adjustments == nullptr) return p.Status();
    if (adjustments->items.empty()) return kParamError;
    // Every adjustment is read before the first is applied: a refusal
    // leaves the channel as it was.
    std::vector<LevelTable> tables(adjustments->items.size());
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const HostStatus status = CurveAdjustment(adjustments->items[i], tables[i]);
        if (status != 0) return status;
    }
    for (const LevelTable& table : tables) {
        const HostStatus status = document.ApplyCurve(table);
        if (status != 0) return status;
    }
    return 0;
}

HostStatus DustAndScratches(Document& document, Parameters& p) {
    const ActionValue* radius = p.Get(keys::Radius, ValueKind::Integer);
    const ActionValue* threshold = p.Get(keys::Threshold, ValueKind::Integer);
    if (p.Status() != 0) return p.Status();
    if (radius->integer < 1 || radius->integer > kLargestRadius || threshold->integer < 0 ||
        threshold->integer > 255)
        return kParamError;
    return document.DustAndScratches(radius->integer, threshold->integer);
}

HostStatus Delete(Document& document, Parameters& p) {
    const ActionValue* target = p.Get(keys::Null, ValueKind::Reference);
    if (target == nullptr) return p.Status();
    if (!IsReference(target, ReferenceForm::Enumerated(classes::Layer, enumTypes::Ordinal, enumValues::Target)))
        return kEventNotHandled;
    return document.DeleteTargetLayer();
}

HostStatus Dispatch(Document& document, const PlayedEvent& event) {
    Parameters p(event.descriptor ? &*event.descriptor : nullptr);
    switch (event.event) {
    case events::Make: return Make(document, p);
    case events::MergeVisible: return MergeVisible(document, p);
    case events::Set: return Set(document, p);
    case events::Inverse: return document.InvertSelection();
    case events::Curves: return Curves(document, p);
    case events::DustAndScratches: return DustAndScratches(document, p);
    case events::Delete: return Delete(document, p);
    default: return kEventNotHandled;
    }
}
}  // namespace

HostStatus ExecuteEvent(Document& document, const PlayedEvent& event) noexcept {
    try {
        return Dispatch(document, event);
    } catch (const std::bad_alloc&) {
        return kMemoryFull;
    } catch (...) {
        return kParamError;
    }
}

std::function<HostStatus(const PlayedEvent&)> DocumentPlayHandler(Document& document) {
    return [&document](const PlayedEvent& event) { return ExecuteEvent(document, event); };
}
