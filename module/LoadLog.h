// The module's load log: one line for every notification Windows sends the
// module, appended to a fixed file. Portable, so the line can be checked on
// every build; only DllMain.cpp is Windows-bound.
//
// Nothing here allocates: DllMain runs with no host known, when the module
// allocator cannot serve, and a library entry should not touch the heap.
#ifndef LUMACUT_MODULE_LOAD_LOG_H
#define LUMACUT_MODULE_LOAD_LOG_H

#include <cstddef>
#include <cstdint>
#include <ctime>

// The root of drive C:, as the log has always been written.
constexpr char kLoadLogPath[] = "C:\\LoadLogTextFormat.txt";

// Room for the longest line: "DLL_NOTIFICATION_4294967295 DllMain: " and a
// 25-character date text, with the terminating zero.
constexpr std::size_t kLoadLogLineCapacity = 80;

// The date text of a local time, exactly 25 characters with its line feed:
// "Sat Dec 04 17:41:59 2004\n" (the day always two digits). False, with the
// text emptied, when a field cannot be written in that form (a weekday or
// month outside its range, a year outside 0..9999, ...).
bool FormatLoadLogDate(const std::tm& local, char (&text)[26]);

// The name a notification is logged under: the five names Windows gives
// codes 0 to 4, and "DLL_NOTIFICATION_<code>" for any later code, written
// into `spare`.
const char* LoadLogReasonName(uint32_t reason, char (&spare)[32]);

// One whole log line, "<name> DllMain: <date text>". A null time, or one that
// cannot be written, gives "<name> DllMain: (local time unavailable)\n".
void FormatLoadLogLine(uint32_t reason, const std::tm* local, char (&line)[kLoadLogLineCapacity]);

// Opens `path` for appending in text mode ("a+"), writes the line of this
// notification at the current local time and closes the file. False when the
// file could not be opened or written; the caller does not need to care.
bool AppendLoadLogLine(const char* path, uint32_t reason) noexcept;

#endif
