#include <cerrno>
#include <cstdio>
#include <cstring>

#include "OutputFiles.h"

// rename() replaces an existing file in one step here.
bool MoveIntoPlace(const std::string& from, const std::string& to, std::string& error) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        error = "cannot write " + to + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
