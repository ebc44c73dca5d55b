#include "FrameworkTestDialogs.h"

#include "entry/base/HostContext.h"
#include "entry/base/HostSuiteTable.h"
#include "ui/GenericProc.h"
#include "ui/ModuleInstance.h"

void RecordingDialog::OnInit() {
    ++initCalls;
    GetWindowRect(window, &rectAtInit);
    ownerAtInit = GetParent(window);
    if (onInit) onInit(*this);
}

void RecordingDialog::OnCommand(int controlId) {
    commands.push_back({controlId, IsWindowVisible(window) != 0});
    if (onCommand) onCommand(*this, controlId);
}

void RecordingDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    messages.push_back({message, wParam, lParam});
    if (onMessage) onMessage(*this, message);
}

namespace {
INT_PTR CALLBACK InertProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
}  // namespace

void FrameworkTest::SetUp() {
    ReleaseAllHostSuites();
    hostContext.basicSuite = host.Basic();
    hostContext.pluginRef = host.Plugin();
    host.SetAccessModules(GetModuleHandleA(nullptr), nullptr);
    moduleInstance = nullptr;
    currentDialog = nullptr;
    window = std::make_unique<HostWindow>(WindowBox{200, 150, 1000, 750});
    ASSERT_TRUE(window->Created());
    ASSERT_TRUE(window->IsActive()) << "the host window cannot be made active: run under a display (xvfb-run)";
}

void FrameworkTest::TearDown() {
    for (HWND dialog : created) DestroyWindow(dialog);
    window.reset();
    ReleaseAllHostSuites();
    EXPECT_EQ(host.SuitesHeld(), 0) << host.LogText();
    EXPECT_EQ(host.LiveBlocks(), 0u) << host.LogText();
    EXPECT_EQ(host.FirstError(), "") << host.LogText();
    hostContext.basicSuite = nullptr;
    EXPECT_EQ(currentDialog, nullptr) << "a dialog was left attached";
}

HWND FrameworkTest::CreateTestDialog(int32_t id) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), Owner(), InertProc, 0);
    if (dialog != nullptr) created.push_back(dialog);
    return dialog;
}
