// run on several photographs: the plug-in is loaded once and runs on one
// photograph after another on this thread, each on a document of its own,
// as a host's batch command plays an action over a folder. The masks go to
// writer threads; once a photograph's last run is played its pixels are let
// go and the next is decoded (ReadAhead), and its last writes overlap the
// next one's first run: both cores stay busy, and one photograph and a
// bounded number of masks are held.
#include <chrono>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "BatchInputs.h"
#include "BatchProgress.h"
#include "host/common/OutputFiles.h"
#include "CliOutputs.h"
#include "CliPrint.h"
#include "host/run/Interrupt.h"
#include "MaskCommands.h"
#include "host/run/ReadAhead.h"
#include "RunReport.h"
#include "host/engine/LuminosityCache.h"
#include "host/pictures/ContactSheet.h"
#include "host/run/BoundedWorkers.h"

namespace {
using Clock = std::chrono::steady_clock;

// A full disk or a folder that refuses every file fails each photograph the
// same way: after this many in a row, going on would only say it again.
constexpr int kSameWriteFailuresToStop = 3;

// The reason of a write's error, without the file it names: "cannot write
// out/a.png: No space left on device" -> "No space left on device".
std::string ReasonOf(const std::string& error) {
    const std::size_t colon = error.rfind(": ");
    return colon == std::string::npos ? error : error.substr(colon + 2);
}

class WriteStreak {
public:
    void Record(const std::string& error) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (error.empty()) {
            count_ = 0;
        } else {
            count_ = ReasonOf(error) == reason_ ? count_ + 1 : 1;
            reason_ = ReasonOf(error);
        }
    }
    // The message to stop with, or an empty string to go on.
    std::string StopMessage() const {
        std::lock_guard<std::mutex> lock(mutex_);
        if (count_ < kSameWriteFailuresToStop) return std::string();
        return Format("stopping: %d photographs in a row could not be written, all for the same reason: %s",
                      count_, reason_.c_str());
    }

private:
    mutable std::mutex mutex_;
    int count_ = 0;
    std::string reason_;
};

// A photograph's writes, on whichever writer threads they run: the last to
// finish reports the photograph as written, or its first error.
class PhotoWrites {
public:
    PhotoWrites(BatchProgress& progress, WriteStreak& streak, std::string photo, std::string where)
        : progress_(progress), streak_(streak), photo_(std::move(photo)), where_(std::move(where)) {}

    void Add() {
        std::lock_guard<std::mutex> lock(mutex_);
        ++pending_;
    }
    void Done(const std::string& error) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (error_.empty()) error_ = error;
        --pending_;
        ReportIfLast(lock);
    }
    // Every write has been added; `abandoned` when a run failed and has
    // been reported: the writes already added finish unreported.
    void Seal(bool abandoned) {
        std::unique_lock<std::mutex> lock(mutex_);
        sealed_ = true;
        abandoned_ = abandoned;
        ReportIfLast(lock);
    }

private:
    void ReportIfLast(std::unique_lock<std::mutex>& lock) {
        if (!sealed_ || pending_ > 0 || abandoned_) return;
        const std::string error = error_;
        lock.unlock();
        streak_.Record(error);
        if (error.empty())
            progress_.Written(photo_, where_, Milliseconds(Clock::now() - start_));
        else
            progress_.Failed(photo_, error);
    }

    BatchProgress& progress_;
    WriteStreak& streak_;
    const std::string photo_, where_;
    const Clock::time_point start_ = Clock::now();
    std::mutex mutex_;
    int pending_ = 0;
    bool sealed_ = false, abandoned_ = false;
    std::string error_;
};

// Nothing said per file: the photograph gets one line once all are in place.
const DoneLine kSilent = [](double) { return std::string(); };

struct Batch {
    const PluginModule& module;
    const CommandLine& line;
    const MaskInputs& inputs;
    BatchProgress& progress;
    WriteStreak& streak;
    BoundedWorkers& writers;
    ReadAhead& reader;
    std::vector<BoundedWorkers::Job> held{};  // the last photograph's writes not yet submitted

