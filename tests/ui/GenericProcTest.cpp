// The shared dialog procedure, called the way the dialog manager calls it:
// what each message does to the attached dialog, what it returns, and that
// no hook's failure gets out.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "FrameworkTestDialogs.h"
#include "host/driver/DialogDriver.h"
#include "ui/GenericProc.h"

namespace {
class GenericProcTest : public FrameworkTest {};

WindowBox BoxOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

TEST_F(GenericProcTest, InitWithoutAnObjectPlacesTheWindowAttachesNothingAndReturnsZero) {
    HWND dialog = CreateTestDialog(kTestDialog);
    ASSERT_NE(dialog, nullptr);
    SetWindowPos(dialog, nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    EXPECT_EQ(GenericProc(dialog, WM_INITDIALOG, 0, 0), FALSE);
    EXPECT_EQ(currentDialog, nullptr);
    const WindowBox placed = BoxOf(dialog);
    EXPECT_FALSE(placed.left == 3 && placed.top == 4) << "the window was not placed";
    // Placed over the owner: its middle is within a title-bar button of the
    // owner's middle, across.
    const WindowBox area = window->ClientOnScreen();
    const int offCentre = (area.left + area.right) / 2 - (placed.left + placed.right) / 2;
    EXPECT_GE(offCentre, 0);
    EXPECT_LE(offCentre, GetSystemMetrics(SM_CXSIZE) + 1);

    // Nothing attached, and still OK ends the dialog (a modeless one hides).
    EXPECT_EQ(GenericProc(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0), TRUE);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(GenericProc(dialog, WM_MOUSEMOVE, 0, 0), FALSE);
}

TEST_F(GenericProcTest, InitAttachesTheObjectSetsItsWindowAndRunsOnInitOnce) {
    HWND dialog = CreateTestDialog(kTestDialog);
    ASSERT_NE(dialog, nullptr);
    RecordingDialog recorder;
    EXPECT_EQ(GenericProc(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&recorder)), TRUE);
    EXPECT_EQ(currentDialog, &recorder);
    EXPECT_EQ(recorder.window, dialog);
    EXPECT_EQ(recorder.initCalls, 1);
    EXPECT_TRUE(recorder.commands.empty());
    // Placed before OnInit ran: the hook saw the final position.
    const WindowBox placed = BoxOf(dialog);
    EXPECT_EQ(recorder.rectAtInit.left, placed.left);
    EXPECT_EQ(recorder.rectAtInit.top, placed.top);

    EXPECT_EQ(GenericProc(dialog, WM_DESTROY, 0, 0), 0);
    EXPECT_EQ(currentDialog, nullptr);
    EXPECT_TRUE(recorder.messages.empty()) << "the attached dialog is not told of WM_DESTROY";
}

TEST_F(GenericProcTest, CommandsReachOnCommandAndOnlyOkAndCancelWithCodeZeroEndTheDialog) {
    struct Case {
        int id;
        int notification;
        bool ends;
    };
    const std::vector<Case> cases = {
        {IDOK, 0, true},         {IDCANCEL, 0, true},     {IDOK, BN_DOUBLECLICKED, false},
        {IDCANCEL, 1, false},    {IDOK, BN_SETFOCUS, false}, {kOtherButton, 0, false},
        {0, 0, false},           {3, 0, false},           {0xFFFF, 0, false},
    };
    for (const Case& c : cases) {
        HWND dialog = CreateTestDialog(kTestDialog);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        RecordingDialog recorder;
        GenericProc(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&recorder));

        EXPECT_EQ(GenericProc(dialog, WM_COMMAND, MAKEWPARAM(c.id, c.notification), 0), TRUE);
        ASSERT_EQ(recorder.commands.size(), 1u) << c.id;
        EXPECT_EQ(recorder.commands[0].id, c.id);
        EXPECT_TRUE(recorder.commands[0].windowVisible) << "OnCommand must come before the end, id " << c.id;
        EXPECT_EQ(IsWindowVisible(dialog) == 0, c.ends) << "id " << c.id << " code " << c.notification;
        GenericProc(dialog, WM_DESTROY, 0, 0);
    }
}

TEST_F(GenericProcTest, OtherMessagesGoToOnMessageWithTheirParametersAndReturnZero) {
    HWND dialog = CreateTestDialog(kTestDialog);
    ASSERT_NE(dialog, nullptr);
    RecordingDialog recorder;
    GenericProc(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&recorder));
    const std::vector<RecordingDialog::Message> sent = {
        {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20)}, {WM_CHAR, 27, 1}, {WM_APP + 7, 0xDEAD, -5}};
    for (const RecordingDialog::Message& message : sent)
        EXPECT_EQ(GenericProc(dialog, message.message, message.wParam, message.lParam), FALSE);
    ASSERT_EQ(recorder.messages.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(recorder.messages[i].message, sent[i].message);
        EXPECT_EQ(recorder.messages[i].wParam, sent[i].wParam);
        EXPECT_EQ(recorder.messages[i].lParam, sent[i].lParam);
    }
    GenericProc(dialog, WM_DESTROY, 0, 0);
    // Detached: later messages go nowhere.
    EXPECT_EQ(GenericProc(dialog, WM_APP, 0, 0), FALSE);
    EXPECT_EQ(recorder.messages.size(), sent.size());
}

