// What lumacut-host is asked to do, read from its arguments through one
// table of options, which both the parser (CLI11) and the --help text are
// made from: an option cannot be understood without being described.
#ifndef LUMACUT_HOST_COMMAND_LINE_H
#define LUMACUT_HOST_COMMAND_LINE_H

#include <cstdint>
#include <string>
#include <vector>

// The program's exit statuses, as --help documents them.
constexpr int kExitOk = 0;
constexpr int kExitInputOutput = 1;  // a file could not be read or written, or the module not loaded
constexpr int kExitUsage = 2;        // the arguments make no sense
constexpr int kExitRunFailed = 3;    // the plug-in's run failed or left no selection
constexpr int kExitInterrupted = 130; // a batch stopped by an interrupt (128 + SIGINT, as shells say it)

struct CommandLine {
    enum class Action {
        Usage,       // no arguments: the short usage, exit status 2
        Trace,       // trace: a run request without a document; the events are only recorded
        About,       // trace --about: the About request
        MaskOne,     // run --mode N IMAGE --mask FILE (or --replay FILE instead of --mode)
        MaskAll,     // run --all IMAGE --out DIR
        Batch,       // run --all|--mode N INPUT... --out DIR: several photographs, or a folder of them
        Chart,       // chart --out DIR: every mode on a gray ramp, drawn as response curves
        Help,        // --help: the usage, nothing loaded
        Version,     // --version
    };
    Action action = Action::Usage;
    std::string modulePath;  // empty: the module beside the program
    int32_t mode = 1;
    bool anyMode = false;    // let modes other than 1 to 7 through to the plug-in
    bool dialog = false;     // playInfo 1: ask for the plug-in's dialog
    bool verbose = false;    // run: print every event played
    bool quiet = false;      // run: only errors and the batch's summary
    bool all = false;        // run --all
    bool skipExisting = false;  // leave out a photograph whose outputs are all there
    int shardIndex = 1;      // --shard K/N: this command does the Kth of N slices
    int shardCount = 1;
    std::vector<std::string> inputs;  // run: the photographs and folders, as given
    std::string image;                // run: the one photograph of MaskOne and MaskAll
    std::string mask;
    std::string outDir;
    std::string recordFile;  // where the descriptor handed back is kept
    std::string replayFile;  // the incoming descriptor, instead of --mode
};

// One option the parser knows. `value` names its argument; null for a flag.
struct OptionSpec {
    const char* name;
    const char* shortName;  // "-h", or null
    const char* value;
    const char* help;
};

const std::vector<OptionSpec>& KnownOptions();

// The --help text, made from KnownOptions().
std::string UsageText();

// The usage lines alone, for a command given no arguments.
std::string ShortUsageText();

// "lumacut-host 0.1" and the plug-in's own version line.
std::string VersionText();

// The arguments after the program name. False, with a one-line message,
// for anything it does not understand or cannot carry out. Whether a run
// is a batch depends on its inputs: a folder among them makes one.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);

#endif