    // False when a plug-in run failed (said).
    bool Photo(ReadPhoto& read) {
        const std::vector<std::string> outputs = OutputsOf(line, read.path);
        const std::string where = line.all ? PhotoFolderOf(line, read.path) : outputs[0];
        if (line.all) {
            std::error_code failure;
            std::filesystem::create_directory(where, failure);
            if (failure) {
                const std::string error = "cannot make " + where + ": " + failure.message();
                streak.Record(error);
                progress.Failed(read.path, error);
                return true;
            }
        }
        auto writes = std::make_shared<PhotoWrites>(progress, streak, read.path, where);
        std::vector<SheetTile> tiles{{"Photograph", ScaledForSheet(read.planes)}};
        const std::vector<int32_t> modes = line.all ? AllModes() : std::vector<int32_t>{line.mode};
        for (std::size_t i = 0; i < modes.size(); ++i) {
            const RunSettings settings{line.dialog ? 1 : 0, line.all ? ModeParameters(modes[i]) : inputs.parameters};
            RecordedRun recorded = RunOnImage(module, read.planes, settings);
            if (i + 1 == modes.size()) LetGoOfPixels(read);
            const std::string label = RunLabel(modes[i]);
            if (line.verbose) PrintEvents(label, recorded.run);
            const std::string fault = RunFault(label, recorded.run);
            if (!fault.empty()) {
                progress.Failed(read.path, fault);
                writes->Seal(true);
                return false;
            }
            const Plane& selection = recorded.run.selection;
            if (line.all) tiles.push_back({ModeCaption(modes[i]), ScaledForSheet({selection, selection, selection})});
            writes->Add();
            // Moved, not copied: a 24-megapixel mask is as large as a channel.
            BoundedWorkers::Job write = [writes, path = outputs[i], mask = std::move(recorded.run.selection)] {
                writes->Done(WriteMaskPicture(path, mask, kSilent));
                return std::string();  // the photograph's failure, not the batch's
            };
            if (i + 1 == modes.size())
                held.push_back(std::move(write));
            else
                writers.Submit(std::move(write));
        }
        if (line.all) {
            writes->Add();
            held.push_back([writes, path = outputs.back(), tiles = std::move(tiles)] {
                std::string error;
                try {
                    error = WritePicture(path, MakeContactSheet(tiles), kSilent);
                } catch (const std::length_error& tooLarge) {
                    error = path + ": " + tooLarge.what();
                }
                writes->Done(error);
                return std::string();
            });
        }
        writes->Seal(false);
        return true;
    }

    // The runs are over: the photograph's pixels, and the luminosity made
    // from them, are given back before the next photograph is decoded.
    void LetGoOfPixels(ReadPhoto& read) {
        read.planes = RgbPlanes();
        ForgetCachedLuminosity();
        reader.Release();
    }

    // The photograph's last writes wait for the next one's decode, which
    // keeps both cores busy by itself; they then overlap the next one's
    // first run, which would otherwise leave a core idle.
    void SubmitHeldWrites() {
        for (BoundedWorkers::Job& write : held) writers.Submit(std::move(write));
        held.clear();
    }

    static std::vector<int32_t> AllModes() {
        std::vector<int32_t> modes;
        for (int32_t mode = kFirstMode; mode <= kLastMode; ++mode) modes.push_back(mode);
        return modes;
    }
};
}  // namespace

int MaskBatch(const PluginModule& module, const CommandLine& line, const MaskInputs& inputs,
              const std::vector<std::string>& photos) {
    CatchInterrupts();
    if (int status = MakeOutFolder(line.outDir)) return status;
    BatchProgress progress(photos.size(), line.quiet, BatchProgress::TerminalShowsProgress());
    WriteStreak streak;
    bool runFailed = false;
    std::string stopped;
    {
        BoundedWorkers writers(BoundedWorkers::DefaultThreads());
        // Checked on the reading thread, just before its photograph is due.
        ReadAhead reader(photos, [&](const std::string& photo) {
            return line.skipExisting && OutputsExist(OutputsOf(line, photo));
        });
        Batch batch{module, line, inputs, progress, streak, writers, reader};
        for (;;) {
            std::optional<ReadPhoto> read = reader.Next();
            batch.SubmitHeldWrites();
            if (!read || Interrupted()) break;
            stopped = streak.StopMessage();
            if (!stopped.empty()) break;
            if (read->skipped) {
                progress.Skipped(read->path);
            } else if (!read->error.empty()) {
                progress.Failed(read->path, read->error);
            } else {
                progress.Started(read->path);
                try {
                    runFailed |= !batch.Photo(*read);
                } catch (const std::exception& failure) {
                    progress.Failed(read->path, std::string("out of memory: ") + failure.what());
                }
            }
        }
        writers.Finish();
    }
    // Said once the writes in flight have reported too, as the last word.
    if (!stopped.empty()) progress.Note(streak.StopMessage());
    const bool interrupted = Interrupted();
    progress.Finish(interrupted);
    if (interrupted) return kExitInterrupted;
    if (runFailed) return kExitRunFailed;
    return progress.FailedCount() > 0 ? kExitInputOutput : kExitOk;
}
