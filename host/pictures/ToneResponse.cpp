#include "ToneResponse.h"

namespace {
const int kColumnsPerLevel = 2;
const int kRows = 2;
}  // namespace

RgbPlanes ResponseRamp() {
    Plane ramp(256 * kColumnsPerLevel, kRows);
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < ramp.Width(); ++x) ramp.MutableRow(y)[x] = static_cast<uint8_t>(x / kColumnsPerLevel);
    return {ramp, ramp, ramp};
}

bool ReadResponse(const Plane& selection, LevelTable& selected) {
    if (selection.Empty() || selection.Width() != 256 * kColumnsPerLevel || selection.Height() != kRows) return false;
    LevelTable read{};
    for (int level = 0; level < 256; ++level) {
        read[static_cast<std::size_t>(level)] = selection.At(level * kColumnsPerLevel, 0);
        for (int y = 0; y < kRows; ++y)
            for (int column = 0; column < kColumnsPerLevel; ++column)
                if (selection.At(level * kColumnsPerLevel + column, y) != read[static_cast<std::size_t>(level)])
                    return false;
    }
    selected = read;
    return true;
}

std::string ResponseCsv(const std::vector<ModeResponse>& responses) {
    std::string csv = "level";
    for (const ModeResponse& response : responses) csv += "," + response.caption;
    csv += "\n";
    for (std::size_t level = 0; level < 256; ++level) {
        csv += std::to_string(level);
        for (const ModeResponse& response : responses) csv += "," + std::to_string(response.selected[level]);
        csv += "\n";
    }
    return csv;
}
