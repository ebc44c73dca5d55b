// What lumacut-host is asked to do, read from its arguments.
#ifndef LUMACUT_HOST_COMMAND_LINE_H
#define LUMACUT_HOST_COMMAND_LINE_H

#include <cstdint>
#include <string>
#include <vector>

struct CommandLine {
    enum class Action {
        RunRequest,  // a run request without a document: the events are only recorded
        About,       // the About request
        MaskOne,     // run --mode N IMAGE --mask FILE
        MaskAll,     // run --all IMAGE --out DIR
        Help,        // --help: the usage, nothing loaded
    };
    Action action = Action::RunRequest;
    std::string modulePath;  // empty: the module beside the program
    int32_t mode = 1;
    std::string image;
    std::string mask;
    std::string outDir;
};

extern const char* const kUsage;

// The arguments after the program name. False, with a message, for anything
// it does not understand.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);

#endif
