#include "LoadLog.h"

#include <cstdio>

namespace {
// Lines are written with this rather than snprintf: the C runtime's
// formatter carries its floating-point printing, about 25 KB, into the
// module for a few integers. Writing stops at the buffer's end, and the
// text is always terminated.
class TextCursor {
public:
    template <std::size_t N>
    explicit TextCursor(char (&buffer)[N]) : start_(buffer), at_(buffer), last_(buffer + N - 1) {
        *at_ = '\0';
    }
    TextCursor& Text(const char* text) {
        while (*text != '\0' && at_ < last_) *at_++ = *text++;
        *at_ = '\0';
        return *this;
    }
    // The decimal digits of `value`, with leading zeros up to `width`.
    TextCursor& Number(uint32_t value, int width) {
        char reversed[10];  // 4294967295 has ten digits
        int count = 0;
        do {
            reversed[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (count < width && count < 10) reversed[count++] = '0';
        while (count > 0 && at_ < last_) *at_++ = reversed[--count];
        *at_ = '\0';
        return *this;
    }
    std::size_t Length() const { return static_cast<std::size_t>(at_ - start_); }

private:
    char* start_;
    char* at_;
    char* last_;
};

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
    auto field = [](int value) { return static_cast<uint32_t>(value); };
    TextCursor out(text);
    out.Text(kWeekdays[local.tm_wday]).Text(" ").Text(kMonths[local.tm_mon]).Text(" ");
    out.Number(field(local.tm_mday), 2).Text(" ").Number(field(local.tm_hour), 2).Text(":");
    out.Number(field(local.tm_min), 2).Text(":").Number(field(local.tm_sec), 2).Text(" ");
    out.Number(field(year), 4).Text("\n");
    if (out.Length() != 25) {
        text[0] = '\0';
        return false;
    }
    return true;
}

const char* LoadLogReasonName(uint32_t reason, char (&spare)[32]) {
    if (reason < kReasonCount) return kReasonNames[reason];
    TextCursor(spare).Text("DLL_NOTIFICATION_").Number(reason, 1);
    return spare;
}

void FormatLoadLogLine(uint32_t reason, const std::tm* local, char (&line)[kLoadLogLineCapacity]) {
    char spare[32];
    char date[26];
    const char* name = LoadLogReasonName(reason, spare);
    const char* when = (local != nullptr && FormatLoadLogDate(*local, date)) ? date : "(local time unavailable)\n";
    TextCursor(line).Text(name).Text(" DllMain: ").Text(when);
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
