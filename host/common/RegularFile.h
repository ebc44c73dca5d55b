// Opening a file a user named, for reading, without ever waiting on it: a
// FIFO, a device or a socket would block the open or the read (a FIFO until
// something writes to it, a terminal until someone types), so only a regular
// file is opened, and a folder is called a folder.
#ifndef LUMACUT_HOST_REGULAR_FILE_H
#define LUMACUT_HOST_REGULAR_FILE_H

#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

// The file open for binary reading, or null with `error` saying in one
// line, after the path, why not: "PATH is a folder", "PATH is a FIFO, not a
// file" (a device, a socket, a pipe), or the system's reason ("PATH: No
// such file or directory"). The kind is checked on the open file itself, so
// nothing swapped in after a look at the name gets through.
FilePointer OpenRegularFile(const std::string& path, std::string& error);

#endif
