#include "MaskJob.h"

#include <chrono>

#include "ActionsHost.h"
#include "EventExecutor.h"
#include "PluginRequests.h"
#include "StandInHost.h"
#include "entry/HostCodes.h"

std::string ModeCaption(int32_t mode) {
    static const char* const captions[] = {"Highlights normal", "Highlights narrow", "Shadows normal",
                                           "Shadows narrow",    "Midtones wide",     "Midtones medium",
                                           "Midtones narrow"};
    return mode >= kFirstMode && mode <= kLastMode ? captions[mode - kFirstMode] : std::string();
}

MaskRun RunModeOnImage(const PluginModule& module, const RgbPlanes& image, int32_t mode) {
    Document document(image);
    StandInHost host;
    MaskRun run;
    host.Actions().SetPlayHandler([&](const PlayedEvent& event) {
        const auto start = std::chrono::steady_clock::now();
        const HostStatus status = ExecuteEvent(document, event);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.engineSeconds += seconds;
        run.eventSeconds.push_back(seconds);
        return status;
    });
    // playInfo 0: the host plays the step silently, so the mode comes from
    // the parameter alone.
    ActionParameters parameters{0, 0, host.Actions().NewDescriptor({{FourCC("Cnt "), ActionValue::Integer(mode)}})};
    run.status = SendRun(module, host, &parameters);
    host.Actions().TakeDescriptor(parameters.descriptor);  // what the run recorded; the host's to free
    run.selection = document.Selection();
    run.played = host.Actions().Played();
    run.log = host.LogText();
    run.hostError = host.FirstError();
    return run;
}
