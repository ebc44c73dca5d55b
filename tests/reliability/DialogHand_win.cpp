#include <windows.h>

#include "DialogHand.h"
#include "HostCall.h"
#include "host/driver/DialogDriver.h"
#include "host/driver/HostWindow.h"
#include "host/suites/StandInHost.h"

namespace reliability {

struct DialogHand::Watch {
    explicit Watch(DialogDriver::Script script) : driver(std::move(script)) {}
    DialogDriver driver;
};

namespace {
DialogDriver::Script ScriptFor(DialogHand::Script script) {
    if (script == DialogHand::Script::AboutLinkThenEscape) {
        return [](DialogView& dialog) {
            dialog.Click(4);
            dialog.TypeChar(27);
        };
    }
    return [](DialogView& dialog) { dialog.Click(IDOK); };
}

// The host's main window, which owns the plug-in's dialogs as a real
// host's would; made once, on the thread that sends the requests.
void ActivateHostWindow() {
    static HostWindow window(WindowBox{120, 90, 1020, 690});
    window.Activate();
}
}  // namespace

DialogHand::DialogHand(Script script) {
    ActivateHostWindow();
    watch_ = std::make_unique<Watch>(ScriptFor(script));
}

DialogHand::~DialogHand() = default;

void DialogHand::Finish(StandInHost& host) {
    // A dialog that never came up (the request failed before it) is fine;
    // one that came up and did not close on its own is not.
    if (!watch_->driver.Finish() && watch_->driver.Appeared())
        host.Error("dialog did not close: " + watch_->driver.Problem());
}

bool DialogsAreShown() { return true; }

}  // namespace reliability
