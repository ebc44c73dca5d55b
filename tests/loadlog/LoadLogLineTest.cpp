// The load log's line, checked on every build: the name of each
// notification, the fixed 25-character date text, and the append itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "module/LoadLog.h"

namespace {
std::tm Time(int year, int month, int day, int hour, int minute, int second, int weekday) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    time.tm_wday = weekday;
    return time;
}

std::string Date(const std::tm& time) {
    char text[26];
    return FormatLoadLogDate(time, text) ? std::string(text) : std::string("(refused)");
}

std::string Line(uint32_t reason, const std::tm* time) {
    char line[kLoadLogLineCapacity];
    FormatLoadLogLine(reason, time, line);
    return line;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The platform's text mode: CR LF on Windows, LF elsewhere.
#ifdef _WIN32
const std::string kLineEnd = "\r\n";
#else
const std::string kLineEnd = "\n";
#endif

std::string TempPath(const char* name) {
    return testing::TempDir() + name;
}

TEST(LoadLogLine, NamesEveryNotificationAndSaysTheCodeOfUnknownOnes) {
    struct Case {
        uint32_t reason;
        const char* name;
    };
    const std::vector<Case> cases = {
        {0, "DLL_PROCESS_DETACH"},   {1, "DLL_PROCESS_ATTACH"},         {2, "DLL_THREAD_ATTACH"},
        {3, "DLL_THREAD_DETACH"},    {4, "DLL_PROCESS_VERIFIER"},       {5, "DLL_NOTIFICATION_5"},
        {6, "DLL_NOTIFICATION_6"},   {0x7FFFFFFF, "DLL_NOTIFICATION_2147483647"},
        {0xFFFFFFFF, "DLL_NOTIFICATION_4294967295"},
    };
    const std::tm time = Time(2004, 12, 4, 17, 41, 59, 6);
    for (const Case& c : cases) {
        char spare[32];
        EXPECT_STREQ(LoadLogReasonName(c.reason, spare), c.name);
        EXPECT_EQ(Line(c.reason, &time), std::string(c.name) + " DllMain: Sat Dec 04 17:41:59 2004\n");
    }
}

TEST(LoadLogLine, DateTextHasTwoDigitDayAndTimeAndFourDigitYear) {
    struct Case {
        std::tm time;
        const char* text;
    };
    const std::vector<Case> cases = {
        {Time(2004, 12, 4, 17, 41, 59, 6), "Sat Dec 04 17:41:59 2004\n"},
        {Time(2006, 1, 1, 0, 0, 0, 0), "Sun Jan 01 00:00:00 2006\n"},
        {Time(1999, 2, 9, 9, 5, 3, 2), "Tue Feb 09 09:05:03 1999\n"},
        {Time(2016, 12, 31, 23, 59, 60, 6), "Sat Dec 31 23:59:60 2016\n"},  // a leap second
        {Time(2038, 6, 30, 12, 30, 30, 3), "Wed Jun 30 12:30:30 2038\n"},
        {Time(999, 3, 15, 1, 2, 3, 1), "Mon Mar 15 01:02:03 0999\n"},
        {Time(9999, 11, 19, 22, 10, 0, 5), "Fri Nov 19 22:10:00 9999\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Date(c.time), c.text);
        EXPECT_EQ(std::string(c.text).size(), 25u);
    }
}

TEST(LoadLogLine, FieldsThatCannotBeWrittenGiveALineSayingTheTimeIsUnavailable) {
    struct Case {
        const char* what;
        std::tm time;
    };
    const std::vector<Case> cases = {
        {"weekday 7", Time(2004, 12, 4, 17, 41, 59, 7)},  {"weekday -1", Time(2004, 12, 4, 17, 41, 59, -1)},
        {"month 13", Time(2004, 13, 4, 17, 41, 59, 6)},   {"month 0", Time(2004, 0, 4, 17, 41, 59, 6)},
        {"day 0", Time(2004, 12, 0, 17, 41, 59, 6)},      {"day 32", Time(2004, 12, 32, 17, 41, 59, 6)},
        {"hour 24", Time(2004, 12, 4, 24, 41, 59, 6)},    {"minute 60", Time(2004, 12, 4, 17, 60, 59, 6)},
        {"second 61", Time(2004, 12, 4, 17, 41, 61, 6)},  {"year 10000", Time(10000, 12, 4, 17, 41, 59, 6)},
        {"year -1", Time(-1, 12, 4, 17, 41, 59, 6)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Date(c.time), "(refused)") << c.what;
        EXPECT_EQ(Line(1, &c.time), "DLL_PROCESS_ATTACH DllMain: (local time unavailable)\n") << c.what;
    }
    EXPECT_EQ(Line(0, nullptr), "DLL_PROCESS_DETACH DllMain: (local time unavailable)\n");
    EXPECT_EQ(Line(9, nullptr), "DLL_NOTIFICATION_9 DllMain: (local time unavailable)\n");
}

// strftime's "%a %b %d %H:%M:%S %Y" in the C locale writes the same fields
// with the same padding: an independent check over thirty years of times.
TEST(LoadLogLine, DateTextAgreesWithTheCLibraryOverManyLocalTimes) {
    int compared = 0;
    for (std::time_t when = 946684800; when < 1893456000; when += 37 * 3600 + 1234) {
        const std::tm* local = std::localtime(&when);
        ASSERT_NE(local, nullptr);
        char expected[64];
        ASSERT_GT(std::strftime(expected, sizeof expected, "%a %b %d %H:%M:%S %Y\n", local), 0u);
        ASSERT_EQ(Date(*local), expected) << "at " << static_cast<long long>(when);
        ++compared;
    }
    EXPECT_GT(compared, 5000);
}

TEST(LoadLogLine, AppendCreatesTheFileAndAddsOneTextLinePerNotification) {
    const std::string path = TempPath("lumacut-loadlog-append.txt");
    std::remove(path.c_str());
    const std::time_t before = std::time(nullptr);
    ASSERT_TRUE(AppendLoadLogLine(path.c_str(), 1));
    ASSERT_TRUE(AppendLoadLogLine(path.c_str(), 2));
    ASSERT_TRUE(AppendLoadLogLine(path.c_str(), 7));
    const std::time_t after = std::time(nullptr);

    const std::string bytes = ReadBytes(path);
    const std::vector<std::string> names = {"DLL_PROCESS_ATTACH", "DLL_THREAD_ATTACH", "DLL_NOTIFICATION_7"};
    std::size_t at = 0;
    for (const std::string& name : names) {
        const std::size_t end = bytes.find(kLineEnd, at);
        ASSERT_NE(end, std::string::npos) << bytes;
        const std::string line = bytes.substr(at, end - at);
        ASSERT_EQ(line.substr(0, name.size() + 10), name + " DllMain: ") << line;
        const std::string date = line.substr(name.size() + 10) + "\n";
        // The line holds the time of the append: one of the seconds the
        // appends took.
        bool matched = false;
        for (std::time_t second = before; second <= after && !matched; ++second)
            matched = Date(*std::localtime(&second)) == date;
        EXPECT_TRUE(matched) << line;
        at = end + kLineEnd.size();
    }
    EXPECT_EQ(at, bytes.size()) << "nothing but the three lines";
    std::remove(path.c_str());
}

TEST(LoadLogLine, AppendKeepsWhatTheFileHeldAndFailsQuietlyWhereItCannotWrite) {
    const std::string path = TempPath("lumacut-loadlog-keep.txt");
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << "earlier line" << kLineEnd;
    }
    ASSERT_TRUE(AppendLoadLogLine(path.c_str(), 0));
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.rfind("earlier line" + kLineEnd + "DLL_PROCESS_DETACH DllMain: ", 0), 0u) << bytes;
    std::remove(path.c_str());

    const std::string unreachable = TempPath("no-such-folder/lumacut-loadlog.txt");
    EXPECT_FALSE(AppendLoadLogLine(unreachable.c_str(), 1));
    EXPECT_FALSE(std::ifstream(unreachable).good());
}
}  // namespace
