// The mode dialog: seven radio buttons, one per tonal range, shown before a
// run when the host asks for the plug-in's dialog.
#ifndef LUMACUT_UI_MODE_DIALOG_H
#define LUMACUT_UI_MODE_DIALOG_H

#include <cstdint>

#include "ModalDialog.h"
#include "RadioButtonGroup.h"
#include "resources/ResourceIds.h"

constexpr int32_t kModeDialogId = LUMACUT_MODE_DIALOG;
// The button of a mode is always the mode plus 3: "Highlights normal" is 4,
// "Midtones narrow" is 10.
constexpr int32_t kFirstModeButton = LUMACUT_FIRST_MODE_BUTTON;
constexpr int32_t kLastModeButton = LUMACUT_LAST_MODE_BUTTON;

class ModeDialog : public ModalDialog {
public:
    explicit ModeDialog(int32_t mode) : selectedMode(mode) {}

    // Checks the button of `selectedMode`; a mode outside 2..7 shows as
    // "Highlights normal".
    void OnInit() override;
    // OK takes the checked button as the new `selectedMode`; other ids are
    // left to the automatic radio buttons and the framework.
    void OnCommand(int controlId) override;

    RadioButtonGroup modeButtons;
    int32_t selectedMode;
};

#endif
