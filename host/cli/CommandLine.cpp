#include "CommandLine.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <system_error>

#include "LumacutVersion.h"
#include "entry/interface/PluginModes.h"
#include "host/engine/Plane.h"
#include "resources/ModeCaptions.h"
#include "host/suites/ActionText.h"
#include "host/suites/DescriptorFile.h"

namespace {
const char* const kProgram = "lumacut-host";

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

// "K/N", 1 <= K <= N.
bool ParseShard(const std::string& text, CommandLine& line) {
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos) return false;
    int32_t index = 0, count = 0;
    if (!ParseMode(text.substr(0, slash), index) || !ParseMode(text.substr(slash + 1), count)) return false;
    if (count < 1 || index < 1 || index > count) return false;
    line.shardIndex = index;
    line.shardCount = count;
    return true;
}

// Several photographs, a folder or a slice of a list make a batch; one
// photograph given as a file keeps the layout of a single run.
bool IsBatch(const Given& given, const CommandLine& line) {
    if (line.inputs.size() > 1 || Has(given, "--shard")) return true;
    std::error_code failure;
    return std::filesystem::is_directory(line.inputs[0], failure);
}

bool CheckRun(const Given& given, CommandLine& line, std::string& error) {
    const int ways = int(Has(given, "--mode")) + int(Has(given, "--all")) + int(Has(given, "--replay"));
    if (ways != 1) {
        error = "run: give exactly one of --mode N, --replay FILE or --all";
        return false;
    }
    if (line.inputs.empty()) {
        error = "run: which image?";
        return false;
    }
    if (!Has(given, "--mode") && !Refuse(given, {"--any-mode"}, "goes with --mode", error)) return false;
    if (Has(given, "--shard") && !ParseShard(given.at("--shard"), line)) {
        error = "--shard takes K/N, the Kth of N slices (1 <= K <= N), not \"" + given.at("--shard") + "\"";
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
    line.all = Has(given, "--all");
    if (line.all && !Refuse(given, {"--mask", "--record"}, "does not go with --all (the masks go to --out DIR)", error))
        return false;
    if (IsBatch(given, line)) {
        if (!Refuse(given, {"--mask", "--record"}, "takes one photograph; several go to --out DIR", error)) return false;
        if (!HasOutFolder(line, "run on several photographs", error)) return false;
        line.action = CommandLine::Action::Batch;
        return true;
    }
    line.image = line.inputs[0];
    if (line.all) {
        if (!HasOutFolder(line, "run --all", error)) return false;
        line.action = CommandLine::Action::MaskAll;
        return true;
    }
    if (!Refuse(given, {"--out"}, "goes with --all or several photographs; one mode's mask goes to --mask FILE",
                error))
        return false;
    if (line.mask.empty()) {
        error = "run: give the mask file with --mask FILE";
        return false;
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

// The option of the table named `name`, or null.
const OptionSpec* KnownOption(const std::string& name) {
    for (const OptionSpec& option : KnownOptions())
        if (name == option.name) return &option;
    return nullptr;
}

std::string NeedsValue(const OptionSpec& option) {
    return std::string(option.name) + " needs a value (" + option.value + ")";
}

// CLI11's refusals in the program's own words.
std::string ParseFailure(const CLI::ParseError& failure) {
    const std::string what = failure.what();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&failure) != nullptr) {
        const std::size_t override = what.find(" was given a disallowed flag override");
        if (override != std::string::npos) return "--" + what.substr(0, override) + " takes no value";
        const OptionSpec* option = KnownOption(what.substr(0, what.find(':')));
        if (option != nullptr && option->value != nullptr) return NeedsValue(*option);
    }
    return what;
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
        {"--out", nullptr, "DIR", "the folder for the masks and contact-sheet.png (run --all), for a batch's "
                                  "outputs, or for response.png and response.csv (chart); made if missing"},
        {"--record", nullptr, "FILE", "run: keep the descriptor the plug-in hands back, as a host action would"},
        {"--replay", nullptr, "FILE", "run: play a recorded descriptor as the scripting parameters, "
                                      "instead of --mode"},
        {"--verbose", "-v", nullptr, "run, chart: also print every event the plug-in played, with its time"},
        {"--quiet", "-q", nullptr, "run: print only errors and the batch's summary"},
        {"--skip-existing", nullptr, nullptr, "run: leave out a photograph whose outputs are all there, so that "
                                              "a stopped batch resumes"},
        {"--shard", nullptr, "K/N", "run: only the Kth of N slices of the photographs, for several machines "
                                    "or processes"},
    };
    return options;
}

std::string ShortUsageText() {
    return "usage: lumacut-host [OPTIONS] run --mode N IMAGE --mask MASK.png [--record FILE]\n"
           "       lumacut-host [OPTIONS] run --replay FILE IMAGE --mask MASK.png\n"
           "       lumacut-host [OPTIONS] run --all IMAGE --out DIR\n"
           "       lumacut-host [OPTIONS] run --all|--mode N|--replay FILE INPUT... --out DIR [--skip-existing] "
           "[--shard K/N]\n"
           "       lumacut-host [OPTIONS] chart --out DIR\n"
           "       lumacut-host [OPTIONS] trace [--about]   send a run (or About) request, print what the plug-in "
           "played\n";
}

