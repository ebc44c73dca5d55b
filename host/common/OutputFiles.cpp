#include "OutputFiles.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
// A name no other writer in the folder uses at the same time: the time and
// a counter, so two outputs of one run never share a temporary.
std::string TemporaryBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".tmp-%llx-%u", ticks & 0xFFFFFFFFFFull, counter++);
    return path + suffix;
}

void RemoveQuietly(const std::string& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}
}  // namespace

std::string FolderOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const bool windows = fs::path::preferred_separator == '\\';
    const char last = folder.back();
    // "C:" alone is the current folder of drive C, which a separator would turn into its root.
    if (last == '/' || (windows && (last == '\\' || (last == ':' && folder.size() == 2)))) return folder + name;
    const bool backslashesOnly = folder.find('/') == std::string::npos && folder.find('\\') != std::string::npos;
    return folder + (windows && backslashesOnly ? '\\' : '/') + name;
}

bool CheckOutputFolder(const std::string& folder, std::string& error) {
    std::error_code failure;
    const fs::file_status status = fs::status(folder, failure);
    if (!fs::exists(status)) {
        error = "output folder " + folder + " does not exist";
        return false;
    }
    if (!fs::is_directory(status)) {
        error = folder + " is not a folder";
        return false;
    }
    // Whether a file can be made there is only known by making one.
    const std::string probe = TemporaryBeside((fs::path(folder) / ".lumacut-probe").string());
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write in " + folder + ": " + std::strerror(errno);
        return false;
    }
    std::fclose(file);
    RemoveQuietly(probe);
    return true;
}

bool WriteAtomically(const std::string& path, const FileWriter& write, std::string& error) {
    const std::string temporary = TemporaryBeside(path);
    if (!write(temporary, error)) {
        RemoveQuietly(temporary);
        return false;
    }
    if (!MoveIntoPlace(temporary, path, error)) {
        RemoveQuietly(temporary);
        return false;
    }
    return true;
}
