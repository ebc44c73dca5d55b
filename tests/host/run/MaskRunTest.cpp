// The real plug-in run on documents by the host's engine: the selection each
// mode leaves on a luminosity ramp and on the shipped photograph, against
// masks worked out here by the plain references; the response chart's
// numbers and curves; and the host's refusals reaching the plug-in's result.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/EngineReference.h"
#include "host/suites/ActionText.h"
#include "host/suites/ActionsHost.h"
#include "host/engine/EventExecutor.h"
#include "host/suites/HostStatusCodes.h"
#include "host/image/ImageFile.h"
#include "host/run/MaskJob.h"
#include "host/pictures/ResponseChart.h"
#include "support/PluginUnderTest.h"

namespace {
// What each mode should do to a luminosity mask, written from the mode table.
struct ModeShape {
    bool inverted;
    std::vector<std::vector<SplinePoint>> curves;
};

const std::vector<SplinePoint> kNormal = {{0, 0}, {85, 0}, {151, 26}, {255, 255}};
const std::vector<SplinePoint> kNarrow = {{0, 0}, {130, 0}, {177, 22}, {255, 255}};
const std::vector<SplinePoint> kBand = {{0, 0}, {126, 255}, {255, 0}};
const std::vector<SplinePoint> kMedium = {{0, 0}, {47, 0}, {70, 5}, {255, 255}};
const std::vector<SplinePoint> kNarrowBand = {{0, 0}, {97, 1}, {137, 18}, {255, 255}};

ModeShape ShapeOf(int32_t mode) {
    switch (mode) {
    case 1: return {false, {kNormal}};
    case 2: return {false, {kNarrow}};
    case 3: return {true, {kNormal}};
    case 4: return {true, {kNarrow}};
    case 5: return {false, {kBand}};
    case 6: return {false, {kBand, kMedium}};
    case 7: return {false, {kBand, kNarrowBand}};
    default: return {false, {}};
    }
}

// The selection a run of the mode must leave, from the plain references.
Plane ExpectedSelection(const Plane& luminosity, int32_t mode) {
    const ModeShape shape = ShapeOf(mode);
    Plane mask = shape.inverted ? ReferenceTable(luminosity, InvertedLevels()) : luminosity;
    for (const auto& curve : shape.curves) {
        LevelTable table{};
        EXPECT_TRUE(MakeLevelTable(curve, table));
        mask = ReferenceTable(mask, table);
    }
    return ReferenceMedian(mask);
}

Plane ReferenceLuminosity(const RgbPlanes& image) {
    return PlaneOf(image.red.Width(), image.red.Height(), [&](int x, int y) {
        return ReferenceLuma(image.red.At(x, y), image.green.At(x, y), image.blue.At(x, y));
    });
}

std::vector<int> Profile(const Plane& plane) {
    std::vector<int> row(plane.Row(0), plane.Row(0) + plane.Width());
    return row;
}

int SelectedLevels(const std::vector<int>& profile) {
    return static_cast<int>(std::count_if(profile.begin(), profile.end(), [](int v) { return v > 0; }));
}

const int32_t kModes[] = {1, 2, 3, 4, 5, 6, 7, 0, 8, -1};

class ModeOnRamp : public PluginTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(ModeOnRamp, SelectsTheTonalRangeOfTheMode) {
    const int32_t mode = GetParam();
    // 256 gray columns, 0 to 255 from left to right, four rows.
    const Plane ramp = PlaneOf(256, 4, [](int x, int) { return static_cast<uint8_t>(x); });
    const MaskRun run = RunModeOnImage(PluginUnderTest(), GrayPlanes(ramp), mode);
    ASSERT_EQ(run.status, 0) << run.log;
    EXPECT_EQ(run.hostError, "") << run.log;
    ASSERT_FALSE(run.selection.Empty());
    EXPECT_TRUE(run.selection.SameLevels(ExpectedSelection(ramp, mode))) << run.log;

