// A batch's photographs decoded on a thread of their own, in order. The next
// is decoded only once the caller has let go of the pixels of the last one
// handed over: its decode then overlaps the writing of that one's masks, not
// its events, and one photograph's pixels are held at a time, so that a
// shoot's peak memory is a single photograph's.
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

    // The next photograph in order, waiting for its decode; none after the
    // last. Asking for it says the last one's pixels are gone.
    std::optional<ReadPhoto> Next();
    // The pixels of the last photograph handed over are gone, though its
    // masks may still be written: the next one may be decoded now.
    void Release();

private:
    void Read();

    const std::vector<std::string> photos_;
    const std::function<bool(const std::string&)> skip_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<ReadPhoto> ready_;
    bool finished_ = false;  // the reader has handed over its last photograph
    bool released_ = true;   // no pixels handed over are held any more
    bool stopping_ = false;
    std::thread thread_;
};

#endif
