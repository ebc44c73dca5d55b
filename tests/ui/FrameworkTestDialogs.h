// What the framework tests share: their dialog templates, a dialog that
// records what the framework called, and a host with a window.
#ifndef LUMACUT_TESTS_UI_FRAMEWORK_TEST_DIALOGS_H
#define LUMACUT_TESTS_UI_FRAMEWORK_TEST_DIALOGS_H

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "host/driver/HostWindow.h"
#include "host/suites/StandInHost.h"
#include "ui/ModalDialog.h"

constexpr int32_t kTestDialog = 100;
constexpr int32_t kTestDialogWithoutSystemMenu = 101;
constexpr int32_t kMissingDialog = 4242;
constexpr int kOtherButton = 30;

// A hook that fails as a host call can: the framework must swallow it.
struct HookFailure {};

class RecordingDialog : public ModalDialog {
public:
    struct Command {
        int id;
        bool windowVisible;  // the dialog had not been ended yet
    };
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    void OnInit() override;
    void OnCommand(int controlId) override;
    void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // What each hook does besides recording; may throw.
    std::function<void(RecordingDialog&)> onInit;
    std::function<void(RecordingDialog&, int)> onCommand;
    std::function<void(RecordingDialog&, UINT)> onMessage;

    int initCalls = 0;
    RECT rectAtInit{};
    HWND ownerAtInit = nullptr;
    std::vector<Command> commands;
    std::vector<Message> messages;
};

// Points the framework at a stand-in host whose access suite names the
// test program as the plug-in's module, and gives it an active window.
class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    HWND Owner() const { return static_cast<HWND>(window->Handle()); }
    // A modeless dialog from a test template, for calling the framework's
    // pieces directly; destroyed at tear-down.
    HWND CreateTestDialog(int32_t id);

    StandInHost host;
    std::unique_ptr<HostWindow> window;
    std::vector<HWND> created;
};

#endif
