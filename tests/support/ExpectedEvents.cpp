#include "support/ExpectedEvents.h"

#include "entry/interface/HostCodes.h"

namespace expected {
namespace {
PlayedEvent Event(FourCharCode code, std::optional<DescriptorValue> descriptor) {
    PlayedEvent event;
    event.event = code;
    event.descriptor = std::move(descriptor);
    event.dialogOption = 2;
    return event;
}

ActionValue Ref(const ReferenceForm& form) { return ActionValue::Reference(ReferenceValue{{form}}); }

DescriptorValue SelectionFrom(FourCharCode type, FourCharCode value) {
    return {{FourCC("null"), Ref(ReferenceForm::Property(FourCC("Chnl"), FourCC("fsel")))},
            {FourCC("T   "), Ref(ReferenceForm::Enumerated(FourCC("Chnl"), type, value))}};
}
}  // namespace

const Points kNormal = {{0, 0}, {85, 0}, {151, 26}, {255, 255}};
const Points kNarrow = {{0, 0}, {130, 0}, {177, 22}, {255, 255}};
const Points kMidtoneBand = {{0, 0}, {126, 255}, {255, 0}};
const Points kMidtoneMedium = {{0, 0}, {47, 0}, {70, 5}, {255, 255}};
const Points kMidtoneNarrow = {{0, 0}, {97, 1}, {137, 18}, {255, 255}};

PlayedEvent MakeWorkLayer() {
    return Event(FourCC("Mk  "), DescriptorValue{{FourCC("null"), Ref(ReferenceForm::Class(FourCC("Lyr ")))}});
}

PlayedEvent StampVisible() { return Event(FourCC("MrgV"), DescriptorValue{{FourCC("Dplc"), ActionValue::Boolean(true)}}); }

PlayedEvent LoadLuminositySelection() { return Event(FourCC("setd"), SelectionFrom(FourCC("Chnl"), FourCC("RGB "))); }

PlayedEvent InvertSelection() { return Event(FourCC("Invs"), std::nullopt); }

PlayedEvent AddRevealMask() {
    return Event(FourCC("Mk  "),
                 DescriptorValue{{FourCC("Nw  "), ActionValue::Class(FourCC("Chnl"))},
                                 {FourCC("At  "), Ref(ReferenceForm::Enumerated(FourCC("Chnl"), FourCC("Chnl"),
                                                                                FourCC("Msk ")))},
                                 {FourCC("Usng"), ActionValue::Enumerated(FourCC("UsrM"), FourCC("RvlS"))}});
}

PlayedEvent Curves(const Points& points) {
    std::vector<ActionValue> pointObjects;
    for (const auto& point : points)
        pointObjects.push_back(ActionValue::Object(FourCC("Pnt "), {{FourCC("Hrzn"), ActionValue::Float(point.first)},
                                                                    {FourCC("Vrtc"), ActionValue::Float(point.second)}}));
    const DescriptorValue adjustment = {
        {FourCC("Chnl"), Ref(ReferenceForm::Enumerated(FourCC("Chnl"), FourCC("Ordn"), FourCC("Trgt")))},
        {FourCC("Crv "), ActionValue::List(pointObjects)}};
    return Event(FourCC("Crvs"),
                 DescriptorValue{{FourCC("Adjs"), ActionValue::List({ActionValue::Object(FourCC("CrvA"), adjustment)})}});
}

PlayedEvent SmoothMask() {
    return Event(FourCC("DstS"), DescriptorValue{{FourCC("Rds "), ActionValue::Integer(1)},
                                                 {FourCC("Thsh"), ActionValue::Integer(0)}});
}

PlayedEvent LoadMaskSelection() { return Event(FourCC("setd"), SelectionFrom(FourCC("Ordn"), FourCC("Trgt"))); }

PlayedEvent DeleteWorkLayer() {
    return Event(FourCC("Dlt "), DescriptorValue{{FourCC("null"), Ref(ReferenceForm::Enumerated(
                                                                       FourCC("Lyr "), FourCC("Ordn"), FourCC("Trgt")))}});
}

std::vector<PlayedEvent> Run(int32_t mode) {
    std::vector<PlayedEvent> events = {MakeWorkLayer(), StampVisible(), LoadLuminositySelection()};
    if (mode == 3 || mode == 4) events.push_back(InvertSelection());
    events.push_back(AddRevealMask());
    switch (mode) {
        case 1:
        case 3:
            events.push_back(Curves(kNormal));
            break;
        case 2:
        case 4:
            events.push_back(Curves(kNarrow));
            break;
        case 5:
            events.push_back(Curves(kMidtoneBand));
            break;
        case 6:
            events.push_back(Curves(kMidtoneBand));
            events.push_back(Curves(kMidtoneMedium));
            break;
        case 7:
            events.push_back(Curves(kMidtoneBand));
            events.push_back(Curves(kMidtoneNarrow));
            break;
        default:
            break;
    }
    for (const PlayedEvent& closing : {SmoothMask(), LoadMaskSelection(), DeleteWorkLayer()}) events.push_back(closing);
    return events;
}
}  // namespace expected
