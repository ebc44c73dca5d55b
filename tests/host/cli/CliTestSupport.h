// Running the built lumacut-host as a user would, in a folder of its own.
#ifndef LUMACUT_TESTS_CLI_SUPPORT_H
#define LUMACUT_TESTS_CLI_SUPPORT_H

#include <map>
#include <set>
#include <string>
#include <vector>

struct ProgramResult {
    int exitStatus = -1;  // -1: it did not exit normally (a crash)
    std::string out;
    std::string err;
};

// Runs lumacut-host with `args`, its output captured through files in `folder`.
ProgramResult RunHostProgram(const std::vector<std::string>& args, const std::string& folder);

// The same, started in the background (POSIX only, for tests that signal
// the program or change its inputs while it runs): its process id, to end
// with WaitHostProgram.
int StartHostProgram(const std::vector<std::string>& args, const std::string& folder);
ProgramResult WaitHostProgram(int process, const std::string& folder);

// Waits (a minute at most) until `path` exists; false if it never did.
bool WaitForFile(const std::string& path);

// A fresh, empty folder for one test, removed with everything in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // The names in the folder and its sub-folders, relative to it.
    std::set<std::string> Names() const;

private:
    std::string path_;
};

std::string FileText(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// The header of a PNG image claiming `width` x `height` gray pixels, and no data.
std::string PngHeader(uint32_t width, uint32_t height);

// Names of what is not a regular file, made in `folder` where they must be
// (the platform's half: a FIFO, a socket, a device), each with part of the
// one-line refusal lumacut-host gives it.
struct NotAFile {
    std::string path;
    std::string why;
};
std::vector<NotAFile> NotFiles(const ScratchFolder& folder);

// The lines of `text`.
std::vector<std::string> Lines(const std::string& text);

// Distinct photographs, binary PPMs large enough that a batch of a few runs
// for a good part of a second, made in `folder / "in"`: their stems, in the
// order a batch takes them.
std::vector<std::string> MakePhotos(const ScratchFolder& folder, int count);

// The files under `folder`, each with its bytes.
std::map<std::string, std::string> Contents(const std::string& folder);

// Outputs and their temporaries go under `folder` alone.
void ExpectNoTemporary(const std::string& folder);

// Without a terminal, plain lines: no line rewritten in place, no escape sequence.
void ExpectPlainText(const ProgramResult& result);

#endif
