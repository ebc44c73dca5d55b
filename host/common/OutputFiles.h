// Files the stand-in's programs read and write: checked before any work is done, and
// written so that a failure never leaves a partial file behind.
#ifndef LUMACUT_HOST_COMMON_OUTPUT_FILES_H
#define LUMACUT_HOST_COMMON_OUTPUT_FILES_H

#include <functional>
#include <string>

// The folder a file given on the command line goes to ("." for a bare name).
std::string FolderOf(const std::string& path);

// `name` inside `folder`, spelled the way the user wrote the folder: Windows
// takes '/' and '\' alike, so its separator is only used where the folder
// already uses it alone; elsewhere, and on other systems, '/'.
std::string PathInFolder(const std::string& folder, const std::string& name);

// False with a message when `folder` does not exist, is no folder, or
// refuses a new file.
bool CheckOutputFolder(const std::string& folder, std::string& error);

// A file is made by `write` under a temporary name beside `path`, then
// renamed over `path`. On any failure the temporary is removed, whatever was
// at `path` stays as it was, and `error` says why.
using FileWriter = std::function<bool(const std::string& temporary, std::string& error)>;
bool WriteAtomically(const std::string& path, const FileWriter& write, std::string& error);

// Puts `from` in the place of `to`, replacing it if it exists (the
// platform's half: rename semantics differ on Windows).
bool MoveIntoPlace(const std::string& from, const std::string& to, std::string& error);

#endif
