// The real module writing the real log, C:\LoadLogTextFormat.txt, as
// Windows loads it, starts and ends a thread in it and unloads it. The
// program loads its own copy of the module (never the shared one) and
// removes the file before and after each test.
#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "host/suites/ActionsHost.h"
#include "module/LoadLog.h"
#include "support/PluginUnderTest.h"

namespace {
const char* const kLog = "C:\\LoadLogTextFormat.txt";

void RemoveLog() {
    SetFileAttributesA(kLog, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(kLog);
    RemoveDirectoryA(kLog);
}

bool LogExists() { return GetFileAttributesA(kLog) != INVALID_FILE_ATTRIBUTES; }

std::string ReadLog() {
    std::ifstream file(kLog, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The lines of the file, each of which must end in CR LF.
std::vector<std::string> LogLines() {
    const std::string bytes = ReadLog();
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            ADD_FAILURE() << "a line without CR LF: " << bytes.substr(at);
            break;
        }
        lines.push_back(bytes.substr(at, end - at));
        EXPECT_EQ(lines.back().find('\n'), std::string::npos) << "a bare line feed in " << lines.back();
        at = end + 2;
    }
    return lines;
}

// "<name> DllMain: <date>" with a date of one of the seconds in [from, to].
void ExpectLine(const std::string& line, const std::string& name, std::time_t from, std::time_t to) {
    const std::string lead = name + " DllMain: ";
    ASSERT_EQ(line.substr(0, lead.size()), lead) << line;
    const std::string date = line.substr(lead.size()) + "\n";
    for (std::time_t second = from; second <= to; ++second) {
        char text[26];
        if (FormatLoadLogDate(*std::localtime(&second), text) && date == text) return;
    }
    ADD_FAILURE() << "\"" << line << "\" is not a time between the calls";
}

using ModuleEntry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
ModuleEntry EntryOf(void* module) {
    auto* base = static_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return reinterpret_cast<ModuleEntry>(reinterpret_cast<void*>(base + nt->OptionalHeader.AddressOfEntryPoint));
}

class ModuleLoadLog : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveLog();
        ASSERT_FALSE(LogExists());
    }
    void TearDown() override { RemoveLog(); }
};

TEST_F(ModuleLoadLog, LoadThreadsAndUnloadEachAppendTheirLine) {
    const std::time_t before = std::time(nullptr);
    PluginModule module;
    ASSERT_TRUE(module.Load(PluginPath())) << module.Error();
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 1u) << ReadLog();
    ExpectLine(lines[0], "DLL_PROCESS_ATTACH", before, std::time(nullptr));

    const std::time_t threadStart = std::time(nullptr);
    std::thread([] {}).join();
    lines = LogLines();
    ASSERT_EQ(lines.size(), 3u) << ReadLog();
    ExpectLine(lines[1], "DLL_THREAD_ATTACH", threadStart, std::time(nullptr));
    ExpectLine(lines[2], "DLL_THREAD_DETACH", threadStart, std::time(nullptr));

    const std::time_t unload = std::time(nullptr);
    module.Unload();
    lines = LogLines();
    ASSERT_EQ(lines.size(), 4u) << ReadLog();
    ExpectLine(lines[3], "DLL_PROCESS_DETACH", unload, std::time(nullptr));
}

TEST_F(ModuleLoadLog, NotificationsWindowsDoesNotSendAreLoggedUnderTheirCode) {
    PluginModule module;
    ASSERT_TRUE(module.Load(PluginPath())) << module.Error();
    const ModuleEntry entry = EntryOf(module.Handle());
    const HINSTANCE handle = static_cast<HINSTANCE>(module.Handle());
    const std::time_t from = std::time(nullptr);
    for (DWORD reason : {4ul, 5ul, 0xFFFFFFFFul}) EXPECT_TRUE(entry(handle, reason, nullptr)) << reason;
    const std::time_t to = std::time(nullptr);
    module.Unload();

    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 5u) << ReadLog();
    ExpectLine(lines[1], "DLL_PROCESS_VERIFIER", from, to);
    ExpectLine(lines[2], "DLL_NOTIFICATION_5", from, to);
    ExpectLine(lines[3], "DLL_NOTIFICATION_4294967295", from, to);
    EXPECT_EQ(lines[4].rfind("DLL_PROCESS_DETACH DllMain: ", 0), 0u) << lines[4];
}

TEST_F(ModuleLoadLog, ExistingLogIsAppendedTo) {
    {
        std::ofstream file(kLog, std::ios::binary);
        file << "an earlier session\r\n";
    }
    PluginModule module;
    ASSERT_TRUE(module.Load(PluginPath())) << module.Error();
    module.Unload();
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 3u) << ReadLog();
    EXPECT_EQ(lines[0], "an earlier session");
    EXPECT_EQ(lines[1].rfind("DLL_PROCESS_ATTACH DllMain: ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("DLL_PROCESS_DETACH DllMain: ", 0), 0u) << lines[2];
}

// What the module must survive when the log cannot be written: it loads,
// answers a run, sees threads come and go and unloads, and the log is left
// as it was.
void ExpectModuleWorksWithoutLog() {
    PluginModule module;
    ASSERT_TRUE(module.Load(PluginPath())) << module.Error();
    std::thread([] {}).join();
    StandInHost host;
    ActionParameters parameters{0, 0, nullptr};
    EXPECT_EQ(SendRun(module, host, &parameters), 0) << host.LogText();
    EXPECT_FALSE(host.Actions().Played().empty());
    host.Actions().TakeDescriptor(parameters.descriptor);
    EXPECT_EQ(host.FirstError(), "") << host.LogText();
    module.Unload();
}

TEST_F(ModuleLoadLog, ReadOnlyLogLeavesTheModuleLoadingAndWorkingWithNothingWritten) {
    const std::string kept = "kept as it was\r\n";
    {
        std::ofstream file(kLog, std::ios::binary);
        file << kept;
    }
    ASSERT_TRUE(SetFileAttributesA(kLog, FILE_ATTRIBUTE_READONLY));
    // Wine keeps the read-only mark in the Unix permissions, which do not
    // stop the superuser; on such a machine a read-only file is writable.
    HANDLE probe = CreateFileA(kLog, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "read-only files are writable for this user here (Wine run as root); "
                        "UnopenableLogLeavesTheModuleWorking covers the same path";
    }
    ExpectModuleWorksWithoutLog();
    EXPECT_EQ(ReadLog(), kept);
}

TEST_F(ModuleLoadLog, UnopenableLogLeavesTheModuleWorking) {
    // A folder where the file should be: no user can open it as a file.
    ASSERT_TRUE(CreateDirectoryA(kLog, nullptr));
    ExpectModuleWorksWithoutLog();
    EXPECT_EQ(GetFileAttributesA(kLog) & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}
}  // namespace
