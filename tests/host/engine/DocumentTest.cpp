// The document's events one by one: what each does to the layers, the
// target and the selection, and what it refuses.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/EngineReference.h"
#include "host/engine/Document.h"
#include "host/suites/HostStatusCodes.h"
#include "host/engine/PixelOps.h"

namespace {
const int kWidth = 23;
const int kHeight = 11;

Document Photo() {
    return Document({RandomPlane(kWidth, kHeight, 1), RandomPlane(kWidth, kHeight, 2), RandomPlane(kWidth, kHeight, 3)});
}

bool SamePlanes(const RgbPlanes& a, const RgbPlanes& b) {
    return a.red.SameLevels(b.red) && a.green.SameLevels(b.green) && a.blue.SameLevels(b.blue);
}

TEST(Document, MakeLayerAddsAnEmptyTargetRightAboveTheTarget) {
    Document document = Photo();
    const RgbPlanes before = document.Composite();
    ASSERT_EQ(document.MakeLayer(), 0);
    ASSERT_EQ(document.Layers().size(), 2u);
    EXPECT_EQ(document.TargetLayerIndex(), 1);
    EXPECT_FALSE(document.TargetLayer().HasPixels());
    EXPECT_TRUE(SamePlanes(document.Composite(), before)) << "an empty layer shows nothing";

    // Made while a lower layer is the target, the new layer goes right above it.
    Layer top;
    top.name = "top";
    top.color = SolidPlanes(kWidth, kHeight, 1, 2, 3);
    document.AddLayer(top);
    document.SetTargetLayer(0);
    ASSERT_EQ(document.MakeLayer(), 0);
    ASSERT_EQ(document.Layers().size(), 4u);
    EXPECT_EQ(document.TargetLayerIndex(), 1);
    EXPECT_EQ(document.Layers()[3].name, "top");
    EXPECT_FALSE(document.Layers()[1].HasPixels());
}

TEST(Document, CompositeBlendsVisibleLayersOverThePaper) {
    Document document(SolidPlanes(4, 3, 100, 100, 100));
    Layer half;
    half.color = SolidPlanes(4, 3, 200, 0, 255);
    half.alpha = Plane(4, 3, 128);
    document.AddLayer(half);
    // (200 * 128 + 100 * 127) / 255 = 150.2 -> 150, (0 + 12700) / 255 = 49.8 -> 50,
    // (255 * 128 + 12700) / 255 = 177.8 -> 178
    EXPECT_TRUE(SamePlanes(document.Composite(), SolidPlanes(4, 3, 150, 50, 178)));

    Layer hidden;
    hidden.color = SolidPlanes(4, 3, 9, 9, 9);
    hidden.visible = false;
    document.AddLayer(hidden);
    Layer masked;
    masked.color = SolidPlanes(4, 3, 9, 9, 9);
    masked.mask = Plane(4, 3, 0);
    document.AddLayer(masked);
    EXPECT_TRUE(SamePlanes(document.Composite(), SolidPlanes(4, 3, 150, 50, 178)))
        << "hidden and fully masked layers do not show";

    // With no visible layer left, the white paper shows.
    Document blank(SolidPlanes(2, 2, 0, 0, 0));
    blank.SetLayerVisible(0, false);
    EXPECT_TRUE(SamePlanes(blank.Composite(), SolidPlanes(2, 2, 255, 255, 255)));
}

TEST(Document, MergeVisibleStampsTheCompositeIntoTheTargetAndKeepsTheOthers) {
    Document document = Photo();
    const RgbPlanes photo = document.Layers()[0].color;
    ASSERT_EQ(document.MakeLayer(), 0);
    ASSERT_EQ(document.MergeVisibleIntoTarget(), 0);
    ASSERT_EQ(document.Layers().size(), 2u);
    EXPECT_TRUE(SamePlanes(document.TargetLayer().color, photo));
    EXPECT_TRUE(document.TargetLayer().alpha.Empty()) << "the stamp is opaque";
    EXPECT_TRUE(SamePlanes(document.Layers()[0].color, photo)) << "the background stays";

    // With a half-transparent layer between, the stamp holds the blend.
    Document layered(SolidPlanes(3, 3, 100, 100, 100));
    Layer half;
    half.color = SolidPlanes(3, 3, 200, 200, 200);
    half.alpha = Plane(3, 3, 128);
    layered.AddLayer(half);
    ASSERT_EQ(layered.MakeLayer(), 0);
    ASSERT_EQ(layered.MergeVisibleIntoTarget(), 0);
    EXPECT_TRUE(SamePlanes(layered.TargetLayer().color, SolidPlanes(3, 3, 150, 150, 150)));
    EXPECT_EQ(layered.Layers().size(), 3u);
    EXPECT_TRUE(layered.Layers()[1].alpha.SameLevels(Plane(3, 3, 128)));
}

TEST(Document, SelectionEventsFromLuminosityToMaskAndBack) {
    // Three documents of one image, as the runs of one photograph make: the
    // later ones share the luminosity the engine keeps, which no event of
    // theirs may write through.
    const RgbPlanes image = Photo().Layers()[0].color;
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE("run " + std::to_string(run + 1));
        Document document(image);
        const RgbPlanes photo = document.Layers()[0].color;
        const Plane luma = Luminosity(photo.red, photo.green, photo.blue);

        EXPECT_EQ(document.InvertSelection(), kNoSuchObject) << "nothing to invert yet";
        ASSERT_EQ(document.MakeLayer(), 0);
        ASSERT_EQ(document.MergeVisibleIntoTarget(), 0);
        ASSERT_EQ(document.LoadCompositeLuminosity(), 0);
        EXPECT_TRUE(document.Selection().SameLevels(luma));
        ASSERT_EQ(document.InvertSelection(), 0);
        EXPECT_TRUE(document.Selection().SameLevels(ReferenceTable(luma, InvertedLevels())));

        ASSERT_EQ(document.AddRevealMask(), 0);
        EXPECT_FALSE(document.HasSelection()) << "the mask takes the selection";
        EXPECT_EQ(document.Channel(), TargetChannel::LayerMask);
        EXPECT_TRUE(document.TargetLayer().mask.SameLevels(ReferenceTable(luma, InvertedLevels())));
        EXPECT_EQ(document.AddRevealMask(), kEventNotHandled) << "a layer has one mask";

        LevelTable halve{};
        for (int v = 0; v < 256; ++v) halve[v] = static_cast<uint8_t>(v / 2);
        const RgbPlanes stamped = document.TargetLayer().color;
        ASSERT_EQ(document.ApplyCurve(halve), 0);
        const Plane shaped = ReferenceTable(ReferenceTable(luma, InvertedLevels()), halve);
        EXPECT_TRUE(document.TargetLayer().mask.SameLevels(shaped)) << "the curve acts on the mask";
        EXPECT_TRUE(SamePlanes(document.TargetLayer().color, stamped)) << "and not on the layer's pixels";

        ASSERT_EQ(document.DustAndScratches(1, 0), 0);
        const Plane smoothed = ReferenceMedian(shaped);
        EXPECT_TRUE(document.TargetLayer().mask.SameLevels(smoothed));
        ASSERT_EQ(document.LoadTargetChannelSelection(), 0);
        EXPECT_TRUE(document.Selection().SameLevels(smoothed));

        ASSERT_EQ(document.DeleteTargetLayer(), 0);
        EXPECT_EQ(document.Layers().size(), 1u);
        EXPECT_EQ(document.TargetLayerIndex(), 0);
        EXPECT_EQ(document.Channel(), TargetChannel::Composite);
        EXPECT_TRUE(document.Selection().SameLevels(smoothed)) << "the selection outlives the layer";
        EXPECT_TRUE(SamePlanes(document.Layers()[0].color, photo));
    }
}

