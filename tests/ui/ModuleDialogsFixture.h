// The module's own dialogs, shown through real requests from the host
// stand-in over a host window it owns, and driven from a watcher thread.
#ifndef LUMACUT_TESTS_UI_MODULE_DIALOGS_FIXTURE_H
#define LUMACUT_TESTS_UI_MODULE_DIALOGS_FIXTURE_H

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "entry/interface/HostCodes.h"
#include "host/suites/ActionsHost.h"
#include "host/driver/DialogDriver.h"
#include "host/driver/HostWindow.h"
#include "support/PluginUnderTest.h"

class ModuleDialogsTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        window = std::make_unique<HostWindow>(WindowBox{120, 90, 1020, 690});
        ASSERT_TRUE(window->Created());
        ASSERT_TRUE(window->IsActive()) << "the host window cannot be made active: run under a display (xvfb-run)";
        // As a host does: the plug-in's resources are in its own module.
        host.SetAccessModules(nullptr, PluginUnderTest().Handle());
    }
    void TearDown() override {
        window.reset();
        PluginTest::TearDown();
    }

    // Run parameters holding a mode, as a recorded action would pass them.
    ActionParameters WithMode(int32_t playInfo, int32_t recordInfo, int32_t mode) {
        return {playInfo, recordInfo, host.Actions().NewDescriptor({{FourCC("Cnt "), ActionValue::Integer(mode)}})};
    }

    // The events a run of `mode` plays without any dialog, from a host of
    // its own: what a dialog run that chose `mode` must play too.
    static std::vector<PlayedEvent> EventsOfMode(int32_t mode) {
        StandInHost reference;
        ActionParameters parameters{0, 0, reference.Actions().NewDescriptor(
                                              {{FourCC("Cnt "), ActionValue::Integer(mode)}})};
        EXPECT_EQ(SendRun(PluginUnderTest(), reference, &parameters), 0) << reference.LogText();
        reference.Actions().TakeDescriptor(parameters.descriptor);
        return reference.Actions().Played();
    }

    // The mode the run handed back for recording, freeing the descriptor.
    std::optional<int32_t> RecordedMode(ActionParameters& parameters) {
        const std::optional<DescriptorValue> written = host.Actions().TakeDescriptor(parameters.descriptor);
        if (!written) return std::nullopt;
        const ActionValue* mode = written->Find(FourCC("Cnt "));
        if (mode == nullptr || mode->kind != ValueKind::Integer) return std::nullopt;
        return mode->integer;
    }

    std::unique_ptr<HostWindow> window;
};

#endif
