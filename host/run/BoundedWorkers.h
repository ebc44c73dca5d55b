// Work handed from the host's thread to worker threads, with a bound on how
// much is in flight: each job holds a full-size image, and a 32-bit host has
// room for only a few of them.
#ifndef LUMACUT_HOST_BOUNDED_WORKERS_H
#define LUMACUT_HOST_BOUNDED_WORKERS_H

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class BoundedWorkers {
public:
    // A job returns why it failed, or an empty string when it did its work.
    using Job = std::function<std::string()>;

    // `threads` workers (at least one); as many jobs may be in flight,
    // submitted and not yet finished.
    explicit BoundedWorkers(unsigned threads);
    ~BoundedWorkers();  // finishes what was submitted
    BoundedWorkers(const BoundedWorkers&) = delete;
    BoundedWorkers& operator=(const BoundedWorkers&) = delete;

    // Waits while the bound is reached, then queues the job.
    void Submit(Job job);

    // Waits until a job could be submitted at once: a caller that makes a
    // job's image only after this holds no more images than the bound,
    // the one it is making included.
    void WaitForRoom();

    // True once any job has failed: the caller stops submitting.
    bool Failed() const;

    // Waits for every job submitted; the first failure, or an empty string.
    std::string Finish();

    // One per core the system reports, at least one.
    static unsigned DefaultThreads();

private:
    void Work();

    const unsigned limit_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    unsigned inFlight_ = 0;
    bool closing_ = false;
    std::string firstError_;
    std::vector<std::thread> threads_;
};

#endif
