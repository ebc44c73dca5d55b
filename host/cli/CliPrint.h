// How lumacut-host talks to the person running it: whole lines on standard
// output, one-line refusals on standard error, times in milliseconds.
#ifndef LUMACUT_HOST_CLI_PRINT_H
#define LUMACUT_HOST_CLI_PRINT_H

#include <chrono>
#include <string>

double Milliseconds(std::chrono::steady_clock::duration duration);

// One line on standard output. The host's thread and the writers both
// print; a line is never split. --quiet keeps all but a batch's summary.
enum SayWhen { SayUnlessQuiet, SayEvenQuiet };
void Say(const std::string& line, SayWhen when = SayUnlessQuiet);
void SetQuiet(bool quiet);

// printf into a string. gnu_printf: mingw's C++ runtime formats as glibc
// does (%zu), not as msvcrt.
std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

// "lumacut-host: MESSAGE" on standard error; returns `status`, the exit
// status that goes with it.
int Fail(int status, const std::string& message);

#endif
