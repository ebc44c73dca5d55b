// The response chart a photographer reads to choose a mode: input level
// 0 to 255 across, selection 0 to 255 (0 to 100 %) up, one curve per mode,
// and under the chart one strip per mode showing the gray ramp as that mode
// selects it (white = selected).
#ifndef LUMACUT_HOST_RESPONSE_CHART_H
#define LUMACUT_HOST_RESPONSE_CHART_H

#include <cstddef>
#include <vector>

#include "Canvas.h"
#include "host/image/ImageFile.h"
#include "ToneResponse.h"

// The chart's size for seven modes, and the square the curves are drawn in:
// two pixels per level, selection 255 at the top.
constexpr int kChartWidth = 912;
constexpr int kChartHeight = 880;
constexpr int kPlotLeft = 72;
constexpr int kPlotTop = 64;
constexpr int kPlotSide = 512;

// The pen of the n-th curve. Colours and dashes both differ, and the
// colours' gray values are far apart, so a gray print still tells them
// apart; each is a colour drawn nowhere else on the chart.
const Pen& CurvePen(std::size_t index);

// At most seven responses; the chart grows a strip for each. Throws
// std::invalid_argument for more than seven.
RgbImage MakeResponseChart(const std::vector<ModeResponse>& responses);

#endif
