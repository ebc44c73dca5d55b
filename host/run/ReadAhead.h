// A batch's photographs decoded on a thread of their own, one ahead of the
// photograph whose runs go on: the next decode overlaps this one's events
// and writing, and at most two photographs are held at once.
#ifndef LUMACUT_HOST_READ_AHEAD_H
#define LUMACUT_HOST_READ_AHEAD_H

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "host/engine/Document.h"

struct ReadPhoto {
    std::string path;
    bool skipped = false;  // left out (--skip-existing): not read
    RgbPlanes planes;      // empty when skipped or not read
    std::string error;     // why it could not be read
    double readMilliseconds = 0;
};

class ReadAhead {
public:
    // `skip` says, on the reading thread, whether a photograph is left out.
    ReadAhead(std::vector<std::string> photos, std::function<bool(const std::string&)> skip);
    ~ReadAhead();  // stops reading and waits for the thread
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next photograph in order, waiting for its decode; none after the last.
    std::optional<ReadPhoto> Next();

private:
    void Read();

    const std::vector<std::string> photos_;
    const std::function<bool(const std::string&)> skip_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<ReadPhoto> ready_;
    bool finished_ = false;  // the reader has handed over its last photograph
    bool stopping_ = false;
    std::thread thread_;
};

#endif
