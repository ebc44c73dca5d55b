#include "BoundedWorkers.h"

#include <exception>
#include <system_error>
#include <utility>

BoundedWorkers::BoundedWorkers(unsigned threads) : limit_(threads > 0 ? threads : 1) {
    // Fewer threads than asked for still do all the work; none cannot.
    try {
        for (unsigned i = 0; i < limit_; ++i) threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        if (threads_.empty()) throw;
    }
}

BoundedWorkers::~BoundedWorkers() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

unsigned BoundedWorkers::DefaultThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

void BoundedWorkers::Submit(Job job) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return inFlight_ < limit_; });
    ++inFlight_;
    queue_.push_back(std::move(job));
    changed_.notify_all();
}

void BoundedWorkers::WaitForRoom() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return inFlight_ < limit_; });
}

bool BoundedWorkers::Failed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !firstError_.empty();
}

std::string BoundedWorkers::Finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return inFlight_ == 0; });
    return firstError_;
}

void BoundedWorkers::Work() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return closing_ || !queue_.empty(); });
            // Closing waits for the queue to empty: nothing submitted is dropped.
            if (queue_.empty()) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        std::string error;
        // A job's exception (memory, most likely) is its failure; it must
        // not end the program from a thread nobody joins yet.
        try {
            error = job();
        } catch (const std::exception& failure) {
            error = std::string("out of resources: ") + failure.what();
        } catch (...) {
            error = "out of resources";
        }
        job = nullptr;  // its image goes before the next one may come in
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (firstError_.empty()) firstError_ = error;
            --inFlight_;
        }
        changed_.notify_all();
    }
}
