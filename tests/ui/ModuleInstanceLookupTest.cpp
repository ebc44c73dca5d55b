// Where the module's dialogs come from, seen through the dialogs
// themselves: the handle DllMain stored, or the one the host's access suite
// names, and what happens when the host fails to name one.
#include <windows.h>

#include <string>
#include <vector>

#include "ModuleDialogsFixture.h"

namespace {
HINSTANCE Module() { return static_cast<HINSTANCE>(PluginUnderTest().Handle()); }
// The test program: a module without the plug-in's templates.
HINSTANCE Program() { return GetModuleHandleA(nullptr); }

// The module's own entry (the runtime's start-up, which passes any
// notification it has no work for straight to DllMain).
using ModuleEntry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
ModuleEntry EntryOf(HINSTANCE module) {
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return reinterpret_cast<ModuleEntry>(
        reinterpret_cast<void*>(const_cast<unsigned char*>(base + nt->OptionalHeader.AddressOfEntryPoint)));
}

// A notification code Windows does not send: nothing but DllMain runs.
constexpr DWORD kUnusedNotification = 5;

class ModuleInstanceLookup : public ModuleDialogsTest {};

TEST_F(ModuleInstanceLookup, DialogComesFromTheModuleTheHostNamesPreferringTheSecondHandle) {
    struct Case {
        const char* what;
        HINSTANCE first, second;
        bool shown;
    };
    const std::vector<Case> cases = {
        {"second names the module", Program(), Module(), true},
        {"second null, first names the module", Module(), nullptr, true},
        {"second names a module without the template", Module(), Program(), false},
        {"neither names one", nullptr, nullptr, false},
    };
    for (const Case& c : cases) {
        StandInHost fresh;
        fresh.SetAccessModules(c.first, c.second);
        ActionParameters parameters{1, 0, nullptr};
        DialogDriver driver([](DialogView& dialog) { dialog.Click(IDCANCEL); });
        EXPECT_EQ(SendRun(PluginUnderTest(), fresh, &parameters), kUserCancelled) << c.what;
        driver.Finish();
        EXPECT_EQ(driver.Appeared(), c.shown) << c.what << ": " << driver.Problem();
        EXPECT_TRUE(fresh.Actions().Played().empty()) << c.what;
        EXPECT_EQ(fresh.SuitesHeld(), 0) << c.what;
        EXPECT_EQ(fresh.FirstError(), "") << c.what << "\n" << fresh.LogText();
    }
}

TEST_F(ModuleInstanceLookup, HostFailuresKeepOrLoseTheModuleAndALostOneMeansNoDialog) {
    struct Case {
        const char* what;
        InjectedFault fault;
        bool shown;
    };
    const std::vector<Case> cases = {
        {"plug-in access fails: DllMain's handle is kept", {"GetPluginAccess", 1, -1}, true},
        {"platform access fails: the handle is lost", {"GetPlatformAccess", 1, -1}, false},
    };
    for (const Case& c : cases) {
        for (bool about : {false, true}) {
            StandInHost fresh;
            fresh.SetAccessModules(nullptr, Program());  // would be wrong, if it were asked
            fresh.Inject(c.fault);
            std::string text;
            DialogDriver driver([&](DialogView& dialog) {
                text = dialog.Text(3);
                if (about) {
                    dialog.TypeChar(27);
                } else {
                    dialog.Click(IDCANCEL);
                }
            });
            ActionParameters parameters{1, 0, nullptr};
            const HostStatus status =
                about ? SendAbout(PluginUnderTest(), fresh) : SendRun(PluginUnderTest(), fresh, &parameters);
            EXPECT_EQ(status, about ? 0 : kUserCancelled) << c.what;
            driver.Finish();
            EXPECT_EQ(driver.Appeared(), c.shown) << c.what << (about ? " (About)" : " (mode)") << ": "
                                                  << driver.Problem();
            // The About text comes from the same module as the box.
            if (about && c.shown) {
                EXPECT_EQ(text.rfind("ZYT_Lumacut\n", 0), 0u) << text;
            }
            EXPECT_EQ(fresh.SuitesHeld(), 0);
            EXPECT_EQ(fresh.FirstError(), "") << fresh.LogText();
        }
    }
}

TEST_F(ModuleInstanceLookup, EveryNotificationStoresTheHandleThatCameWithIt) {
    const ModuleEntry entry = EntryOf(Module());
    // A driver first: its thread's start is announced to the module before
    // the notifications below.
    DialogDriver driver([](DialogView& dialog) { dialog.Click(IDCANCEL); });
    host.Inject({"GetPluginAccess", 1, -1});  // keep whatever DllMain stored
    ASSERT_TRUE(entry(Program(), kUnusedNotification, nullptr));
    ActionParameters parameters{1, 0, nullptr};
    EXPECT_EQ(Run(&parameters), kUserCancelled);
    driver.Finish();
    EXPECT_FALSE(driver.Appeared()) << "the template was looked up in the handle of the last notification";

    // And back: with the host still failing, the dialog comes from the
    // module the notification named.
    ASSERT_TRUE(entry(Module(), kUnusedNotification, nullptr));
    host.Inject({"GetPluginAccess", 2, -1});
    DialogDriver again([](DialogView& dialog) { dialog.Click(IDCANCEL); });
    EXPECT_EQ(Run(&parameters), kUserCancelled);
    EXPECT_TRUE(again.Finish()) << again.Problem();
    ExpectCleanHost();
}
}  // namespace
