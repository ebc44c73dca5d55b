#include "CommandLine.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

const char* const kUsage =
    "usage:\n"
    "  lumacut-host [--module PATH]              send a run request and print what the plug-in played\n"
    "  lumacut-host [--module PATH] --about      send the About request\n"
    "  lumacut-host --help                       this text\n"
    "  lumacut-host [--module PATH] run --mode N IMAGE --mask MASK.png\n"
    "                                            run mode N on the image, write the selection it leaves\n"
    "  lumacut-host [--module PATH] run --all IMAGE --out DIR\n"
    "                                            run modes 1 to 7, write their masks and contact-sheet.png\n"
    "modes: 1 Highlights normal, 2 Highlights narrow, 3 Shadows normal, 4 Shadows narrow,\n"
    "       5 Midtones wide, 6 Midtones medium, 7 Midtones narrow\n";

namespace {
// A whole signed 32-bit number and nothing else; other values are as
// possible through a scripting parameter as 1 to 7 are.
bool ParseMode(const std::string& text, int32_t& mode) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != '\0' || value < INT32_MIN || value > INT32_MAX) return false;
    mode = static_cast<int32_t>(value);
    return true;
}

bool ParseRun(const std::vector<std::string>& args, std::size_t i, CommandLine& line, std::string& error) {
    bool haveMode = false, all = false;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--mode" && hasValue) {
            if (!ParseMode(args[++i], line.mode)) {
                error = "--mode takes a whole number, not \"" + args[i] + "\"";
                return false;
            }
            haveMode = true;
        } else if (arg == "--all") {
            all = true;
        } else if (arg == "--mask" && hasValue) {
            line.mask = args[++i];
        } else if (arg == "--out" && hasValue) {
            line.outDir = args[++i];
        } else if (!arg.empty() && arg[0] != '-' && line.image.empty()) {
            line.image = arg;
        } else {
            error = "run: unexpected \"" + arg + "\"";
            return false;
        }
    }
    if (line.image.empty()) {
        error = "run: which image?";
        return false;
    }
    if (haveMode == all) {
        error = "run: give either --mode N or --all";
        return false;
    }
    if (haveMode && (line.mask.empty() || !line.outDir.empty())) {
        error = "run --mode: give the mask file with --mask";
        return false;
    }
    if (all && (line.outDir.empty() || !line.mask.empty())) {
        error = "run --all: give the output folder with --out";
        return false;
    }
    line.action = all ? CommandLine::Action::MaskAll : CommandLine::Action::MaskOne;
    return true;
}
}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
    line = CommandLine();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--module" && i + 1 < args.size()) {
            line.modulePath = args[++i];
        } else if (arg == "--help" || arg == "-h") {
            line.action = CommandLine::Action::Help;
            return true;
        } else if (arg == "--about") {
            line.action = CommandLine::Action::About;
        } else if (arg == "run" && line.action == CommandLine::Action::RunRequest) {
            return ParseRun(args, i + 1, line, error);
        } else {
            error = "unexpected \"" + arg + "\"";
            return false;
        }
    }
    return true;
}
