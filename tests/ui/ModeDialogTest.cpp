// The mode dialog as a photographer meets it: it opens on the current
// mode, OK runs the mode whose button is checked and records it, and every
// way of backing out ends the run before any event is played.
#include <windows.h>

#include <string>
#include <vector>

#include "ModuleDialogsFixture.h"

namespace {
struct ModeButton {
    int id;
    int32_t mode;
    const char* caption;
};
const std::vector<ModeButton> kModeButtons = {
    {4, 1, "Highlights normal"}, {5, 2, "Highlights narrow"}, {6, 3, "Shadows normal"}, {7, 4, "Shadows narrow"},
    {8, 5, "Midtones wide"},     {9, 6, "Midtones medium"},   {10, 7, "Midtones narrow"},
};

std::vector<int> CheckedButtons(const DialogView& dialog) {
    std::vector<int> checked;
    for (const ModeButton& button : kModeButtons)
        if (dialog.Checked(button.id) == BST_CHECKED) checked.push_back(button.id);
    return checked;
}

class ModeDialog : public ModuleDialogsTest {};

TEST_F(ModeDialog, OpensOnTheCurrentModeWithExactlyOneButtonChecked) {
    struct Case {
        int32_t mode;
        int checkedId;
    };
    const std::vector<Case> cases = {{1, 4}, {2, 5},  {3, 6},  {4, 7},         {5, 8},
                                     {6, 9}, {7, 10}, {0, 4},  {8, 4},         {-3, 4}};
    for (const Case& c : cases) {
        ActionParameters parameters = WithMode(1, 0, c.mode);
        std::vector<int> checked;
        DialogDriver driver([&](DialogView& dialog) {
            checked = CheckedButtons(dialog);
            dialog.Click(IDCANCEL);
        });
        EXPECT_EQ(Run(&parameters), kUserCancelled);
        ASSERT_TRUE(driver.Finish()) << driver.Problem();
        EXPECT_EQ(checked, std::vector<int>{c.checkedId}) << "mode " << c.mode;
    }
    EXPECT_TRUE(host.Actions().Played().empty());
    ExpectCleanHost();
}

TEST_F(ModeDialog, OkRunsTheModeOfTheCheckedButtonAndRecordsIt) {
    for (const ModeButton& button : kModeButtons) {
        StandInHost fresh;
        fresh.SetAccessModules(nullptr, PluginUnderTest().Handle());
        // Start from another mode, so that the click is what counts.
        const int32_t start = button.mode == 1 ? 6 : 1;
        ActionParameters parameters{
            1, 5, fresh.Actions().NewDescriptor({{FourCC("Cnt "), ActionValue::Integer(start)}})};
        std::string caption;
        DialogDriver driver([&](DialogView& dialog) {
            caption = dialog.Text(button.id);
            dialog.Click(button.id);
            dialog.Click(IDOK);
        });
        EXPECT_EQ(SendRun(PluginUnderTest(), fresh, &parameters), 0) << fresh.LogText();
        ASSERT_TRUE(driver.Finish()) << driver.Problem();
        EXPECT_EQ(caption, button.caption);
        EXPECT_EQ(fresh.Actions().Played(), EventsOfMode(button.mode)) << button.caption;
        const std::optional<DescriptorValue> recorded = fresh.Actions().TakeDescriptor(parameters.descriptor);
        EXPECT_EQ(recorded, (DescriptorValue{{FourCC("Cnt "), ActionValue::Integer(button.mode)}}))
            << button.caption;
        EXPECT_EQ(fresh.SuitesHeld(), 0);
        EXPECT_EQ(fresh.LiveBlocks(), 0u);
        EXPECT_EQ(fresh.FirstError(), "") << fresh.LogText();
    }
}

TEST_F(ModeDialog, OkUntouchedKeepsTheModeShownAndAnOutOfRangeOneBecomesOne) {
    struct Case {
        int32_t mode;
        int32_t runs;
    };
    const std::vector<Case> cases = {{5, 5}, {7, 7}, {12, 1}, {0, 1}};
    for (const Case& c : cases) {
        StandInHost fresh;
        fresh.SetAccessModules(nullptr, PluginUnderTest().Handle());
        ActionParameters parameters{1, 0, fresh.Actions().NewDescriptor({{FourCC("Cnt "), ActionValue::Integer(c.mode)}})};
        DialogDriver driver([](DialogView& dialog) { dialog.Click(IDOK); });
        EXPECT_EQ(SendRun(PluginUnderTest(), fresh, &parameters), 0) << fresh.LogText();
        ASSERT_TRUE(driver.Finish()) << driver.Problem();
        EXPECT_EQ(fresh.Actions().Played(), EventsOfMode(c.runs)) << "mode " << c.mode;
        const std::optional<DescriptorValue> recorded = fresh.Actions().TakeDescriptor(parameters.descriptor);
        EXPECT_EQ(recorded, (DescriptorValue{{FourCC("Cnt "), ActionValue::Integer(c.runs)}})) << "mode " << c.mode;
        EXPECT_EQ(fresh.FirstError(), "") << fresh.LogText();
    }
}

TEST_F(ModeDialog, EveryWayOfBackingOutEndsTheRunWithNothingPlayedOrWritten) {
    struct Case {
        const char* what;
        void (*close)(DialogView&);
    };
    const std::vector<Case> cases = {
        {"Cancel", [](DialogView& dialog) { dialog.Click(IDCANCEL); }},
        {"Escape", [](DialogView& dialog) { dialog.PressKey(VK_ESCAPE); }},
        {"close box", [](DialogView& dialog) { dialog.CloseBox(); }},
    };
    for (const Case& c : cases) {
        ActionParameters parameters = WithMode(1, 3, 2);
        const ActionDescriptor passed = parameters.descriptor;
        int checkedBeforeClosing = 0;
        DialogDriver driver([&](DialogView& dialog) {
            dialog.Click(9);  // another mode is clicked first
            checkedBeforeClosing = CheckedButtons(dialog).empty() ? 0 : CheckedButtons(dialog).front();
            c.close(dialog);
        });
        EXPECT_EQ(Run(&parameters), kUserCancelled) << c.what;
        ASSERT_TRUE(driver.Finish()) << c.what << ": " << driver.Problem();
        EXPECT_EQ(checkedBeforeClosing, 9) << c.what;
        EXPECT_TRUE(host.Actions().Played().empty()) << c.what;
        EXPECT_EQ(parameters.descriptor, passed) << c.what;
        EXPECT_EQ(parameters.recordInfo, 3) << c.what;
        EXPECT_EQ(host.Actions().Content(passed), (DescriptorValue{{FourCC("Cnt "), ActionValue::Integer(2)}}))
            << c.what;
        EXPECT_EQ(host.LiveStrings(), 0u) << c.what << ": the plug-in name is given back";
    }
    ExpectCleanHost();
}

TEST_F(ModeDialog, ModeFromTheParametersOpensTheDialogAndIsForgottenByTheNextRun) {
    ActionParameters parameters = WithMode(1, 0, 5);
    std::vector<int> checked;
    DialogDriver driver([&](DialogView& dialog) {
        checked = CheckedButtons(dialog);
        dialog.Click(10);
        dialog.Click(IDOK);
    });
    EXPECT_EQ(Run(&parameters), 0) << host.LogText();
    ASSERT_TRUE(driver.Finish()) << driver.Problem();
    EXPECT_EQ(checked, std::vector<int>{8}) << "\"Midtones wide\"";
    EXPECT_EQ(RecordedMode(parameters), 7);

    StandInHost next;
    ActionParameters plain{0, 0, nullptr};
    EXPECT_EQ(SendRun(PluginUnderTest(), next, &plain), 0);
    EXPECT_EQ(next.Actions().Played(), EventsOfMode(1));
    next.Actions().TakeDescriptor(plain.descriptor);
}

TEST_F(ModeDialog, IsTheTemplatesDialogPlacedOverTheHostWindowWithItsLogo) {
    ActionParameters parameters = WithMode(1, 0, 3);
    std::string caption;
    WindowBox box;
    unsigned long style = 0;
    std::vector<std::string> classes, texts;
    std::vector<unsigned long> styles;
    bool logoShown = false;
    DialogDriver driver([&](DialogView& dialog) {
        caption = dialog.Caption();
        box = dialog.Box();
        style = dialog.Style(0);
        for (int id : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 102}) {
            classes.push_back(dialog.ClassName(id));
            texts.push_back(dialog.Text(id));
            styles.push_back(dialog.Style(id));
        }
        DWORD_PTR image = 0;
        SendMessageTimeoutA(GetDlgItem(static_cast<HWND>(dialog.Window()), 102), STM_GETIMAGE, IMAGE_BITMAP, 0,
                            SMTO_NORMAL, 30000, &image);
        logoShown = image != 0;
        dialog.Click(IDCANCEL);
    });
    EXPECT_EQ(Run(&parameters), kUserCancelled);
    ASSERT_TRUE(driver.Finish()) << driver.Problem();

