// Running lumacut-host.exe as a child process whose output goes to files.
// The program is found beside the test program: both are built into bin/.
#include <windows.h>

#include <filesystem>

#include "CliTestSupport.h"

namespace fs = std::filesystem;

namespace {
std::string HostProgramPath() {
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    return (fs::path(std::string(self, length)).parent_path() / "lumacut-host.exe").string();
}

// Quoted for the C runtime's parser; our paths and arguments hold no quotes.
std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

HANDLE CaptureFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}
}  // namespace

ProgramResult RunHostProgram(const std::vector<std::string>& args, const std::string& folder) {
    const std::string out = folder + ".stdout", err = folder + ".stderr";
    std::string command = Quoted(HostProgramPath());
    for (const std::string& arg : args) command += " " + Quoted(arg);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = CaptureFile(out);
    startup.hStdError = CaptureFile(err);
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    ProgramResult result;
    if (started) {
        DWORD code = 0;
        if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &code))
            result.exitStatus = static_cast<int>(code);
        else
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    result.out = FileText(out);
    result.err = FileText(err);
    fs::remove(out);
    fs::remove(err);
    return result;
}
