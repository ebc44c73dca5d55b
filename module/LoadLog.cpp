#include "LoadLog.h"

#include <cstdio>

namespace {
const char* const kReasonNames[] = {
    "DLL_PROCESS_DETACH",    // 0
    "DLL_PROCESS_ATTACH",    // 1
    "DLL_THREAD_ATTACH",     // 2
    "DLL_THREAD_DETACH",     // 3
    "DLL_PROCESS_VERIFIER",  // 4
};
constexpr uint32_t kReasonCount = sizeof kReasonNames / sizeof kReasonNames[0];

const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool InRange(int value, int low, int high) { return value >= low && value <= high; }
}  // namespace

bool FormatLoadLogDate(const std::tm& local, char (&text)[26]) {
    text[0] = '\0';
    const int year = local.tm_year + 1900;
    // asctime and the C libraries' "%c" disagree on the day's padding and
    // some read the weekday and month names out of bounds; the log has one
    // fixed form, so it is written field by field. A leap second (60) is a
    // real time and keeps its two digits.
    if (!InRange(local.tm_wday, 0, 6) || !InRange(local.tm_mon, 0, 11) || !InRange(local.tm_mday, 1, 31) ||
        !InRange(local.tm_hour, 0, 23) || !InRange(local.tm_min, 0, 59) || !InRange(local.tm_sec, 0, 60) ||
        local.tm_year > 9999 - 1900 || local.tm_year < -1900)
        return false;
    const int written = std::snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d %04d\n", kWeekdays[local.tm_wday],
                                      kMonths[local.tm_mon], local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                                      year);
    if (written != 25) {
        text[0] = '\0';
        return false;
    }
    return true;
}

const char* LoadLogReasonName(uint32_t reason, char (&spare)[32]) {
    if (reason < kReasonCount) return kReasonNames[reason];
    std::snprintf(spare, sizeof spare, "DLL_NOTIFICATION_%lu", static_cast<unsigned long>(reason));
    return spare;
}

void FormatLoadLogLine(uint32_t reason, const std::tm* local, char (&line)[kLoadLogLineCapacity]) {
    char spare[32];
    char date[26];
    const char* name = LoadLogReasonName(reason, spare);
    const char* when = (local != nullptr && FormatLoadLogDate(*local, date)) ? date : "(local time unavailable)\n";
    std::snprintf(line, sizeof line, "%s DllMain: %s", name, when);
}

bool AppendLoadLogLine(const char* path, uint32_t reason) noexcept {
    std::FILE* file = std::fopen(path, "a+");
    if (file == nullptr) return false;
    const std::time_t now = std::time(nullptr);
    const std::tm* local = now == static_cast<std::time_t>(-1) ? nullptr : std::localtime(&now);
    char line[kLoadLogLineCapacity];
    FormatLoadLogLine(reason, local, line);
    const bool written = std::fputs(line, file) >= 0;
    return std::fclose(file) == 0 && written;
}
