#include "ResponseChart.h"

#include <stdexcept>
#include <string>

namespace {
const Rgb kPaper = Gray(255);
const Rgb kInk = Gray(24);
const Rgb kGrid = Gray(222);
const Rgb kStripFrame = Gray(150);
const int kTextScale = 2;
const int kTextHeight = 7 * kTextScale;
const int kTicks[] = {0, 64, 128, 192, 255};

const int kStripTop = kPlotTop + kPlotSide + 64;
const int kStripHeight = 20;
const int kStripPitch = 28;
const int kLegendLeft = kPlotLeft + kPlotSide + 28;
const int kSampleLength = 48;

// Gray values 150, 65, 114, 38, 178, 96 and 0 (0.30 R + 0.59 G + 0.11 B):
// curves that lie near each other (the two highlights, the two shadows,
// the three midtones) are far apart in gray as well as in dash.
const std::vector<Pen> kPens = {
    {{240, 130, 0}, 3, {}},                   // Highlights normal: solid
    {{170, 20, 20}, 3, {12, 6}},              // Highlights narrow: dashes
    {{40, 130, 230}, 3, {3, 4}},              // Shadows normal: dots
    {{25, 25, 140}, 3, {14, 4, 3, 4}},        // Shadows narrow: dash dot
    {{120, 225, 80}, 3, {22, 5}},             // Midtones wide: long dashes
    {{160, 50, 170}, 3, {9, 4, 3, 4, 3, 4}},  // Midtones medium: dash dot dot
    {{0, 0, 0}, 3, {5, 4}},                   // Midtones narrow: short dashes
};

int LevelX(int level) { return kPlotLeft + 2 * level; }
int SelectionY(int selection) { return kPlotTop + 2 * (255 - selection); }

void Axes(Canvas& canvas) {
    const int bottom = kPlotTop + kPlotSide;
    for (int tick : kTicks) {
        const std::string label = std::to_string(tick);
        const int x = LevelX(tick), y = SelectionY(tick);
        canvas.Fill(x, kPlotTop, x + 1, bottom, kGrid);
        canvas.Fill(kPlotLeft, y, kPlotLeft + kPlotSide, y + 1, kGrid);
        canvas.Fill(x, bottom, x + 1, bottom + 6, kInk);
        canvas.Fill(kPlotLeft - 7, y, kPlotLeft, y + 1, kInk);
        canvas.Text(label, x - TextWidth(label, kTextScale) / 2, bottom + 10, kInk, kTextScale);
        canvas.Text(label, kPlotLeft - 12 - TextWidth(label, kTextScale), y - kTextHeight / 2, kInk, kTextScale);
    }
    canvas.Fill(kPlotLeft - 1, kPlotTop, kPlotLeft, bottom + 1, kInk);
    canvas.Fill(kPlotLeft - 1, bottom, kPlotLeft + kPlotSide, bottom + 1, kInk);
    const std::string across = "input level (0 black, 255 white)";
    canvas.Text(across, kPlotLeft + (kPlotSide - TextWidth(across, kTextScale)) / 2, bottom + 32, kInk, kTextScale);
    canvas.Text("selection (255 = 100 % selected)", kPlotLeft - 40, kPlotTop - 28, kInk, kTextScale);
}

void Curve(Canvas& canvas, const LevelTable& selected, const Pen& pen) {
    std::vector<Point> points;
    for (int level = 0; level < 256; ++level)
        points.push_back({LevelX(level), SelectionY(selected[static_cast<std::size_t>(level)])});
    canvas.Polyline(points, pen);
}

// A sample of the pen and the caption, the caption's middle at `middle`.
void Label(Canvas& canvas, const std::string& caption, const Pen& pen, int middle) {
    canvas.Polyline({{kLegendLeft, middle}, {kLegendLeft + kSampleLength, middle}}, pen);
    canvas.Text(caption, kLegendLeft + kSampleLength + 10, middle - kTextHeight / 2, kInk, kTextScale);
}

void Strip(Canvas& canvas, const LevelTable& levels, int top) {
    canvas.Fill(kPlotLeft - 1, top - 1, kPlotLeft + kPlotSide + 1, top + kStripHeight + 1, kStripFrame);
    for (int level = 0; level < 256; ++level)
        canvas.Fill(LevelX(level), top, LevelX(level) + 2, top + kStripHeight, Gray(levels[static_cast<std::size_t>(level)]));
}
}  // namespace

const Pen& CurvePen(std::size_t index) { return kPens[index % kPens.size()]; }

RgbImage MakeResponseChart(const std::vector<ModeResponse>& responses) {
    if (responses.size() > kPens.size()) throw std::invalid_argument("a response chart has room for seven curves");
    Canvas canvas(kChartWidth, kChartHeight, kPaper);
    canvas.Text("How strongly each mode selects each input level", kPlotLeft - 40, 10, kInk, kTextScale);
    Axes(canvas);
    for (std::size_t i = 0; i < responses.size(); ++i) {
        Curve(canvas, responses[i].selected, kPens[i]);
        Label(canvas, responses[i].caption, kPens[i], kPlotTop + 12 + static_cast<int>(i) * kStripPitch);
    }
    // The ramp itself, then what each mode keeps of it.
    Strip(canvas, IdentityLevels(), kStripTop);
    canvas.Text("the input ramp", kLegendLeft + kSampleLength + 10, kStripTop + (kStripHeight - kTextHeight) / 2, kInk,
                kTextScale);
    for (std::size_t i = 0; i < responses.size(); ++i) {
        const int top = kStripTop + static_cast<int>(i + 1) * kStripPitch;
        Strip(canvas, responses[i].selected, top);
        Label(canvas, responses[i].caption, kPens[i], top + kStripHeight / 2);
    }
    return canvas.TakeImage();
}
