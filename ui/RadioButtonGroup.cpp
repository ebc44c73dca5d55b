#include "RadioButtonGroup.h"

void RadioButtonGroup::Check(int32_t id) const {
    if (!IsSet() || id < firstId || id > lastId) return;
    CheckRadioButton(window, firstId, lastId, id);
}

int32_t RadioButtonGroup::CheckedId() const {
    if (!IsSet()) return -1;
    // Counted in 64 bits: a run that ends at the largest id must not wrap.
    for (int64_t id = firstId; id <= lastId; ++id) {
        if (IsDlgButtonChecked(window, static_cast<int>(id)) != 0) return static_cast<int32_t>(id);
    }
    return -1;
}
