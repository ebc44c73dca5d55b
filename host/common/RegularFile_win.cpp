#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "RegularFile.h"

FilePointer OpenRegularFile(const std::string& path, std::string& error) {
    // Windows opens no folder as a file, and would say "Permission denied".
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = path + " is a folder";
        return nullptr;
    }
    // Opening a device (CON, COM1) or a pipe does not wait, reading it may:
    // what was opened is asked what it is before a byte is read.
    FilePointer file(std::fopen(path.c_str(), "rb"));
    if (file == nullptr) {
        error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    const DWORD type = GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.get()))));
    if (type == FILE_TYPE_DISK) return file;
    error = path + " is " + (type == FILE_TYPE_PIPE ? "a pipe" : "a device") + ", not a file";
    return nullptr;
}
