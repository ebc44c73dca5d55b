// RunModal with the dialog manager's real modal loop over the host's
// active window.
#include <gtest/gtest.h>
#include <windows.h>

#include "FrameworkTestDialogs.h"
#include "entry/base/HostContext.h"
#include "host/driver/DialogDriver.h"
#include "ui/GenericProc.h"
#include "ui/ModuleInstance.h"

namespace {
class RunModalTest : public FrameworkTest {};

TEST_F(RunModalTest, ShowsTheTemplateOverTheActiveWindowWhichItDisablesUntilTheEnd) {
    RecordingDialog recorder;
    bool ownerEnabledWhileOpen = true;
    std::string caption;
    DialogDriver driver([&](DialogView& dialog) {
        ownerEnabledWhileOpen = IsWindowEnabled(Owner()) != 0;
        caption = dialog.Caption();
        dialog.Click(IDOK);
    });
    const INT_PTR end = recorder.RunModal(host.Plugin(), "framework", kTestDialog);
    ASSERT_TRUE(driver.Finish()) << driver.Problem();

    EXPECT_EQ(end, IDOK);
    EXPECT_EQ(caption, "Framework test");
    EXPECT_EQ(recorder.dialogId, kTestDialog);
    EXPECT_EQ(recorder.plugin, host.Plugin());
    EXPECT_EQ(recorder.initCalls, 1);
    EXPECT_EQ(recorder.ownerAtInit, Owner());
    EXPECT_NE(recorder.window, nullptr) << "kept after the window is gone";
    EXPECT_FALSE(IsWindow(recorder.window));
    EXPECT_FALSE(ownerEnabledWhileOpen);
    EXPECT_TRUE(window->IsEnabled());
    EXPECT_EQ(host.CallCount("GetPluginAccess"), 1u) << "the module came from the host";
}

TEST_F(RunModalTest, EndCodeIsWhatTheSubclassPassedToEndDialog) {
    RecordingDialog recorder;
    recorder.onCommand = [](RecordingDialog& self, int id) {
        if (id == kOtherButton) EndDialog(self.window, 1234);
    };
    DialogDriver driver([](DialogView& dialog) { dialog.Click(kOtherButton); });
    EXPECT_EQ(recorder.RunModal(host.Plugin(), "framework", kTestDialog), 1234);
    ASSERT_TRUE(driver.Finish()) << driver.Problem();
}

TEST_F(RunModalTest, OnlyTheLowSixteenBitsOfTheIdNameTheTemplate) {
    const int32_t id = 0x7FFF0000 | kTestDialogWithoutSystemMenu;
    RecordingDialog recorder;
    std::string caption;
    DialogDriver driver([&](DialogView& dialog) {
        caption = dialog.Caption();
        dialog.Click(IDCANCEL);
    });
    EXPECT_EQ(recorder.RunModal(host.Plugin(), "framework", id), IDCANCEL);
    ASSERT_TRUE(driver.Finish()) << driver.Problem();
    EXPECT_EQ(caption, "Framework test, no system menu");
    EXPECT_EQ(recorder.dialogId, id) << "stored whole";
}

TEST_F(RunModalTest, MissingTemplateReturnsMinusOneAndNoHookRuns) {
    RecordingDialog recorder;
    EXPECT_EQ(recorder.RunModal(host.Plugin(), "framework", kMissingDialog), -1);
    EXPECT_EQ(recorder.initCalls, 0);
    EXPECT_TRUE(recorder.commands.empty());
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(recorder.window, nullptr);
    EXPECT_EQ(currentDialog, nullptr);
    EXPECT_TRUE(window->IsEnabled());
}

TEST_F(RunModalTest, UnreachableAccessSuiteRaisesBeforeAnyWindowExists) {
    host.Inject({AcquireOperation(kAccessSuiteName), 1, 0x6E6F7065});
    RecordingDialog recorder;
    int32_t raised = 0;
    try {
        recorder.RunModal(host.Plugin(), "framework", kTestDialog);
    } catch (const HostError& error) {
        raised = error.status;
    }
    EXPECT_EQ(raised, 0x6E6F7065);
    EXPECT_EQ(recorder.initCalls, 0);
    EXPECT_EQ(recorder.window, nullptr);
    EXPECT_TRUE(window->IsEnabled());
}

TEST_F(RunModalTest, NullReferenceUsesTheStoredModuleWithoutTheHost) {
    moduleInstance = GetModuleHandleA(nullptr);
    RecordingDialog recorder;
    DialogDriver driver([](DialogView& dialog) { dialog.Click(IDOK); });
    EXPECT_EQ(recorder.RunModal(nullptr, "framework", kTestDialog), IDOK);
    ASSERT_TRUE(driver.Finish()) << driver.Problem();
    EXPECT_EQ(host.CallCount("GetPluginAccess"), 0u);
    EXPECT_TRUE(host.AcquireOrder().empty());
}
}  // namespace
