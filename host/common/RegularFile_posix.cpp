#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "RegularFile.h"

namespace {
// Empty for a regular file, else what the path names instead.
std::string NotAFile(const std::string& path, mode_t mode) {
    if (S_ISREG(mode)) return "";
    if (S_ISDIR(mode)) return path + " is a folder";
    const char* kind = S_ISFIFO(mode) ? "a FIFO" : S_ISSOCK(mode) ? "a socket" : "a device";
    return path + " is " + kind + ", not a file";
}
}  // namespace

FilePointer OpenRegularFile(const std::string& path, std::string& error) {
    // A look at the name first: a socket cannot be opened at all, and its
    // open's complaint ("No such device or address") would mislead.
    struct stat named {};
    if (stat(path.c_str(), &named) != 0) {
        error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    error = NotAFile(path, named.st_mode);
    if (!error.empty()) return nullptr;
    // Without O_NONBLOCK, opening a FIFO waits for a writer; with it, the
    // open returns at once and the check below refuses what it opened.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    struct stat opened {};
    if (fstat(descriptor, &opened) != 0) opened.st_mode = 0;
    error = NotAFile(path, opened.st_mode);
    const int flags = fcntl(descriptor, F_GETFL);
    std::FILE* file = error.empty() && flags >= 0 && fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) == 0
                          ? fdopen(descriptor, "rb")
                          : nullptr;
    if (file == nullptr) {
        if (error.empty()) error = path + ": " + std::strerror(errno);
        close(descriptor);
        return nullptr;
    }
    return FilePointer(file);
}
