#include "DialogPlacement.h"

#include <algorithm>
#include <limits>

namespace {
// The inputs are window sizes and screen coordinates, far from the limits,
// but a sum of two of them is taken in 64 bits so no input can overflow.
int32_t Narrow(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}
}  // namespace

int32_t DialogShift(int32_t buttonWidth, bool hasSystemMenu) {
    return hasSystemMenu ? buttonWidth : buttonWidth - buttonWidth / 3;
}

DialogPosition PlaceDialog(const DialogPlacementInput& input) {
    const int64_t areaWidth = int64_t{input.ownerArea.right} - input.ownerArea.left;
    const int64_t areaHeight = int64_t{input.ownerArea.bottom} - input.ownerArea.top;
    const int64_t shift = DialogShift(input.buttonWidth, input.hasSystemMenu);

    int64_t x = input.ownerArea.left + std::max<int64_t>(areaWidth - input.width, 0) / 2 - shift;
    if (x + input.width > input.screenWidth) x = std::max<int64_t>(int64_t{input.screenWidth} - input.width, 0);

    // A third of the free height above, two thirds below: the eye meets a
    // dialog a little above the middle.
    int64_t y = input.ownerArea.top + std::max<int64_t>(areaHeight - input.height, 0) / 3;
    if (y + input.height > input.screenHeight) y = std::max<int64_t>(int64_t{input.screenHeight} - input.height, 0);

    return {Narrow(x), Narrow(y)};
}
