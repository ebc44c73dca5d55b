// lumacut-screenshots: shows the plug-in's mode dialog and About box over a
// host window, as the host's "Do It" (with its dialog) and About requests
// show them, and saves a picture of each as PNG. Run under a display
// (scripts/screenshots.sh uses Xvfb).
//
//   lumacut-screenshots [--module=PATH] [--mode=N] MODE_DIALOG.png ABOUT_BOX.png
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/suites/ActionsHost.h"
#include "host/driver/DialogDriver.h"
#include "host/driver/HostWindow.h"
#include "host/driver/PluginModule.h"
#include "host/driver/PluginRequests.h"
#include "host/image/PngWriter.h"
#include "host/suites/StandInHost.h"
#include "entry/interface/HostCodes.h"
#include "entry/interface/PluginModes.h"

namespace {
const char* const kUsage = "usage: lumacut-screenshots [--module=PATH] [--mode=N] MODE_DIALOG.png ABOUT_BOX.png\n";

// Shows one dialog through `request`, photographs it, then closes it as a
// user would (`close`). False with a message when anything went wrong.
template <typename Request>
bool Photograph(const std::string& path, Request request, void (*close)(DialogView&)) {
    std::string error;
    bool saved = false;
    DialogDriver driver([&](DialogView& dialog) {
        RgbImage picture;
        saved = dialog.Screenshot(picture, error) && WriteRgbPng(path, picture, error);
        close(dialog);
    });
    request();
    if (!driver.Finish()) {
        std::fprintf(stderr, "lumacut-screenshots: %s: %s\n", path.c_str(), driver.Problem().c_str());
        return false;
    }
    if (!saved) std::fprintf(stderr, "lumacut-screenshots: %s: %s\n", path.c_str(), error.c_str());
    return saved;
}
}  // namespace

int main(int argc, char** argv) {
    std::string modulePath = ModuleBesideProgram(argc > 0 ? argv[0] : nullptr);
    int32_t mode = 1;
    std::string outputs[2];
    int outputCount = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--module=", 9) == 0) {
            modulePath = argv[i] + 9;
        } else if (std::strncmp(argv[i], "--mode=", 7) == 0) {
            mode = static_cast<int32_t>(std::strtol(argv[i] + 7, nullptr, 10));
        } else if (argv[i][0] != '-' && outputCount < 2) {
            outputs[outputCount++] = argv[i];
        } else {
            std::fprintf(stderr, "%s", kUsage);
            return 2;
        }
    }
    if (outputCount != 2) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }

    PluginModule module;
    if (!module.Load(modulePath)) {
        std::fprintf(stderr, "lumacut-screenshots: %s\n", module.Error().c_str());
        return 1;
    }
    HostWindow window({160, 120, 1120, 840}, HostWindow::Frame::Titled, "Lumacut host");
    if (!window.Created() || !window.IsActive()) {
        std::fprintf(stderr, "lumacut-screenshots: no host window (is there a display?)\n");
        return 1;
    }
    StandInHost host;
    host.SetAccessModules(nullptr, module.Handle());

    ActionParameters parameters{
        1, 0, host.Actions().NewDescriptor({{kModeKey, ActionValue::Integer(mode)}})};
    const bool modeSaved = Photograph(
        outputs[0], [&] { SendRun(module, host, &parameters); }, [](DialogView& dialog) { dialog.Click(IDCANCEL); });
    const bool aboutSaved = Photograph(
        outputs[1], [&] { SendAbout(module, host); }, [](DialogView& dialog) { dialog.TypeChar(27); });
    if (modeSaved) std::printf("%s\n", outputs[0].c_str());
    if (aboutSaved) std::printf("%s\n", outputs[1].c_str());
    return modeSaved && aboutSaved ? 0 : 1;
}
