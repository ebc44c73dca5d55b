#include "CliPrint.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace {
std::mutex printing;
bool quietly = false;
}  // namespace

double Milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

void SetQuiet(bool quiet) { quietly = quiet; }

void Say(const std::string& line, SayWhen when) {
    std::lock_guard<std::mutex> lock(printing);
    if (quietly && when == SayUnlessQuiet) return;
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string Format(const char* format, ...) {
    va_list arguments, again;
    va_start(arguments, format);
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, again);
    va_end(again);
    text.resize(text.size() - 1);
    return text;
}

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "lumacut-host: %s\n", message.c_str());
    return status;
}
