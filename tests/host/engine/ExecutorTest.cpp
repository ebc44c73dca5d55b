// The host's answers to events it executes and to those it refuses.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/EngineReference.h"
#include "host/suites/ActionText.h"
#include "host/engine/EventExecutor.h"
#include "host/suites/HostStatusCodes.h"

namespace {
ActionValue Ref(const ReferenceForm& form) { return ActionValue::Reference(ReferenceValue{{form}}); }
ActionValue Enum(const char (&type)[5], const char (&value)[5]) {
    return ActionValue::Enumerated(FourCC(type), FourCC(value));
}
ReferenceForm EnumForm(const char (&cls)[5], const char (&type)[5], const char (&value)[5]) {
    return ReferenceForm::Enumerated(FourCC(cls), FourCC(type), FourCC(value));
}

PlayedEvent Event(const char (&code)[5], std::optional<DescriptorValue> descriptor) {
    PlayedEvent event;
    event.event = FourCC(code);
    event.descriptor = std::move(descriptor);
    event.dialogOption = 2;
    return event;
}

const DescriptorValue kMakeLayer{{FourCC("null"), Ref(ReferenceForm::Class(FourCC("Lyr ")))}};
const DescriptorValue kLoadComposite{{FourCC("null"), Ref(ReferenceForm::Property(FourCC("Chnl"), FourCC("fsel")))},
                                     {FourCC("T   "), Ref(EnumForm("Chnl", "Chnl", "RGB "))}};
const DescriptorValue kRevealMask{{FourCC("Nw  "), ActionValue::Class(FourCC("Chnl"))},
                                  {FourCC("At  "), Ref(EnumForm("Chnl", "Chnl", "Msk "))},
                                  {FourCC("Usng"), Enum("UsrM", "RvlS")}};

ActionValue Point(double input, double output) {
    return ActionValue::Object(FourCC("Pnt "), {{FourCC("Hrzn"), ActionValue::Float(input)},
                                                {FourCC("Vrtc"), ActionValue::Float(output)}});
}
DescriptorValue CurvesOf(std::vector<ActionValue> points, ActionValue channel = Ref(EnumForm("Chnl", "Ordn", "Trgt"))) {
    const ActionValue adjustment = ActionValue::Object(
        FourCC("CrvA"), {{FourCC("Chnl"), channel}, {FourCC("Crv "), ActionValue::List(points)}});
    return {{FourCC("Adjs"), ActionValue::List({adjustment})}};
}

// A document at the point where the plug-in's curve plays: a work layer
// whose mask holds the luminosity and is the target channel.
Document MaskedDocument() {
    Document document({RandomPlane(19, 7, 4), RandomPlane(19, 7, 5), RandomPlane(19, 7, 6)});
    EXPECT_EQ(ExecuteEvent(document, Event("Mk  ", kMakeLayer)), 0);
    EXPECT_EQ(ExecuteEvent(document, Event("MrgV", DescriptorValue{{FourCC("Dplc"), ActionValue::Boolean(true)}})), 0);
    EXPECT_EQ(ExecuteEvent(document, Event("setd", kLoadComposite)), 0);
    EXPECT_EQ(ExecuteEvent(document, Event("Mk  ", kRevealMask)), 0);
    return document;
}

struct Refusal {
    std::string what;
    PlayedEvent event;
    HostStatus status;
};

DescriptorValue Without(DescriptorValue descriptor, const char (&key)[5]) {
    DescriptorValue result;
    for (const DescriptorEntry& entry : descriptor.Entries())
        if (entry.key != FourCC(key)) result.Put(entry.key, entry.value);
    return result;
}

DescriptorValue With(DescriptorValue descriptor, const char (&key)[5], const ActionValue& value) {
    descriptor.Put(FourCC(key), value);
    return descriptor;
}

const std::vector<Refusal> kRefusals = {
    {"unknown event", Event("Zzzz", DescriptorValue{}), kEventNotHandled},
    {"a real event we do not execute (Gaussian blur)", Event("GsnB", DescriptorValue{}), kEventNotHandled},
    {"make without a class", Event("Mk  ", DescriptorValue{}), kDescriptorKeyMissing},
    {"make without a descriptor", Event("Mk  ", std::nullopt), kDescriptorKeyMissing},
    {"make a document", Event("Mk  ", DescriptorValue{{FourCC("null"), Ref(ReferenceForm::Class(FourCC("Dcmn")))}}),
     kEventNotHandled},
    {"make with an integer target", Event("Mk  ", DescriptorValue{{FourCC("null"), ActionValue::Integer(1)}}),
     kDescriptorWrongType},
    {"mask hiding all", Event("Mk  ", With(kRevealMask, "Usng", Enum("UsrM", "HdAl"))), kEventNotHandled},
    {"mask without Usng", Event("Mk  ", Without(kRevealMask, "Usng")), kDescriptorKeyMissing},
    {"mask at a named channel", Event("Mk  ", With(kRevealMask, "At  ", Ref(EnumForm("Chnl", "Chnl", "Rd  ")))),
     kEventNotHandled},
    {"mask with At as a class", Event("Mk  ", With(kRevealMask, "At  ", ActionValue::Class(FourCC("Chnl")))),
     kDescriptorWrongType},
    {"merge in place", Event("MrgV", DescriptorValue{}), kEventNotHandled},
    {"merge with Dplc false", Event("MrgV", DescriptorValue{{FourCC("Dplc"), ActionValue::Boolean(false)}}),
     kEventNotHandled},
    {"merge with Dplc as an integer", Event("MrgV", DescriptorValue{{FourCC("Dplc"), ActionValue::Integer(1)}}),
     kDescriptorWrongType},
    {"set without T", Event("setd", Without(kLoadComposite, "T   ")), kDescriptorKeyMissing},
    {"set the selection to all", Event("setd", With(kLoadComposite, "T   ", Ref(EnumForm("Ordn", "Ordn", "Al  ")))),
     kEventNotHandled},
    {"set a layer property", Event("setd", With(kLoadComposite, "null", Ref(ReferenceForm::Property(FourCC("Lyr "), FourCC("fsel"))))),
     kEventNotHandled},
    {"curves without Adjs", Event("Crvs", DescriptorValue{}), kDescriptorKeyMissing},
    {"curves with no adjustment", Event("Crvs", DescriptorValue{{FourCC("Adjs"), ActionValue::List({})}}),
     kParamError},
    {"curves with one point", Event("Crvs", CurvesOf({Point(0, 0)})), kParamError},
    {"curves with inputs going back", Event("Crvs", CurvesOf({Point(0, 0), Point(200, 9), Point(100, 255)})),
     kParamError},
    {"curves with a level above 255", Event("Crvs", CurvesOf({Point(0, 0), Point(255, 300)})), kParamError},
    {"curves with an integer level",
     Event("Crvs", CurvesOf({Point(0, 0), ActionValue::Object(FourCC("Pnt "), {{FourCC("Hrzn"), ActionValue::Integer(255)},
                                                                                {FourCC("Vrtc"), ActionValue::Float(255)}})})),
     kDescriptorWrongType},
    {"curves point without Vrtc",
     Event("Crvs", CurvesOf({Point(0, 0), ActionValue::Object(FourCC("Pnt "), {{FourCC("Hrzn"), ActionValue::Float(9)}})})),
     kDescriptorKeyMissing},
    {"curves on the red channel",
     Event("Crvs", CurvesOf({Point(0, 0), Point(255, 255)}, Ref(EnumForm("Chnl", "Chnl", "Rd  ")))), kEventNotHandled},
    {"dust without a radius", Event("DstS", DescriptorValue{{FourCC("Thsh"), ActionValue::Integer(0)}}),
     kDescriptorKeyMissing},
    {"dust with a float radius",
     Event("DstS", DescriptorValue{{FourCC("Rds "), ActionValue::Float(1)}, {FourCC("Thsh"), ActionValue::Integer(0)}}),
     kDescriptorWrongType},
    {"dust of radius 0",
     Event("DstS", DescriptorValue{{FourCC("Rds "), ActionValue::Integer(0)}, {FourCC("Thsh"), ActionValue::Integer(0)}}),
     kParamError},
    {"dust of radius 3",
     Event("DstS", DescriptorValue{{FourCC("Rds "), ActionValue::Integer(3)}, {FourCC("Thsh"), ActionValue::Integer(0)}}),
     kEventNotHandled},
    {"dust with threshold 256",
     Event("DstS", DescriptorValue{{FourCC("Rds "), ActionValue::Integer(1)}, {FourCC("Thsh"), ActionValue::Integer(256)}}),
     kParamError},
    {"delete a named layer",
     Event("Dlt ", DescriptorValue{{FourCC("null"), Ref(EnumForm("Lyr ", "Ordn", "Frnt"))}}), kEventNotHandled},
    {"delete without a target", Event("Dlt ", std::nullopt), kDescriptorKeyMissing},
};

TEST(EventExecutor, RefusesWhatItDoesNotExecuteAndChangesNothing) {
    for (const Refusal& refusal : kRefusals) {
        Document document = MaskedDocument();
        const Plane mask = document.TargetLayer().mask;
        const std::size_t layers = document.Layers().size();
        EXPECT_EQ(ExecuteEvent(document, refusal.event), refusal.status) << refusal.what << ": " << PlayedText(refusal.event);
        EXPECT_EQ(document.Layers().size(), layers) << refusal.what;
        EXPECT_TRUE(document.TargetLayer().mask.SameLevels(mask)) << refusal.what;
        EXPECT_EQ(document.Channel(), TargetChannel::LayerMask) << refusal.what;
    }
}

TEST(EventExecutor, TheDocumentsOwnRefusalsPassThrough) {
    Document document({Plane(3, 3, 1), Plane(3, 3, 2), Plane(3, 3, 3)});
    EXPECT_EQ(ExecuteEvent(document, Event("Invs", std::nullopt)), kNoSuchObject) << "no selection to invert";
    EXPECT_EQ(ExecuteEvent(document, Event("Dlt ", DescriptorValue{{FourCC("null"), Ref(EnumForm("Lyr ", "Ordn", "Trgt"))}})),
              kEventNotHandled)
        << "the last layer stays";
    Document masked = MaskedDocument();
    EXPECT_EQ(ExecuteEvent(masked, Event("Mk  ", kRevealMask)), kEventNotHandled) << "one mask per layer";
}

TEST(EventExecutor, CurvesApplyEveryAdjustmentInOrderAndIgnoreExtraKeys) {
    Document document = MaskedDocument();
    const Plane before = document.TargetLayer().mask;
    // Two adjustments: invert, then a line to half. Extra keys change nothing.
    DescriptorValue twice = CurvesOf({Point(0, 255), Point(255, 0)});
    const DescriptorValue half = CurvesOf({Point(0, 0), Point(255, 127.5)});
    ActionValue list = *twice.Find(FourCC("Adjs"));
    list.items.push_back(half.Find(FourCC("Adjs"))->items[0]);
    twice.Put(FourCC("Adjs"), list);
    twice.Put(FourCC("Prsr"), ActionValue::Boolean(true));
    ASSERT_EQ(ExecuteEvent(document, Event("Crvs", twice)), 0);
    LevelTable halfTable{};
    for (int v = 0; v < 256; ++v) halfTable[v] = static_cast<uint8_t>((v * 2 + 2) / 4);  // round(v / 2), half up
    EXPECT_TRUE(document.TargetLayer().mask.SameLevels(ReferenceTable(ReferenceTable(before, InvertedLevels()), halfTable)));
}

}  // namespace
