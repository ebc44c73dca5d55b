// The user's hand at a dialog the plug-in opens during a request. On
// Windows a watcher thread finds the dialog and acts on it; where the
// plug-in shows no dialogs there is nothing to do.
#ifndef LUMACUT_TESTS_RELIABILITY_DIALOG_HAND_H
#define LUMACUT_TESTS_RELIABILITY_DIALOG_HAND_H

#include <memory>

class StandInHost;

namespace reliability {

class DialogHand {
public:
    enum class Script {
        ModeDialogOk,        // press OK on whatever the dialog shows
        AboutLinkThenEscape  // click the web-address button, then type Escape
    };

    explicit DialogHand(Script script);
    ~DialogHand();
    DialogHand(const DialogHand&) = delete;
    DialogHand& operator=(const DialogHand&) = delete;

    // Call once the request has returned: closes a dialog left open and
    // records in the host's contract errors a dialog that would not close.
    void Finish(StandInHost& host);

private:
    struct Watch;
    std::unique_ptr<Watch> watch_;
};

}  // namespace reliability

#endif
