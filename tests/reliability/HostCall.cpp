#include "HostCall.h"

#include "DialogHand.h"
#include "entry/interface/HostCodes.h"
#include "host/suites/ActionText.h"
#include "host/suites/ActionsHost.h"
#include "support/PluginUnderTest.h"

namespace reliability {

std::string Request::Name() const {
    if (kind == RequestKind::About) return "About";
    std::string name = "run";
    if (!withParameters) return name + ", no parameters";
    if (content)
        name += ", descriptor " + DescriptorText(*content);
    else
        name += mode ? ", mode " + std::to_string(*mode) : ", no descriptor";
    if (playInfo == 1) name += ", dialog";
    return name;
}

bool SameEvent(const PlayedEvent& a, const PlayedEvent& b) {
    return a.event == b.event && a.descriptor == b.descriptor && a.dialogOption == b.dialogOption;
}

bool SameEvents(const std::vector<PlayedEvent>& a, const std::vector<PlayedEvent>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!SameEvent(a[i], b[i])) return false;
    return true;
}

std::string EventsText(const std::vector<PlayedEvent>& events) {
    std::string text;
    for (const PlayedEvent& event : events) text += "    " + PlayedText(event) + "\n";
    return text.empty() ? "    (none)\n" : text;
}

CallOutcome Call(const Request& request, const CallSetup& setup) {
    StandInHost host;
    // As a real host does: the plug-in's resources are in its own module.
    host.SetAccessModules(nullptr, PluginUnderTest().Handle());
    host.Actions().SetPlayFillsResult(setup.playFillsResult);
    for (const InjectedFault& fault : setup.faults) host.Inject(fault);

    ActionParameters parameters{request.playInfo, kIncomingRecordInfo, nullptr};
    DescriptorValue incomingContent;
    if (request.content || request.mode) {
        incomingContent = request.content ? *request.content
                                          : DescriptorValue{{FourCC("Cnt "), ActionValue::Integer(*request.mode)}};
        parameters.descriptor = host.Actions().NewDescriptor(incomingContent);
    }
    const ActionDescriptor incoming = parameters.descriptor;
    ActionParameters* passed = request.withParameters ? &parameters : nullptr;

    CallOutcome outcome;
    if (request.kind == RequestKind::About) {
        DialogHand hand(DialogHand::Script::AboutLinkThenEscape);
        outcome.status = SendAbout(PluginUnderTest(), host);
        hand.Finish(host);
    } else if (request.withParameters && request.playInfo == 1) {
        DialogHand hand(DialogHand::Script::ModeDialogOk);
        outcome.status = SendRequest(PluginUnderTest(), host, "PS Photoshop", "Do It", passed);
        hand.Finish(host);
    } else {
        // No dialog to watch for: only playInfo 1 asks for one.
        outcome.status = SendRequest(PluginUnderTest(), host, "PS Photoshop", "Do It", passed);
    }

    outcome.played = host.Actions().Played();
    outcome.recordInfo = parameters.recordInfo;
    const bool incomingLive = incoming == nullptr || host.Actions().IsLive(incoming);
    outcome.parametersUntouched = parameters.descriptor == incoming && parameters.recordInfo == kIncomingRecordInfo &&
                                  incomingLive &&
                                  (incoming == nullptr || host.Actions().Content(incoming) == incomingContent);
    if (parameters.descriptor != incoming) {
        outcome.incomingFreed = incoming == nullptr || !host.Actions().IsLive(incoming);
        // The host takes over what the plug-in wrote, as it would record it.
        if (parameters.descriptor != nullptr) outcome.written = host.Actions().TakeDescriptor(parameters.descriptor);
    }
    outcome.liveBlocks = host.LiveBlocks();
    outcome.liveStrings = host.LiveStrings();
    outcome.suitesHeld = host.SuitesHeld();
    outcome.firstError = host.FirstError();
    for (const std::string& operation : host.Entered())
        if (operation != "actions" && operation != "AcquireSuite") outcome.operations.push_back(operation);
    outcome.log = host.LogText();
    return outcome;
}

}  // namespace reliability