    // What a person would check by eye on the mask of a ramp.
    const std::vector<int> profile = Profile(run.selection);
    for (int y = 1; y < 4; ++y) EXPECT_TRUE(std::equal(profile.begin(), profile.end(), run.selection.Row(y)));
    const auto peak = std::max_element(profile.begin(), profile.end()) - profile.begin();
    switch (mode) {
    case 1:
    case 2:
        EXPECT_EQ(profile[255], 255);
        EXPECT_EQ(profile[85], 0);
        EXPECT_TRUE(std::is_sorted(profile.begin(), profile.end())) << "brighter is never less selected";
        break;
    case 3:
    case 4:
        EXPECT_EQ(profile[0], 255);
        EXPECT_EQ(profile[170], 0);
        EXPECT_TRUE(std::is_sorted(profile.rbegin(), profile.rend())) << "darker is never less selected";
        break;
    case 5:
    case 6:
    case 7:
        EXPECT_EQ(profile[0], 0);
        EXPECT_EQ(profile[255], 0);
        EXPECT_NEAR(static_cast<double>(peak), 126.0, 4.0) << "the band is centred on level 126";
        EXPECT_EQ(profile[static_cast<std::size_t>(peak)], 255);
        break;
    default:
        EXPECT_TRUE(run.selection.SameLevels(ramp)) << "no curve: the plain luminosity";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, ModeOnRamp, ::testing::ValuesIn(kModes));

TEST_F(PluginTest, NarrowModesSelectFewerLevelsThanWideOnes) {
    const Plane ramp = PlaneOf(256, 3, [](int x, int) { return static_cast<uint8_t>(x); });
    std::vector<int> selected(8, 0);
    for (int32_t mode = 1; mode <= 7; ++mode) {
        const MaskRun run = RunModeOnImage(PluginUnderTest(), GrayPlanes(ramp), mode);
        ASSERT_EQ(run.status, 0) << run.log;
        selected[static_cast<std::size_t>(mode)] = SelectedLevels(Profile(run.selection));
    }
    EXPECT_LT(selected[2], selected[1]) << "highlights narrow vs normal";
    EXPECT_LT(selected[4], selected[3]) << "shadows narrow vs normal";
    EXPECT_LT(selected[6], selected[5]) << "midtones medium vs wide";
    EXPECT_LT(selected[7], selected[6]) << "midtones narrow vs medium";
    EXPECT_EQ(selected[1], selected[3]) << "shadows mirror highlights";
}

// What a run's events do to every level: its "Invs" and "Crvs" applied in
// the order played, through the engine's own inversion and curve tables.
LevelTable LevelsOfEvents(const std::vector<PlayedEvent>& played) {
    LevelTable levels = IdentityLevels();
    for (const PlayedEvent& event : played) {
        std::vector<LevelTable> steps;
        if (event.event == FourCC("Invs")) steps.push_back(InvertedLevels());
        const ActionValue* adjustments =
            event.event == FourCC("Crvs") && event.descriptor ? event.descriptor->Find(FourCC("Adjs")) : nullptr;
        for (const ActionValue& adjustment : adjustments ? adjustments->items : std::vector<ActionValue>()) {
            std::vector<SplinePoint> points;
            const ActionValue* curve = adjustment.object.Find(FourCC("Crv "));
            for (const ActionValue& point : curve ? curve->items : std::vector<ActionValue>())
                points.push_back({point.object.Find(FourCC("Hrzn"))->number, point.object.Find(FourCC("Vrtc"))->number});
            steps.emplace_back();
            EXPECT_TRUE(MakeLevelTable(points, steps.back())) << event;
        }
        for (const LevelTable& step : steps)
            for (uint8_t& level : levels) level = step[level];
    }
    return levels;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    return fields;
}

TEST_F(PluginTest, ResponseChartShowsWhatEachModesEventsDoToEveryLevel) {
    std::vector<ModeResponse> responses;
    std::vector<LevelTable> expected;
    for (int32_t mode = kFirstMode; mode <= kLastMode; ++mode) {
        const MaskRun run = RunModeOnImage(PluginUnderTest(), ResponseRamp(), mode);
        ASSERT_EQ(run.status, 0) << run.log;
        responses.push_back({mode, ModeCaption(mode), {}});
        ASSERT_TRUE(ReadResponse(run.selection, responses.back().selected)) << "mode " << mode;
        expected.push_back(LevelsOfEvents(run.played));
    }

    std::istringstream csv(ResponseCsv(responses));
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(csv, line);) rows.push_back(Fields(line));
    ASSERT_EQ(rows.size(), 257u) << "a header and one row per input level";
    for (int32_t mode = kFirstMode; mode <= kLastMode; ++mode) {
        const auto column = std::find(rows[0].begin(), rows[0].end(), ModeCaption(mode)) - rows[0].begin();
        ASSERT_LT(static_cast<std::size_t>(column), rows[0].size()) << ModeCaption(mode);
        for (std::size_t level = 0; level < 256; ++level) {
            ASSERT_EQ(rows[level + 1].size(), rows[0].size());
            EXPECT_EQ(rows[level + 1][0], std::to_string(level));
            EXPECT_EQ(rows[level + 1][static_cast<std::size_t>(column)],
                      std::to_string(expected[static_cast<std::size_t>(mode - kFirstMode)][level]))
                << ModeCaption(mode) << " at level " << level;
        }
    }

