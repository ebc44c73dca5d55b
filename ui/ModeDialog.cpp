#include "ModeDialog.h"

#include "entry/interface/HostCodes.h"
#include "entry/interface/PluginModes.h"
#include "entry/base/HostContext.h"
#include "PluginDialogs.h"

namespace {
static_assert(kLastModeButton - kFirstModeButton + 1 == kModeCount, "one button a mode");

int32_t ButtonOfMode(int32_t mode) { return (mode >= kFirstMode && mode <= kLastMode) ? mode + 3 : kFirstModeButton; }
}  // namespace

void ModeDialog::OnInit() {
    modeButtons.window = window;
    modeButtons.SetRange(kFirstModeButton, kLastModeButton);
    modeButtons.Check(ButtonOfMode(selectedMode));
}

void ModeDialog::OnCommand(int controlId) {
    if (controlId != IDOK) return;
    const int32_t checked = modeButtons.CheckedId();
    if (checked >= kFirstModeButton && checked <= kLastModeButton) selectedMode = checked - 3;
}

int32_t ShowModeDialog() {
    ModeDialog dialog(currentMode);
    // Cancel (2) and a dialog that could not be shown (-1) both leave the
    // mode alone and end the run before any event is played.
    if (dialog.RunModal(hostContext.pluginRef, "MakeZYT", kModeDialogId) != IDOK) return kUserCancelled;
    currentMode = dialog.selectedMode;
    return 0;
}
