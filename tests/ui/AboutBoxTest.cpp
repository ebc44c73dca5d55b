// The About box as the host's About request shows it: the plug-in's text,
// the web-address button that has the host open the page and leaves the
// box up, and the click or key that closes it.
#include <windows.h>

#include <string>
#include <vector>

#include "ModuleDialogsFixture.h"

namespace {
class AboutBox : public ModuleDialogsTest {
protected:
    // The About text as the module holds it.
    static std::string ModuleText() {
        char text[1024] = {};
        LoadStringA(static_cast<HINSTANCE>(PluginUnderTest().Handle()), 16000, text, sizeof text);
        return text;
    }
};

struct Closing {
    const char* what;
    void (*close)(DialogView&);
};

const std::vector<Closing> kClosings = {
    {"left click on the box", [](DialogView& dialog) { dialog.ClickAt(6, 6); }},
    {"left click on the text", [](DialogView& dialog) {
         const WindowBox text = dialog.Box(3);
         POINT inside{text.left + 5, text.top + 5};
         ScreenToClient(static_cast<HWND>(dialog.Window()), &inside);
         dialog.ClickAt(inside.x, inside.y);
     }},
    {"Escape typed to the box", [](DialogView& dialog) { dialog.TypeChar(27); }},
    {"Enter typed to the box", [](DialogView& dialog) { dialog.TypeChar(13); }},
};

TEST_F(AboutBox, ShowsTheAboutTextAndClosesOnAClickOrKeyWithTheRequestReturningZero) {
    const std::string expected = ModuleText();
    ASSERT_EQ(expected.rfind("ZYT_Lumacut\n\nVersion 0.1 Release (12/2004)\n", 0), 0u) << expected;
    for (const Closing& closing : kClosings) {
        std::string text, address, caption;
        bool okShown = true, cancelShown = true;
        DialogDriver driver([&](DialogView& dialog) {
            text = dialog.Text(3);
            address = dialog.Text(4);
            caption = dialog.Caption();
            okShown = dialog.Visible(IDOK);
            cancelShown = dialog.Visible(IDCANCEL);
            closing.close(dialog);
        });
        EXPECT_EQ(About(), 0) << closing.what;
        ASSERT_TRUE(driver.Finish()) << closing.what << ": " << driver.Problem();
        EXPECT_EQ(text, expected) << closing.what;
        EXPECT_EQ(caption, "");
        EXPECT_FALSE(okShown);
        EXPECT_FALSE(cancelShown);
        // A host name under the reserved example domain, without a scheme.
        EXPECT_EQ(address.find("://"), std::string::npos) << address;
        EXPECT_GE(address.size(), std::string("example.com").size());
        EXPECT_EQ(address.substr(address.size() - 11), "example.com") << address;
    }
    EXPECT_TRUE(host.BrowsedUrls().empty());
    EXPECT_EQ(host.CallCount("GetPluginName"), 0u) << "no run happens";
    ExpectCleanHost();
}

TEST_F(AboutBox, WebAddressButtonHasTheHostBrowseHttpAndTheCaptionAndTheBoxStaysOpen) {
    std::string address;
    bool openAfterFirst = false, openAfterSecond = false;
    DialogDriver driver([&](DialogView& dialog) {
        address = dialog.Text(4);
        dialog.Click(4);
        openAfterFirst = !dialog.WaitUntilClosed(300);
        dialog.Click(4);
        openAfterSecond = !dialog.WaitUntilClosed(300);
        dialog.TypeChar(27);
    });
    EXPECT_EQ(About(), 0);
    ASSERT_TRUE(driver.Finish()) << driver.Problem();
    EXPECT_TRUE(openAfterFirst);
    EXPECT_TRUE(openAfterSecond);
    EXPECT_EQ(host.BrowsedUrls(), (std::vector<std::string>{"http://" + address, "http://" + address}));
    EXPECT_EQ(host.SuiteUses().at(kFileListSuiteName).acquired, 1) << "held once per call";
    ExpectCleanHost();
}

TEST_F(AboutBox, LinkThatCannotReachTheHostDoesNoHarmAndTheBoxStaysUsable) {
    struct Case {
        const char* what;
        InjectedFault fault;
    };
    const std::vector<Case> cases = {
        {"file-list suite refused", {AcquireOperation(kFileListSuiteName), 1, 0x72656675}},
        {"no block for the caption", {"AllocateBlock", 1, -108}},
        {"no memory for the address", {"AllocateBlock", 2, -108}},
        {"BrowseUrl fails", {"BrowseUrl", 1, -1}},
    };
    for (const Case& c : cases) {
        StandInHost fresh;
        fresh.SetAccessModules(nullptr, PluginUnderTest().Handle());
        fresh.Inject(c.fault);
        bool openAfterFailure = false;
        DialogDriver driver([&](DialogView& dialog) {
            dialog.Click(4);
            openAfterFailure = !dialog.WaitUntilClosed(300);
            dialog.Click(4);
            dialog.ClickAt(6, 6);
        });
        EXPECT_EQ(SendAbout(PluginUnderTest(), fresh), 0) << c.what;
        ASSERT_TRUE(driver.Finish()) << c.what << ": " << driver.Problem();
        EXPECT_TRUE(openAfterFailure) << c.what;
        // The failed click opened nothing; the second one got through.
        EXPECT_EQ(fresh.BrowsedUrls().size(), 1u) << c.what << "\n" << fresh.LogText();
        EXPECT_EQ(fresh.CallCount("BrowseUrl"), c.fault.operation == "BrowseUrl" ? 2u : 1u) << c.what;
        EXPECT_EQ(fresh.LiveBlocks(), 0u) << c.what << ": the block is given back on every path";
        EXPECT_EQ(fresh.SuitesHeld(), 0) << c.what;
        EXPECT_EQ(fresh.FirstError(), "") << c.what << "\n" << fresh.LogText();
    }
}
}  // namespace
