#include "BatchProgress.h"

#include <unistd.h>

#include <cstdio>

#include "CliPrint.h"

BatchProgress::BatchProgress(std::size_t total, bool quiet, bool terminal)
    : total_(total), quiet_(quiet), terminal_(terminal && !quiet) {}

bool BatchProgress::TerminalShowsProgress() { return isatty(2) != 0; }

void BatchProgress::Started(const std::string& photo) {
    std::lock_guard<std::mutex> lock(mutex_);
    current_ = photo;
    Redraw();
}

void BatchProgress::Written(const std::string& photo, const std::string& where, double milliseconds) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++written_;
    if (terminal_)
        Redraw();
    else if (!quiet_)
        Say(Format("[%zu/%zu] %s: %s written in %.1f ms", Finished(), total_, photo.c_str(), where.c_str(),
                   milliseconds));
}

void BatchProgress::Skipped(const std::string& photo) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++skipped_;
    if (terminal_)
        Redraw();
    else if (!quiet_)
        Say(Format("[%zu/%zu] %s: skipped, its outputs are all there", Finished(), total_, photo.c_str()));
}

void BatchProgress::Failed(const std::string& photo, const std::string& reason) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++failed_;
    ClearLine();
    // Most reasons already name the file; a run's status does not.
    Fail(0, reason.find(photo) != std::string::npos ? reason : photo + ": " + reason);
    Redraw();
}

void BatchProgress::Note(const std::string& message) {
    std::lock_guard<std::mutex> lock(mutex_);
    ClearLine();
    Fail(0, message);
    Redraw();
}

void BatchProgress::Finish(bool interrupted) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (terminal_ && shown_ > 0) std::fputc('\n', stderr);  // the last state stays on screen
    shown_ = 0;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::string summary = Format("%zu written, %zu skipped, %zu failed in %.1f s", written_, skipped_, failed_, seconds);
    if (interrupted || Finished() < total_)
        summary += Format("; %s, %zu not done", interrupted ? "interrupted" : "stopped early", total_ - Finished());
    Say(summary, SayEvenQuiet);
}

std::size_t BatchProgress::FailedCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_;
}

void BatchProgress::Redraw() {
    if (!terminal_) return;
    const double minutes = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count() / 60.0;
    // Skipped photographs cost nothing, so they do not count for the pace.
    const std::size_t done = written_ + failed_;
    std::string line = Format("[%zu/%zu] %s", Finished(), total_, current_.c_str());
    if (done > 0 && minutes > 0) {
        const double perMinute = static_cast<double>(done) / minutes;
        const auto left = static_cast<long>(static_cast<double>(total_ - Finished()) / perMinute * 60.0 + 0.5);
        line += Format("  %.1f photos/min, %ld:%02ld left", perMinute, left / 60, left % 60);
    }
    // Spaces over what is left of a longer line: plain characters, which
    // every console understands.
    const std::size_t length = line.size();
    if (length < shown_) line.append(shown_ - length, ' ');
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
    shown_ = length;
}

void BatchProgress::ClearLine() {
    if (!terminal_ || shown_ == 0) return;
    std::fprintf(stderr, "\r%s\r", std::string(shown_, ' ').c_str());
    shown_ = 0;
}
