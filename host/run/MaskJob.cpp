#include "MaskJob.h"

#include <chrono>

#include "host/suites/ActionsHost.h"
#include "host/engine/EventExecutor.h"
#include "host/driver/PluginRequests.h"
#include "host/suites/StandInHost.h"

DescriptorValue ModeParameters(int32_t mode) { return {{kModeKey, ActionValue::Integer(mode)}}; }

RecordedRun RunOnImage(const PluginModule& module, const RgbPlanes& image, const RunSettings& settings) {
    Document document(image);
    StandInHost host;
    host.SetAccessModules(nullptr, module.Handle());
    RecordedRun recorded;
    MaskRun& run = recorded.run;
    host.Actions().SetPlayHandler([&](const PlayedEvent& event) {
        const auto start = std::chrono::steady_clock::now();
        const HostStatus status = ExecuteEvent(document, event);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.engineSeconds += seconds;
        run.eventSeconds.push_back(seconds);
        return status;
    });
    ActionParameters parameters{settings.playInfo, 0, host.Actions().NewDescriptor(settings.parameters)};
    run.status = SendRun(module, host, &parameters);
    // The plug-in may have replaced the descriptor; whichever is there now
    // is the host's to keep and free.
    if (parameters.descriptor != nullptr) recorded.handedBack = host.Actions().TakeDescriptor(parameters.descriptor);
    run.selection = document.Selection();
    run.played = host.Actions().Played();
    run.log = host.LogText();
    run.hostError = host.FirstError();
    return recorded;
}

MaskRun RunModeOnImage(const PluginModule& module, const RgbPlanes& image, int32_t mode) {
    // playInfo 0: the host plays the step silently, so the mode comes from
    // the parameter alone.
    return RunOnImage(module, image, {0, ModeParameters(mode)}).run;
}
