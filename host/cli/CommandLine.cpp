#include "CommandLine.h"

#include <cerrno>
#include <cstdlib>
#include <map>

#include "LumacutVersion.h"
#include "entry/interface/PluginModes.h"
#include "host/engine/Plane.h"
#include "resources/ModeCaptions.h"
#include "host/suites/ActionText.h"
#include "host/suites/DescriptorFile.h"

namespace {
const char* const kProgram = "lumacut-host";

const OptionSpec* FindOption(const std::string& name) {
    for (const OptionSpec& option : KnownOptions())
        if (name == option.name || (option.shortName != nullptr && name == option.shortName)) return &option;
    return nullptr;
}

// A whole signed 32-bit number and nothing else: the scripting parameter
// carries any such value, so the plug-in can be tried with all of them.
bool ParseMode(const std::string& text, int32_t& mode) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != '\0' || value < INT32_MIN || value > INT32_MAX) return false;
    mode = static_cast<int32_t>(value);
    return true;
}

using Given = std::map<std::string, std::string>;  // option name -> value ("" for a flag)

bool Has(const Given& given, const char* name) { return given.count(name) != 0; }

// The options that only make sense with one kind of run.
bool Refuse(const Given& given, std::initializer_list<const char*> names, const std::string& why, std::string& error) {
    for (const char* name : names) {
        if (Has(given, name)) {
            error = std::string(name) + " " + why;
            return false;
        }
    }
    return true;
}

bool HasOutFolder(const CommandLine& line, const std::string& command, std::string& error) {
    if (!line.outDir.empty()) return true;
    error = command + ": give the output folder with --out DIR";
    return false;
}

bool CheckRun(const Given& given, CommandLine& line, std::string& error) {
    const int ways = int(Has(given, "--mode")) + int(Has(given, "--all")) + int(Has(given, "--replay"));
    if (ways != 1) {
        error = "run: give exactly one of --mode N, --replay FILE or --all";
        return false;
    }
    if (line.image.empty()) {
        error = "run: which image?";
        return false;
    }
    if (!Has(given, "--mode") && !Refuse(given, {"--any-mode"}, "goes with --mode", error)) return false;
    if (Has(given, "--all")) {
        if (!Refuse(given, {"--mask", "--record"}, "does not go with --all (the masks go to --out DIR)", error))
            return false;
        if (!HasOutFolder(line, "run --all", error)) return false;
        line.action = CommandLine::Action::MaskAll;
        return true;
    }
    if (!Refuse(given, {"--out"}, "goes with --all; one mode's mask goes to --mask FILE", error)) return false;
    if (line.mask.empty()) {
        error = "run: give the mask file with --mask FILE";
        return false;
    }
    if (Has(given, "--mode")) {
        if (!ParseMode(given.at("--mode"), line.mode)) {
            error = "--mode takes a whole number, not \"" + given.at("--mode") + "\"";
            return false;
        }
        if (!line.anyMode && (line.mode < kFirstMode || line.mode > kLastMode)) {
            error = "unknown mode " + std::to_string(line.mode) + " (modes are " + std::to_string(kFirstMode) + " to " +
                    std::to_string(kLastMode) + "; --any-mode lets others through)";
            return false;
        }
    }
    line.action = CommandLine::Action::MaskOne;
    return true;
}
// "modes: 1 Highlights normal, ...", in lines of at most 100 columns.
std::string ModesLine() {
    std::string text = "modes:";
    std::size_t width = text.size();
    for (int32_t mode = kFirstMode; mode <= kLastMode; ++mode) {
        const std::string item = " " + std::to_string(mode) + " " + ModeCaption(mode) + (mode < kLastMode ? "," : "");
        if (width + item.size() > 100) {
            text += "\n      ";
            width = 6;
        }
        text += item;
        width += item.size();
    }
    return text + "\n";
}
}  // namespace

const std::vector<OptionSpec>& KnownOptions() {
    static const std::vector<OptionSpec> options = {
        {"--help", "-h", nullptr, "print this text and exit"},
        {"--version", nullptr, nullptr, "print the program's and the plug-in's version and exit"},
        {"--module", nullptr, "PATH", "the plug-in module to load (default: the one beside this program)"},
        {"--about", nullptr, nullptr, "send the About request instead of a run request"},
        {"--dialog", nullptr, nullptr, "ask for the plug-in's mode dialog (playInfo 1); where none can be "
                                       "shown, the run ends as cancelled"},
        {"--mode", nullptr, "N", "run: the mode, 1 to 7, passed as the scripting parameter"},
        {"--any-mode", nullptr, nullptr, "run: let a --mode outside 1 to 7 through to the plug-in"},
        {"--all", nullptr, nullptr, "run: every mode in turn, with a contact sheet of the masks"},
        {"--mask", nullptr, "FILE", "run: the PNG the selection is written to (its folder must exist)"},
        {"--out", nullptr, "DIR", "the folder for the masks and contact-sheet.png (run --all) or for "
                                  "response.png and response.csv (chart); made if missing"},
        {"--record", nullptr, "FILE", "run: keep the descriptor the plug-in hands back, as a host action would"},
        {"--replay", nullptr, "FILE", "run: play a recorded descriptor as the scripting parameters, "
                                      "instead of --mode"},
        {"--verbose", "-v", nullptr, "run, chart: also print every event the plug-in played, with its time"},
    };
    return options;
}

