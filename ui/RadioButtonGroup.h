// A contiguous run of radio buttons in one dialog, by control id.
#ifndef LUMACUT_UI_RADIO_BUTTON_GROUP_H
#define LUMACUT_UI_RADIO_BUTTON_GROUP_H

#include <windows.h>

#include <cstdint>

class RadioButtonGroup {
public:
    // Stored as given; an unset or reversed range makes the others do
    // nothing.
    void SetRange(int32_t first, int32_t last) {
        firstId = first;
        lastId = last;
    }
    // Checks `id` and clears the rest of the run; ignores an unset group
    // and an id outside the run.
    void Check(int32_t id) const;
    // The lowest checked id of the run, or -1 (none checked, or unset).
    int32_t CheckedId() const;

    int32_t firstId = -1;
    int32_t lastId = -1;
    HWND window = nullptr;  // the dialog holding the buttons, set by its owner

private:
    bool IsSet() const { return firstId != -1 && lastId != -1 && window != nullptr; }
};

#endif
