#include <windows.h>

#include "OutputFiles.h"

// rename() on Windows refuses an existing target; MoveFileEx replaces it.
bool MoveIntoPlace(const std::string& from, const std::string& to, std::string& error) {
    if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = "cannot write " + to + ": Windows error " + std::to_string(GetLastError());
        return false;
    }
    return true;
}
