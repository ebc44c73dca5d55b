// Running lumacut-host through the shell, which also redirects its output.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "CliTestSupport.h"

namespace fs = std::filesystem;

namespace {
std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The captures live beside the folder, so the folder holds only what the
// program itself left there.
std::string OutCapture(const std::string& folder) { return folder + ".stdout"; }
std::string ErrCapture(const std::string& folder) { return folder + ".stderr"; }

ProgramResult Collected(int status, const std::string& folder) {
    ProgramResult result;
    result.exitStatus = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = FileText(OutCapture(folder));
    result.err = FileText(ErrCapture(folder));
    fs::remove(OutCapture(folder));
    fs::remove(ErrCapture(folder));
    return result;
}
}  // namespace

ProgramResult RunHostProgram(const std::vector<std::string>& args, const std::string& folder) {
    std::string command = ShellQuoted(LUMACUT_HOST_PROGRAM);
    for (const std::string& arg : args) command += " " + ShellQuoted(arg);
    command += " >" + ShellQuoted(OutCapture(folder)) + " 2>" + ShellQuoted(ErrCapture(folder));
    return Collected(std::system(command.c_str()), folder);
}

int StartHostProgram(const std::vector<std::string>& args, const std::string& folder) {
    std::vector<std::string> words{LUMACUT_HOST_PROGRAM};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(open(OutCapture(folder).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        dup2(open(ErrCapture(folder).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

ProgramResult WaitHostProgram(int process, const std::string& folder) {
    int status = -1;
    if (waitpid(process, &status, 0) != process) status = -1;
    return Collected(status, folder);
}

bool WaitForFile(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!fs::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