std::string UsageText() {
    std::string text =
        "usage: lumacut-host [OPTIONS]                     send a run request, print what the plug-in played\n"
        "       lumacut-host [OPTIONS] --about             send the About request\n"
        "       lumacut-host [OPTIONS] run --mode N IMAGE --mask MASK.png [--record FILE]\n"
        "       lumacut-host [OPTIONS] run --replay FILE IMAGE --mask MASK.png\n"
        "       lumacut-host [OPTIONS] run --all IMAGE --out DIR\n"
        "       lumacut-host [OPTIONS] chart --out DIR\n"
        "\n"
        "Loads the ZYT_Lumacut plug-in, plays the host's part, and on an image (JPEG, PNG or TIFF with\n"
        "8 or 16 bits per channel, or binary PNM) writes the selection the plug-in's events leave as a\n"
        "gray PNG. BMP, GIF, TGA and PSD files are not read: save them as TIFF or PNG first. A run\n"
        "prints a line per mode as its mask is written, with its times; --verbose adds every event\n"
        "played. chart runs every mode on a gray ramp and draws how strongly each selects each input\n"
        "level.\n"
        "\n"
        "options:\n";
    for (const OptionSpec& option : KnownOptions()) {
        std::string name = "  ";
        if (option.shortName != nullptr) name += std::string(option.shortName) + ", ";
        name += option.name;
        if (option.value != nullptr) name += std::string(" ") + option.value;
        if (name.size() < 22) name.resize(22, ' ');
        text += name + " " + option.help + "\n";
    }
    text += "\n" + ModesLine() +
            "images: at most " + std::to_string(kMaxSide) + " pixels a side and " +
            std::to_string(kMaxArea / 1000000) + " megapixels; larger ones are refused before they are read\n"
            "step files (--replay): at most " + std::to_string(kMaxDescriptorFileBytes >> 20) +
            " MiB, with descriptors, lists and objects nested at most " + std::to_string(kMaxDescriptorNesting) +
            " deep\n"
            "images and step files must be regular files: a folder, FIFO, device or socket is refused at once\n"
            "outputs are written under a temporary name and renamed when complete\n"
            "\n"
            "exit status:\n"
            "  0  success\n"
            "  1  a file could not be read or written, or the module could not be loaded\n"
            "  2  the arguments make no sense\n"
            "  3  the plug-in's run failed (its status is printed, e.g. \"run failed: host error -128 (user "
            "cancelled)\")\n"
            "\n"
            "examples:\n"
            "  lumacut-host run --mode 4 photo.jpg --mask shadows.png --record shadows.txt\n"
            "  lumacut-host run --replay shadows.txt photo.jpg --mask again.png\n"
            "  lumacut-host run --all photo.jpg --out masks\n"
            "  lumacut-host chart --out masks\n";
    return text;
}

std::string VersionText() {
    return std::string(kProgram) + " " LUMACUT_VERSION "\nZYT_Lumacut " LUMACUT_RELEASE "\n";
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
    line = CommandLine();
    Given given;
    bool run = false;
    bool chart = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            if (!run && !chart && (arg == "run" || arg == "chart")) {
                (arg == "run" ? run : chart) = true;
            } else if (run && line.image.empty() && !arg.empty()) {
                line.image = arg;
            } else {
                error = run ? "run: unexpected \"" + arg + "\" (one image at a time)" : "unexpected \"" + arg + "\"";
                return false;
            }
            continue;
        }
        const std::size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        const OptionSpec* option = FindOption(name);
        if (option == nullptr) {
            error = "unknown option " + name;
            return false;
        }
        if (option->value == nullptr && equals != std::string::npos) {
            error = std::string(option->name) + " takes no value";
            return false;
        }
        std::string value;
        if (option->value != nullptr) {
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                error = std::string(option->name) + " needs a value (" + option->value + ")";
                return false;
            }
            if (value.empty() && std::string(option->name) != "--mode") {
                error = std::string(option->name) + " needs a value (" + option->value + ")";
                return false;
            }
        }
        if (!given.emplace(option->name, value).second) {
            error = std::string(option->name) + " given twice";
            return false;
        }
        if (std::string(option->name) == "--help") {
            line.action = CommandLine::Action::Help;
            return true;
        }
        if (std::string(option->name) == "--version") {
            line.action = CommandLine::Action::Version;
            return true;
        }
    }
    auto text = [&](const char* name) { return Has(given, name) ? given.at(name) : std::string(); };
    line.modulePath = text("--module");
    line.mask = text("--mask");
    line.outDir = text("--out");
    line.recordFile = text("--record");
    line.replayFile = text("--replay");
    line.anyMode = Has(given, "--any-mode");
    line.dialog = Has(given, "--dialog");
    line.verbose = Has(given, "--verbose");
    if (run) {
        if (!Refuse(given, {"--about"}, "does not go with run", error)) return false;
        return CheckRun(given, line, error);
    }
    if (chart) {
        if (!Refuse(given, {"--about", "--dialog", "--mode", "--any-mode", "--all", "--mask", "--record", "--replay"},
                    "does not go with chart", error))
            return false;
        if (!HasOutFolder(line, "chart", error)) return false;
        line.action = CommandLine::Action::Chart;
        return true;
    }
    if (!Refuse(given, {"--mode", "--any-mode", "--all", "--mask", "--out", "--record", "--replay", "--verbose"},
                "needs the run command", error))
        return false;
    if (Has(given, "--about")) {
        if (!Refuse(given, {"--dialog"}, "goes with a run request, not --about", error)) return false;
        line.action = CommandLine::Action::About;
    }
    return true;
}
