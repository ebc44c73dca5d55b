// The About box's own rules, with the real templates and text linked into
// this program and the box shown straight through ShowAboutBox, so that its
// end code and the limits of its text buffers can be seen.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "FrameworkTestDialogs.h"
#include "entry/base/HostContext.h"
#include "entry/base/HostSuiteTable.h"
#include "ui/PluginDialogs.h"
#include "host/driver/DialogDriver.h"

namespace {
constexpr int32_t kAboutBox = 16000;
constexpr int32_t kAboutWithLongText = 16002;
constexpr int32_t kAboutWithoutText = 16003;

std::string Digits(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += static_cast<char>('0' + i % 10);
    return text;
}

class AboutDialogTest : public FrameworkTest {};

TEST_F(AboutDialogTest, ClickOrKeyTypedToTheBoxEndsItWithZeroAndTheDialogManagersCancelWithTwo) {
    struct Case {
        const char* what;
        void (*close)(DialogView&);
        int32_t endCode;
    };
    const std::vector<Case> cases = {
        {"left click", [](DialogView& dialog) { dialog.ClickAt(5, 5); }, 0},
        {"Escape typed", [](DialogView& dialog) { dialog.TypeChar(27); }, 0},
        {"Enter typed", [](DialogView& dialog) { dialog.TypeChar(13); }, 0},
        {"Escape key, turned into Cancel", [](DialogView& dialog) { dialog.PressKey(VK_ESCAPE); }, IDCANCEL},
        {"Cancel delivered", [](DialogView& dialog) { dialog.Command(IDCANCEL); }, IDCANCEL},
        {"OK delivered", [](DialogView& dialog) { dialog.Command(IDOK); }, IDOK},
    };
    for (const Case& c : cases) {
        bool stillOpenAfterOtherKey = false;
        DialogDriver driver([&](DialogView& dialog) {
            dialog.TypeChar('x');  // other characters do nothing
            stillOpenAfterOtherKey = !dialog.WaitUntilClosed(200);
            c.close(dialog);
        });
        EXPECT_EQ(ShowAboutBox(host.Plugin(), kAboutBox), c.endCode) << c.what;
        ASSERT_TRUE(driver.Finish()) << c.what << ": " << driver.Problem();
        EXPECT_TRUE(stillOpenAfterOtherKey) << c.what;
    }
    EXPECT_TRUE(host.BrowsedUrls().empty());
}

TEST_F(AboutDialogTest, TextIsCutToTwoHundredFiftyFourCharactersAndAMissingOneEmptiesTheControl) {
    struct Case {
        int32_t id;
        std::string text;
    };
    const std::vector<Case> cases = {{kAboutWithLongText, Digits(254)}, {kAboutWithoutText, ""}};
    for (const Case& c : cases) {
        std::string shown = "(not read)";
        DialogDriver driver([&](DialogView& dialog) {
            shown = dialog.Text(3);
            dialog.TypeChar(13);
        });
        EXPECT_EQ(ShowAboutBox(host.Plugin(), c.id), 0);
        ASSERT_TRUE(driver.Finish()) << driver.Problem();
        EXPECT_EQ(shown, c.text) << c.id;
    }
}

TEST_F(AboutDialogTest, AddressIsHttpAndTheCaptionUnchangedCutTo255Characters) {
    struct Case {
        std::string caption;
        std::string address;
    };
    const std::vector<Case> cases = {
        {"www.example.com", "http://www.example.com"},
        {"", "http://"},
        {"http://www.example.com", "http://http://www.example.com"},
        {" spaces kept ", "http:// spaces kept "},
        {Digits(255), "http://" + Digits(255)},
        {Digits(300), "http://" + Digits(255)},
    };
    for (const Case& c : cases) {
        StandInHost fresh;
        hostContext.basicSuite = fresh.Basic();
        fresh.SetAccessModules(GetModuleHandleA(nullptr), nullptr);
        DialogDriver driver([&](DialogView& dialog) {
            SendMessageTimeoutA(GetDlgItem(static_cast<HWND>(dialog.Window()), 4), WM_SETTEXT, 0,
                                reinterpret_cast<LPARAM>(c.caption.c_str()), SMTO_NORMAL, 30000, nullptr);
            dialog.Click(4);
            dialog.TypeChar(27);
        });
        EXPECT_EQ(ShowAboutBox(fresh.Plugin(), kAboutWithLongText), 0);
        ASSERT_TRUE(driver.Finish()) << driver.Problem();
        EXPECT_EQ(fresh.BrowsedUrls(), std::vector<std::string>{c.address}) << c.caption.size();
        ReleaseAllHostSuites();
        EXPECT_EQ(fresh.LiveBlocks(), 0u);
        EXPECT_EQ(fresh.FirstError(), "") << fresh.LogText();
    }
    hostContext.basicSuite = host.Basic();
}

TEST_F(AboutDialogTest, CommandFiveOpensTheAddressOfAControlTheTemplateDoesNotHave) {
    DialogDriver driver([](DialogView& dialog) {
        dialog.Command(5);
        dialog.TypeChar(27);
    });
    EXPECT_EQ(ShowAboutBox(host.Plugin(), kAboutBox), 0);
    ASSERT_TRUE(driver.Finish()) << driver.Problem();
    EXPECT_EQ(host.BrowsedUrls(), std::vector<std::string>{"http://"});
}
}  // namespace