TEST(Document, ChannelEventsOnTheCompositeWorkOnTheTargetLayersPixels) {
    Document document = Photo();
    const RgbPlanes photo = document.Layers()[0].color;
    ASSERT_EQ(document.AddRevealMask(), 0);
    EXPECT_TRUE(document.TargetLayer().mask.SameLevels(Plane(kWidth, kHeight, 255))) << "no selection: white";

    Document plain = Photo();
    ASSERT_EQ(plain.ApplyCurve(InvertedLevels()), 0);
    EXPECT_TRUE(plain.TargetLayer().color.red.SameLevels(ReferenceTable(photo.red, InvertedLevels())));
    ASSERT_EQ(plain.DustAndScratches(1, 0), 0);
    EXPECT_TRUE(plain.TargetLayer().color.blue.SameLevels(
        ReferenceMedian(ReferenceTable(photo.blue, InvertedLevels()))));
    ASSERT_EQ(plain.LoadTargetChannelSelection(), 0);
    const RgbPlanes now = plain.Composite();
    EXPECT_TRUE(plain.Selection().SameLevels(Luminosity(now.red, now.green, now.blue)))
        << "loading the composite channel loads its luminosity";
}

TEST(Document, RefusedEventsLeaveTheDocumentAsItWas) {
    struct Refusal {
        std::string what;
        std::function<void(Document&)> prepare;
        std::function<HostStatus(Document&)> event;
        HostStatus status;
    };
    const std::vector<Refusal> refusals = {
        {"invert without a selection", [](Document&) {}, [](Document& d) { return d.InvertSelection(); },
         kNoSuchObject},
        {"a second mask", [](Document& d) { d.AddRevealMask(); }, [](Document& d) { return d.AddRevealMask(); },
         kEventNotHandled},
        {"delete the last layer", [](Document&) {}, [](Document& d) { return d.DeleteTargetLayer(); },
         kEventNotHandled},
        {"median of radius 2", [](Document&) {}, [](Document& d) { return d.DustAndScratches(2, 0); },
         kEventNotHandled},
        {"threshold above 255", [](Document&) {}, [](Document& d) { return d.DustAndScratches(1, 256); },
         kParamError},
        {"negative threshold", [](Document&) {}, [](Document& d) { return d.DustAndScratches(1, -1); },
         kParamError},
    };
    for (const Refusal& refusal : refusals) {
        Document document = Photo();
        refusal.prepare(document);
        const std::size_t layers = document.Layers().size();
        const RgbPlanes color = document.TargetLayer().color;
        const Plane mask = document.TargetLayer().mask;
        const TargetChannel channel = document.Channel();
        EXPECT_EQ(refusal.event(document), refusal.status) << refusal.what;
        EXPECT_EQ(document.Layers().size(), layers) << refusal.what;
        EXPECT_TRUE(SamePlanes(document.TargetLayer().color, color)) << refusal.what;
        EXPECT_TRUE(document.TargetLayer().mask.SameLevels(mask)) << refusal.what;
        EXPECT_EQ(document.Channel(), channel) << refusal.what;
    }
}

TEST(Document, RefusesPlanesOfAnotherSize) {
    EXPECT_THROW(Document({Plane(3, 3, 0), Plane(3, 4, 0), Plane(3, 3, 0)}), std::invalid_argument);
    EXPECT_THROW(Document({Plane(), Plane(), Plane()}), std::invalid_argument);
    Document document(SolidPlanes(3, 3, 0, 0, 0));
    Layer wrong;
    wrong.color = SolidPlanes(4, 3, 0, 0, 0);
    EXPECT_THROW(document.AddLayer(wrong), std::invalid_argument);
    Layer partial;
    partial.color.red = Plane(3, 3, 0);
    EXPECT_THROW(document.AddLayer(partial), std::invalid_argument);
    EXPECT_THROW(document.SetSelection(Plane(2, 2, 0)), std::invalid_argument);
    EXPECT_EQ(document.Layers().size(), 1u);
}
}  // namespace