TEST_F(GenericProcTest, HookThatThrowsIsCaughtAndTheMessageIsStillHandled) {
    struct Case {
        const char* what;
        bool initThrows, commandThrows, messageThrows;
    };
    const std::vector<Case> cases = {{"OnInit", true, false, false},
                                     {"OnCommand", false, true, false},
                                     {"OnMessage", false, false, true}};
    for (const Case& c : cases) {
        HWND dialog = CreateTestDialog(kTestDialog);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        RecordingDialog recorder;
        if (c.initThrows) recorder.onInit = [](RecordingDialog&) { throw HookFailure{}; };
        if (c.commandThrows) recorder.onCommand = [](RecordingDialog&, int) { throw HookFailure{}; };
        if (c.messageThrows) recorder.onMessage = [](RecordingDialog&, UINT) { throw 42; };

        EXPECT_EQ(GenericProc(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&recorder)), TRUE) << c.what;
        EXPECT_EQ(currentDialog, &recorder) << c.what;
        EXPECT_EQ(GenericProc(dialog, WM_APP, 0, 0), FALSE) << c.what;
        EXPECT_EQ(GenericProc(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0), TRUE) << c.what;
        EXPECT_FALSE(IsWindowVisible(dialog)) << c.what << ": Cancel still ends the dialog";
        EXPECT_EQ(recorder.commands.size(), 1u) << c.what;
        EXPECT_EQ(recorder.messages.size(), 1u) << c.what;
        GenericProc(dialog, WM_DESTROY, 0, 0);
    }
}

// The same rules with the dialog manager's own modal loop, the command
// coming from another thread as a user's click would.
TEST_F(GenericProcTest, ModalDialogEndsOnlyOnOkOrCancelWithCodeZeroAfterOnCommandSawIt) {
    struct Case {
        int id;
        int notification;
        bool ends;
        INT_PTR endCode;  // Cancel's when the command did not end it and Cancel then did
    };
    const std::vector<Case> cases = {{IDOK, 0, true, IDOK},
                                     {IDCANCEL, 0, true, IDCANCEL},
                                     {IDOK, BN_DOUBLECLICKED, false, IDCANCEL},
                                     {IDCANCEL, BN_SETFOCUS, false, IDCANCEL},
                                     {kOtherButton, 0, false, IDCANCEL}};
    for (const Case& c : cases) {
        RecordingDialog recorder;
        bool openAfterCommand = false;
        DialogDriver driver([&](DialogView& dialog) {
            dialog.Command(c.id, c.notification);
            Sleep(200);
            openAfterCommand = dialog.IsOpen() && IsWindowVisible(static_cast<HWND>(dialog.Window()));
            if (openAfterCommand) dialog.Click(IDCANCEL);
        });
        const INT_PTR end = recorder.RunModal(host.Plugin(), "framework", kTestDialog);
        ASSERT_TRUE(driver.Finish()) << driver.Problem();
        EXPECT_EQ(end, c.endCode) << "id " << c.id << " code " << c.notification;
        EXPECT_EQ(openAfterCommand, !c.ends) << "id " << c.id << " code " << c.notification;
        ASSERT_GE(recorder.commands.size(), 1u);
        EXPECT_EQ(recorder.commands[0].id, c.id);
        EXPECT_TRUE(recorder.commands[0].windowVisible) << "OnCommand came after the end, id " << c.id;
        EXPECT_EQ(currentDialog, nullptr);
    }
}

TEST_F(GenericProcTest, ModalDialogWithoutAnObjectIsPlacedAndStillEndsOnOk) {
    WindowBox box;
    DialogDriver driver([&](DialogView& dialog) {
        box = dialog.Box();
        dialog.Click(IDOK);
    });
    const INT_PTR end = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTestDialog), Owner(),
                                        GenericProc, 0);
    ASSERT_TRUE(driver.Finish()) << driver.Problem();
    EXPECT_EQ(end, IDOK);
    // The template asks for the owner's top left corner; the framework put
    // it in the middle, a third of the way down.
    const WindowBox area = window->ClientOnScreen();
    EXPECT_GT(box.left, area.left + 100);
    EXPECT_GT(box.top, area.top + 100);
    EXPECT_EQ(currentDialog, nullptr);
}
}  // namespace