std::string UsageText() {
    std::string text =
        ShortUsageText() +
        "\n"
        "Loads the ZYT_Lumacut plug-in, plays the host's part, and on an image (JPEG, PNG or TIFF with\n"
        "8 or 16 bits per channel, or binary PNM) writes the selection the plug-in's events leave as a\n"
        "gray PNG. BMP, GIF, TGA and PSD files are not read: save them as TIFF or PNG first. A run\n"
        "prints a line per mode as its mask is written, with its times; --verbose adds every event\n"
        "played. chart runs every mode on a gray ramp and draws how strongly each selects each input\n"
        "level.\n"
        "\n"
        "A batch: several INPUTs, or a folder (its photographs by extension, sorted by name, not its\n"
        "sub-folders or hidden files). The plug-in is loaded once; --all writes DIR/STEM/ for each\n"
        "photograph, --mode N writes DIR/STEM.png. A photograph that cannot be read or written gets a\n"
        "line and the others go on; a progress line (or a line per photograph when standard error is\n"
        "no terminal) and a summary end it. An interrupt stops it after the photographs in flight.\n"
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
            "  0  success: every photograph written (or skipped)\n"
            "  1  a file could not be read or written, or the module could not be loaded (a batch still\n"
            "     writes the other photographs)\n"
            "  2  the arguments make no sense; nothing was run\n"
            "  3  a plug-in run failed (its status is printed, e.g. \"run failed: host error -128 (user "
            "cancelled)\")\n"
            "  130  interrupted: the photographs in flight were finished, nothing partial is left\n"
            "\n"
            "examples:\n"
            "  lumacut-host run --mode 4 photo.jpg --mask shadows.png --record shadows.txt\n"
            "  lumacut-host run --replay shadows.txt photo.jpg --mask again.png\n"
            "  lumacut-host run --all photo.jpg --out masks\n"
            "  lumacut-host run --all shoot/ --out masks --skip-existing\n"
            "  lumacut-host chart --out masks\n";
    return text;
}

std::string VersionText() {
    return std::string(kProgram) + " " LUMACUT_VERSION "\nZYT_Lumacut " LUMACUT_RELEASE "\n";
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
    line = CommandLine();
    if (args.empty()) return true;  // Action::Usage
    CLI::App app(kProgram);
    app.set_help_flag();  // --help is ours, to keep one table of options
    app.allow_extras();   // named as ours below
    // Under Windows CLI11 would take "/work/photo.jpg" for an option "/work".
    app.allow_windows_style_options(false);
    std::vector<std::string> words;
    app.add_option("words", words);
    std::map<std::string, CLI::Option*> parsed;
    for (const OptionSpec& option : KnownOptions()) {
        const std::string names =
            option.shortName != nullptr ? std::string(option.shortName) + "," + option.name : option.name;
        CLI::Option* added =
            option.value != nullptr ? app.add_option(names) : app.add_flag(names)->disable_flag_override();
        added->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        parsed[option.name] = added;
    }
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& failure) {
        error = ParseFailure(failure);
        return false;
    }
    if (parsed["--help"]->count() > 0) {
        line.action = CommandLine::Action::Help;
        return true;
    }
    if (parsed["--version"]->count() > 0) {
        line.action = CommandLine::Action::Version;
        return true;
    }
    if (!app.remaining().empty()) {
        const std::string extra = app.remaining().front();
        error = extra[0] == '-' ? "unknown option " + extra.substr(0, extra.find('=')) : "unexpected \"" + extra + "\"";
        return false;
    }
    Given given;
    for (const auto& [name, option] : parsed) {
        if (option->count() == 0) continue;
        if (option->count() > 1) {
            error = name + " given twice";
            return false;
        }
        const std::string value = option->results().front();
        const OptionSpec& known = *KnownOption(name);
        if (known.value != nullptr && value.empty() && name != "--mode") {
            error = NeedsValue(known);
            return false;
        }
        given.emplace(name, known.value != nullptr ? value : std::string());
    }
    const std::string command = words.empty() ? std::string() : words.front();
    const bool run = command == "run", chart = command == "chart", trace = command == "trace";
    if (!words.empty() && !run && !chart && !trace) {
        error = "unexpected \"" + command + "\"";
        return false;
    }
    if (run) {
        line.inputs.assign(words.begin() + 1, words.end());
    } else if (words.size() > 1) {
        error = command + ": unexpected \"" + words[1] + "\"";
        return false;
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
    line.quiet = Has(given, "--quiet");
    line.skipExisting = Has(given, "--skip-existing");
    const std::initializer_list<const char*> runOnly = {"--mode", "--any-mode", "--all", "--mask", "--record",
                                                        "--replay", "--skip-existing", "--shard", "--quiet"};
    if (run) {
        if (!Refuse(given, {"--about"}, "does not go with run", error)) return false;
        return CheckRun(given, line, error);
    }
    if (chart) {
        if (!Refuse(given, runOnly, "does not go with chart", error)) return false;
        if (!Refuse(given, {"--about", "--dialog"}, "does not go with chart", error)) return false;
        if (!HasOutFolder(line, "chart", error)) return false;
        line.action = CommandLine::Action::Chart;
        return true;
    }
    // trace, or only options: what the plug-in plays for a bare request.
    if (!Refuse(given, runOnly, "needs the run command", error)) return false;
    if (!Refuse(given, {"--out", "--verbose"}, "needs the run command", error)) return false;
    line.action = CommandLine::Action::Trace;
    if (Has(given, "--about")) {
        if (!Refuse(given, {"--dialog"}, "goes with a run request, not --about", error)) return false;
        line.action = CommandLine::Action::About;
    }
    return true;
}
