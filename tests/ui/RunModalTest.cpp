// RunModal with the dialog manager's real modal loop over the host's
// active window.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "FrameworkTestDialogs.h"
#include "entry/base/HostContext.h"
#include "host/driver/DialogDriver.h"
#include "ui/GenericProc.h"
#include "ui/ModuleActivation.h"
#include "ui/ModuleInstance.h"

namespace {
class RunModalTest : public FrameworkTest {};

// Activation-context functions as a test has them answer; what they and
// the dialog were asked, in order.
struct FakeKernel {
    DWORD createError = 0;  // 0: a context is made
    DWORD activateError = 0;
    std::string calls;
};
FakeKernel fake;
const HANDLE kFakeContext = reinterpret_cast<HANDLE>(0x5A5A);

HANDLE WINAPI FakeCreate(const ACTCTXA*) {
    fake.calls += "create ";
    SetLastError(fake.createError);
    return fake.createError ? INVALID_HANDLE_VALUE : kFakeContext;
}
BOOL WINAPI FakeActivate(HANDLE context, ULONG_PTR* cookie) {
    fake.calls += context == kFakeContext ? "activate " : "activate-other ";
    SetLastError(fake.activateError);
    *cookie = 77;
    return fake.activateError == 0;
}
BOOL WINAPI FakeDeactivate(DWORD, ULONG_PTR cookie) {
    fake.calls += "deactivate " + std::to_string(cookie) + " ";
    return TRUE;
}

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
// The dialog call inside the module's activation context, and straight
// through where Windows has none (2000 and earlier) or cannot tell.
TEST_F(RunModalTest, DialogRunsInTheModulesContextOrStraightThroughWithoutOne) {
    const ActivationContextFunctions kernel = KernelActivationContextFunctions();
    EXPECT_TRUE(kernel.create && kernel.activate && kernel.deactivate) << "Wine's kernel32 has all three";

    const ActivationContextFunctions fakes{FakeCreate, FakeActivate, FakeDeactivate};
    struct Case {
        const char* what;
        ActivationContextFunctions functions;
        DWORD createError, activateError;
        INT_PTR end;
        std::string calls;
    } cases[] = {
        {"no activation contexts", {}, 0, 0, IDOK, "dialog "},
        {"stubs of them", fakes, ERROR_CALL_NOT_IMPLEMENTED, 0, IDOK, "create dialog "},
        {"no isolation manifest", fakes, ERROR_RESOURCE_TYPE_NOT_FOUND, 0, IDOK, "create dialog "},
        {"the module's context", fakes, 0, 0, IDOK, "create activate dialog deactivate 77 "},
        {"a context that cannot be made", fakes, ERROR_OUTOFMEMORY, 0, -1, "create "},
        {"a context that cannot be activated", fakes, 0, ERROR_OUTOFMEMORY, -1, "create activate "},
    };
    for (const Case& c : cases) {
        fake = FakeKernel{c.createError, c.activateError, ""};
        RecordingDialog recorder;
        recorder.onInit = [](RecordingDialog&) { fake.calls += "dialog "; };
        std::unique_ptr<DialogDriver> driver;
        if (c.end == IDOK) driver = std::make_unique<DialogDriver>([](DialogView& dialog) { dialog.Click(IDOK); });
        ModuleActivation activation(c.functions);
        EXPECT_EQ(activation.ShowDialog(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTestDialog), Owner(), GenericProc,
                                        reinterpret_cast<LPARAM>(static_cast<ModalDialog*>(&recorder))),
                  c.end)
            << c.what;
        if (driver) {
            EXPECT_TRUE(driver->Finish()) << c.what << ": " << driver->Problem();
        }
        EXPECT_EQ(fake.calls, c.calls) << c.what;
    }
}
}  // namespace