    const RgbImage chart = MakeResponseChart(responses);
    ASSERT_EQ(chart.width, kChartWidth);
    ASSERT_EQ(chart.height, kChartHeight);
    ASSERT_EQ(chart.pixels.size(), static_cast<std::size_t>(kChartWidth) * kChartHeight * 3);
    for (std::size_t i = 0; i < responses.size(); ++i) {
        // Inside the plot, where only the curve is drawn in its colour.
        const Rgb colour = CurvePen(i).colour;
        int pixels = 0;
        for (int y = kPlotTop; y < kPlotTop + kPlotSide; ++y)
            for (int x = kPlotLeft; x < kPlotLeft + kPlotSide; ++x) {
                const uint8_t* p = &chart.pixels[(static_cast<std::size_t>(y) * chart.width + x) * 3];
                pixels += p[0] == colour.red && p[1] == colour.green && p[2] == colour.blue;
            }
        EXPECT_GT(pixels, 200) << responses[i].caption;
    }
}

// The shipped photograph, every mode: the run through the real module (under
// Wine for the Windows build) against the plain references computed here
// from the same decoded pixels, and against the engine's own events played
// directly. PNG output of either build is thus the same bytes.
class ModeOnPhotograph : public PluginTest, public ::testing::WithParamInterface<int32_t> {
protected:
    static void SetUpTestSuite() {
        std::string error;
        RgbPlanes image;
        ASSERT_TRUE(ReadImageFile(LUMACUT_SAMPLE_PHOTO, image, error)) << error;
        photo = new RgbPlanes(image);
        luminosity = new Plane(ReferenceLuminosity(*photo));
    }
    static void TearDownTestSuite() {
        delete photo;
        delete luminosity;
    }
    static RgbPlanes* photo;
    static Plane* luminosity;
};
RgbPlanes* ModeOnPhotograph::photo = nullptr;
Plane* ModeOnPhotograph::luminosity = nullptr;

TEST_P(ModeOnPhotograph, GivesTheMaskOfThePlainReferences) {
    ASSERT_NE(photo, nullptr);
    const int32_t mode = GetParam();
    const MaskRun run = RunModeOnImage(PluginUnderTest(), *photo, mode);
    ASSERT_EQ(run.status, 0) << run.log;
    EXPECT_EQ(run.hostError, "");
    const Plane expected = ExpectedSelection(*luminosity, mode);
    EXPECT_TRUE(run.selection.SameLevels(expected));

    // The same events played straight into a document, without the plug-in.
    Document direct(*photo);
    for (const PlayedEvent& event : run.played) ASSERT_EQ(ExecuteEvent(direct, event), 0) << PlayedText(event);
    EXPECT_TRUE(direct.Selection().SameLevels(run.selection));
    EXPECT_EQ(direct.Layers().size(), 1u) << "the work layer is gone again";
}

INSTANTIATE_TEST_SUITE_P(EveryMode, ModeOnPhotograph, ::testing::Range(1, 8));

// The host's refusal of any event of a run comes back as the run's result,
// and nothing after it is played.
struct Spoiler {
    std::string what;
    void (*spoil)(PlayedEvent&);
    HostStatus status;
    HostStatus statusForMerge;  // "MrgV" without "Dplc" is the merge in place, not ours
};

const Spoiler kSpoilers[] = {
    {"unknown event", [](PlayedEvent& e) { e.event = FourCC("Zzzz"); }, kEventNotHandled, kEventNotHandled},
    {"descriptor without keys", [](PlayedEvent& e) { e.descriptor = DescriptorValue{}; }, kDescriptorKeyMissing, kEventNotHandled},
    {"descriptor of wrong types",
     [](PlayedEvent& e) {
         DescriptorValue wrong;
         for (const DescriptorEntry& entry : e.descriptor->Entries()) wrong.Put(entry.key, ActionValue::Class(FourCC("junk")));
         e.descriptor = wrong;
     },
     kDescriptorWrongType, kDescriptorWrongType},
};

TEST_F(PluginTest, TheHostsRefusalIsTheRunsResult) {
    const Plane ramp = PlaneOf(64, 3, [](int x, int) { return static_cast<uint8_t>(x * 4); });
    for (const Spoiler& spoiler : kSpoilers) {
        // Mode 6 plays nine events, every one with a descriptor but "Invs"
        // which is absent here; spoil the n-th.
        for (std::size_t n = 0; n < 9; ++n) {
            StandInHost runHost;
            Document document(GrayPlanes(ramp));
            std::size_t seen = 0;
            FourCharCode spoiled = 0;
            runHost.Actions().SetPlayHandler([&](const PlayedEvent& event) {
                PlayedEvent played = event;
                if (seen++ == n) {
                    spoiler.spoil(played);
                    spoiled = event.event;
                }
                return ExecuteEvent(document, played);
            });
            ActionParameters parameters{0, 0, runHost.Actions().NewDescriptor({{FourCC("Cnt "), ActionValue::Integer(6)}})};
            const HostStatus status = SendRun(PluginUnderTest(), runHost, &parameters);
            EXPECT_EQ(status, spoiled == FourCC("MrgV") ? spoiler.statusForMerge : spoiler.status) << spoiler.what << " at event " << n + 1 << "\n" << runHost.LogText();
            EXPECT_EQ(runHost.Actions().Played().size(), n + 1) << spoiler.what << ": nothing played after the refusal";
            EXPECT_EQ(runHost.Actions().LiveHandles(), 0u);
            EXPECT_EQ(runHost.FirstError(), "") << runHost.LogText();
            runHost.Actions().TakeDescriptor(parameters.descriptor);
        }
    }
}
}  // namespace
