#include "EventExecutor.h"

#include <new>
#include <vector>

#include "host/suites/HostStatusCodes.h"
#include "LevelTable.h"

namespace {
// The host's own spelling of the vocabulary: deliberately not shared with
// the plug-in's sources, so that a wrong code on either side shows.
constexpr FourCharCode kMake = FourCC("Mk  ");
constexpr FourCharCode kMergeVisible = FourCC("MrgV");
constexpr FourCharCode kSet = FourCC("setd");
constexpr FourCharCode kInverse = FourCC("Invs");
constexpr FourCharCode kCurves = FourCC("Crvs");
constexpr FourCharCode kDustAndScratches = FourCC("DstS");
constexpr FourCharCode kDelete = FourCC("Dlt ");

constexpr FourCharCode kTarget = FourCC("null");
constexpr FourCharCode kDuplicate = FourCC("Dplc");
constexpr FourCharCode kTo = FourCC("T   ");
constexpr FourCharCode kNew = FourCC("Nw  ");
constexpr FourCharCode kAt = FourCC("At  ");
constexpr FourCharCode kUsing = FourCC("Usng");
constexpr FourCharCode kRadius = FourCC("Rds ");
constexpr FourCharCode kThreshold = FourCC("Thsh");
constexpr FourCharCode kAdjustments = FourCC("Adjs");
constexpr FourCharCode kChannelKey = FourCC("Chnl");
constexpr FourCharCode kCurve = FourCC("Crv ");
constexpr FourCharCode kHorizontal = FourCC("Hrzn");
constexpr FourCharCode kVertical = FourCC("Vrtc");

constexpr FourCharCode kLayer = FourCC("Lyr ");
constexpr FourCharCode kChannel = FourCC("Chnl");
constexpr FourCharCode kCurvesAdjustment = FourCC("CrvA");
constexpr FourCharCode kPoint = FourCC("Pnt ");
constexpr FourCharCode kSelection = FourCC("fsel");
constexpr FourCharCode kOrdinal = FourCC("Ordn");
constexpr FourCharCode kUserMask = FourCC("UsrM");
constexpr FourCharCode kComposite = FourCC("RGB ");
constexpr FourCharCode kMask = FourCC("Msk ");
constexpr FourCharCode kTargetItem = FourCC("Trgt");
constexpr FourCharCode kRevealSelection = FourCC("RvlS");

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
    if (p.Has(kTarget)) {
        const ActionValue* target = p.Get(kTarget, ValueKind::Reference);
        if (target == nullptr) return p.Status();
        return IsReference(target, ReferenceForm::Class(kLayer)) ? document.MakeLayer() : kEventNotHandled;
    }
    const ActionValue* made = p.Get(kNew, ValueKind::Class);
    const ActionValue* at = p.Get(kAt, ValueKind::Reference);
    const ActionValue* reveal = p.Get(kUsing, ValueKind::Enumerated);
    if (p.Status() != 0) return p.Status();
    if (made->classCode != kChannel || !IsReference(at, ReferenceForm::Enumerated(kChannel, kChannel, kMask)) ||
        reveal->enumType != kUserMask || reveal->enumValue != kRevealSelection)
        return kEventNotHandled;
    return document.AddRevealMask();
}

HostStatus MergeVisible(Document& document, Parameters& p) {
    const ActionValue* duplicate = p.Get(kDuplicate, ValueKind::Boolean);
    if (duplicate == nullptr) return p.Status() == kDescriptorKeyMissing ? kEventNotHandled : p.Status();
    // Without "Dplc" a host merges the layers themselves, which we do not do.
    return duplicate->flag ? document.MergeVisibleIntoTarget() : kEventNotHandled;
}

HostStatus Set(Document& document, Parameters& p) {
    const ActionValue* what = p.Get(kTarget, ValueKind::Reference);
    const ActionValue* to = p.Get(kTo, ValueKind::Reference);
    if (p.Status() != 0) return p.Status();
    if (!IsReference(what, ReferenceForm::Property(kChannel, kSelection))) return kEventNotHandled;
    if (IsReference(to, ReferenceForm::Enumerated(kChannel, kChannel, kComposite)))
        return document.LoadCompositeLuminosity();
    if (IsReference(to, ReferenceForm::Enumerated(kChannel, kOrdinal, kTargetItem)))
        return document.LoadTargetChannelSelection();
    return kEventNotHandled;
}

// One "CrvA" object into its table; a status on refusal.
HostStatus CurveAdjustment(const ActionValue& adjustment, LevelTable& table) {
    if (adjustment.kind != ValueKind::Object) return kDescriptorWrongType;
    if (adjustment.classCode != kCurvesAdjustment) return kEventNotHandled;
    Parameters p(&adjustment.object);
    const ActionValue* channel = p.Get(kChannelKey, ValueKind::Reference);
    const ActionValue* curve = p.Get(kCurve, ValueKind::List);
    if (p.Status() != 0) return p.Status();
    // A named channel ("Rd  ", ...) would be a curve on one colour: not ours.
    if (!IsReference(channel, ReferenceForm::Enumerated(kChannel, kOrdinal, kTargetItem))) return kEventNotHandled;
    std::vector<SplinePoint> points;
    for (const ActionValue& item : curve->items) {
        if (item.kind != ValueKind::Object) return kDescriptorWrongType;
        if (item.classCode != kPoint) return kEventNotHandled;
        Parameters point(&item.object);
        const ActionValue* input = point.Get(kHorizontal, ValueKind::Float);
        const ActionValue* output = point.Get(kVertical, ValueKind::Float);
        if (point.Status() != 0) return point.Status();
        points.push_back({input->number, output->number});
    }
    return MakeLevelTable(points, table) ? 0 : kParamError;
}

HostStatus Curves(Document& document, Parameters& p) {
    const ActionValue* adjustments = p.Get(kAdjustments, ValueKind::List);
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
    const ActionValue* radius = p.Get(kRadius, ValueKind::Integer);
    const ActionValue* threshold = p.Get(kThreshold, ValueKind::Integer);
    if (p.Status() != 0) return p.Status();
    if (radius->integer < 1 || radius->integer > kLargestRadius || threshold->integer < 0 ||
        threshold->integer > 255)
        return kParamError;
    return document.DustAndScratches(radius->integer, threshold->integer);
}

HostStatus Delete(Document& document, Parameters& p) {
    const ActionValue* target = p.Get(kTarget, ValueKind::Reference);
    if (target == nullptr) return p.Status();
    if (!IsReference(target, ReferenceForm::Enumerated(kLayer, kOrdinal, kTargetItem))) return kEventNotHandled;
    return document.DeleteTargetLayer();
}

HostStatus Dispatch(Document& document, const PlayedEvent& event) {
    Parameters p(event.descriptor ? &*event.descriptor : nullptr);
    switch (event.event) {
    case kMake: return Make(document, p);
    case kMergeVisible: return MergeVisible(document, p);
    case kSet: return Set(document, p);
    case kInverse: return document.InvertSelection();
    case kCurves: return Curves(document, p);
    case kDustAndScratches: return DustAndScratches(document, p);
    case kDelete: return Delete(document, p);
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
