// No dialogs here: the plug-in answers as Windows does when a dialog cannot
// be shown, so there is never anything to press.
#include "DialogHand.h"
#include "HostCall.h"

namespace reliability {

struct DialogHand::Watch {};

DialogHand::DialogHand(Script) {}
DialogHand::~DialogHand() = default;
void DialogHand::Finish(StandInHost&) {}

bool DialogsAreShown() { return false; }

}  // namespace reliability
