// One request sent to the real module through a fresh stand-in host, with
// faults injected, and everything the host can tell afterwards: the status,
// the events played, what became of the action parameters, and what is
// still outstanding.
#ifndef LUMACUT_TESTS_RELIABILITY_HOST_CALL_H
#define LUMACUT_TESTS_RELIABILITY_HOST_CALL_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/suites/ActionValues.h"
#include "host/suites/StandInHost.h"

namespace reliability {

enum class RequestKind { About, Run };

struct Request {
    RequestKind kind = RequestKind::Run;
    int32_t playInfo = 0;
    std::optional<int32_t> mode;  // the descriptor's "Cnt "; none: no descriptor
    bool withParameters = true;   // false: actionParameters is null
    // When set, the incoming descriptor holds this instead of the mode.
    std::optional<DescriptorValue> content;

    static Request About() { return {RequestKind::About, 0, std::nullopt, false, std::nullopt}; }
    static Request Run(int32_t playInfo, std::optional<int32_t> mode) {
        return {RequestKind::Run, playInfo, mode, true, std::nullopt};
    }
    static Request RunWithoutParameters() { return {RequestKind::Run, 0, std::nullopt, false, std::nullopt}; }
    static Request RunWithContent(DescriptorValue content) {
        return {RequestKind::Run, 0, std::nullopt, true, std::move(content)};
    }

    std::string Name() const;
};

// The recordInfo every sweep request starts with, so that a write-back,
// which sets it to 0, shows.
constexpr int32_t kIncomingRecordInfo = 7;

struct CallOutcome {
    HostStatus status = 0;
    std::vector<PlayedEvent> played;
    // The host's descriptor and recordInfo exactly as passed (same handle,
    // still live, same content).
    bool parametersUntouched = true;
    // After a write-back: what the new descriptor holds, and whether the
    // incoming one was freed.
    std::optional<DescriptorValue> written;
    bool incomingFreed = false;
    int32_t recordInfo = kIncomingRecordInfo;
    std::size_t liveBlocks = 0;
    std::size_t liveStrings = 0;
    int suitesHeld = 0;
    std::string firstError;
    // The operations a fault can be injected into, in the order entered;
    // the generic counters ("actions", "AcquireSuite") left out.
    std::vector<std::string> operations;
    std::string log;
};

struct CallSetup {
    std::vector<InjectedFault> faults;
    bool playFillsResult = true;
};

// Sends the request; on Windows, a dialog it opens is driven (OK for the
// mode dialog; the web-address button, then Escape, for the About box).
CallOutcome Call(const Request& request, const CallSetup& setup);

// Events compared by what the host was asked to do, not by how it answered.
bool SameEvent(const PlayedEvent& a, const PlayedEvent& b);
bool SameEvents(const std::vector<PlayedEvent>& a, const std::vector<PlayedEvent>& b);

// What the host was asked to play, readably.
std::string EventsText(const std::vector<PlayedEvent>& events);

// Whether this platform shows real dialogs (Windows) or answers that they
// cannot be shown.
bool DialogsAreShown();

}  // namespace reliability

#endif
