// Running lumacut-host through the shell, which also redirects its output.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "CliTestSupport.h"

namespace fs = std::filesystem;

namespace {
std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
}  // namespace

ProgramResult RunHostProgram(const std::vector<std::string>& args, const std::string& folder) {
    // The captures live beside the folder, so the folder holds only what the
    // program itself left there.
    const std::string out = folder + ".stdout", err = folder + ".stderr";
    std::string command = ShellQuoted(LUMACUT_HOST_PROGRAM);
    for (const std::string& arg : args) command += " " + ShellQuoted(arg);
    command += " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err);
    const int status = std::system(command.c_str());
    ProgramResult result;
    result.exitStatus = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = FileText(out);
    result.err = FileText(err);
    fs::remove(out);
    fs::remove(err);
    return result;
}
