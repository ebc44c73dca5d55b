#include "MaskCurve.h"

#include "ActionHandles.h"
#include "EventBuilder.h"
#include "entry/interface/EventCodes.h"

int32_t ApplyMaskCurve(const ToneCurve& curve) {
    DescriptorHandle result, event;
    ListHandle adjustments;
    DescriptorHandle curves;
    ReferenceHandle channel;
    ListHandle points;
    DescriptorHandle point[kMaxCurvePoints];
    // The containers first, then the points, each group in the order made.
    ReleaseInOrder release(result, event, adjustments, curves, channel, points, point);

    EventBuilder build;
    build.Make(event);
    build.Make(adjustments);
    build.Make(curves);
    build.Make(channel);
    build.PutEnumerated(channel, classes::Channel, enumTypes::Ordinal, enumValues::Target);
    build.PutReference(curves, keys::Channel, channel);
    build.Make(points);
    for (std::size_t i = 0; i < curve.Size(); ++i) {
        build.Make(point[i]);
        build.PutFloat(point[i], keys::Horizontal, curve[i].input);
        build.PutFloat(point[i], keys::Vertical, curve[i].output);
        build.PutObject(points, classes::Point, point[i]);
    }
    build.PutList(curves, keys::Curve, points);
    build.PutObject(adjustments, classes::CurvesAdjustment, curves);
    build.PutList(event, keys::Adjustments, adjustments);
    return build.Play(result, events::Curves, event);
}
