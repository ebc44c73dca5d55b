#include "ReadAhead.h"

#include <chrono>
#include <exception>
#include <utility>

#include "host/image/ImageFile.h"

namespace {
ReadPhoto ReadOne(const std::string& path) {
    ReadPhoto read;
    read.path = path;
    const auto start = std::chrono::steady_clock::now();
    try {
        ReadImageFile(path, read.planes, read.error);
    } catch (const std::exception& failure) {
        // A photograph within the size limit that still finds no memory.
        read.error = path + ": out of memory (" + failure.what() + ")";
    }
    if (!read.error.empty()) read.planes = RgbPlanes();
    read.readMilliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return read;
}
}  // namespace

ReadAhead::ReadAhead(std::vector<std::string> photos, std::function<bool(const std::string&)> skip)
    : photos_(std::move(photos)), skip_(std::move(skip)), thread_([this] { Read(); }) {}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

std::optional<ReadPhoto> ReadAhead::Next() {
    std::unique_lock<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return ready_.has_value() || finished_; });
    std::optional<ReadPhoto> next = std::move(ready_);
    ready_.reset();
    // A photograph skipped or not read holds no pixels to wait for.
    released_ = !next || next->planes.red.Empty();
    changed_.notify_all();
    return next;
}

void ReadAhead::Release() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
    }
    changed_.notify_all();
}

void ReadAhead::Read() {
    for (const std::string& path : photos_) {
        {
            // Only once the last one read has been taken and its pixels let go.
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return (!ready_.has_value() && released_) || stopping_; });
            if (stopping_) return;
        }
        ReadPhoto read;
        if (skip_(path)) {
            read.path = path;
            read.skipped = true;
        } else {
            read = ReadOne(path);
        }
        std::lock_guard<std::mutex> lock(mutex_);
        ready_ = std::move(read);
        changed_.notify_all();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}