    EXPECT_EQ(caption, "ZYT Lumacut");
    const unsigned long wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(style & wanted, wanted);
    EXPECT_EQ(style & (WS_CHILD | WS_THICKFRAME | WS_MAXIMIZEBOX), 0u);
    ASSERT_EQ(texts.size(), 11u);
    EXPECT_EQ(texts[0], "&OK");
    EXPECT_EQ(texts[1], "&Cancel");
    EXPECT_EQ(texts[2], "&Mode:");
    for (const ModeButton& button : kModeButtons) {
        const std::size_t at = static_cast<std::size_t>(button.id - 1);
        EXPECT_EQ(texts[at], button.caption);
        EXPECT_EQ(classes[at], "Button");
        EXPECT_EQ(styles[at] & 0xFu, static_cast<unsigned long>(BS_AUTORADIOBUTTON)) << button.caption;
        // The group starts at the label; the dialog manager moves the tab
        // stop to whichever button is checked.
        EXPECT_EQ(styles[at] & WS_GROUP, 0u) << button.caption;
    }
    EXPECT_EQ(classes[2], "Static");
    EXPECT_EQ(styles[2] & WS_GROUP, static_cast<unsigned long>(WS_GROUP)) << "the radio group starts at the label";
    EXPECT_EQ(classes[10], "Static");
    EXPECT_TRUE(logoShown) << "bitmap 102 is found and shown";

    // Placed by the framework's rule over the host window's client area.
    const WindowBox area = window->ClientOnScreen();
    EXPECT_EQ(box.left, area.left + (area.Width() - box.Width()) / 2 - GetSystemMetrics(SM_CXSIZE));
    EXPECT_EQ(box.top, area.top + (area.Height() - box.Height()) / 3);
    EXPECT_TRUE(window->IsEnabled());
}
}  // namespace
