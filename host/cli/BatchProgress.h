// What a batch shows while it runs: on a terminal, one progress line
// rewritten in place (photos done of all, the current file, photos per
// minute, time left), whose last state stays; elsewhere a plain line per
// photograph, without control characters; with --quiet, neither. Errors
// get a line each, and a one-line summary always ends the batch. Writer
// threads report here too, so every call takes a lock.
#ifndef LUMACUT_HOST_BATCH_PROGRESS_H
#define LUMACUT_HOST_BATCH_PROGRESS_H

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>

class BatchProgress {
public:
    // `terminal`: standard error is one (TerminalShowsProgress()).
    BatchProgress(std::size_t total, bool quiet, bool terminal);

    void Started(const std::string& photo);
    void Written(const std::string& photo, const std::string& where, double milliseconds);
    void Skipped(const std::string& photo);
    // "lumacut-host: PHOTO: REASON", the photograph named once.
    void Failed(const std::string& photo, const std::string& reason);
    // A line about the whole batch, such as why it stops early.
    void Note(const std::string& message);

    // The summary line on standard output: written, skipped, failed, time,
    // and what an interrupt or an early stop left out.
    void Finish(bool interrupted);

    std::size_t FailedCount() const;

    // Whether standard error is a terminal, where a line may be rewritten.
    static bool TerminalShowsProgress();

private:
    void Redraw();           // the progress line, with the lock held
    void ClearLine();        // before another line goes to the terminal
    std::size_t Finished() const { return written_ + skipped_ + failed_; }

    mutable std::mutex mutex_;
    const std::size_t total_;
    const bool quiet_;
    const bool terminal_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::size_t written_ = 0, skipped_ = 0, failed_ = 0;
    std::string current_;
    std::size_t shown_ = 0;  // characters of the progress line on screen
};

#endif
