#ifndef WATCHDOG_H
#define WATCHDOG_H

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

// Ends the test program with a message when a test that waits for events has not
// finished within the limit, so a loop that fails to end fails the run instead of
// blocking it. Disarmed when it ends in time.
class Watchdog {
public:
    Watchdog(const char* what, int seconds)
        : thread_([this, what, seconds] {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!cv_.wait_for(lock, std::chrono::seconds(seconds), [this] { return disarmed_; })) {
                std::fprintf(stderr, "%s did not end within %d seconds\n", what, seconds);
                std::fflush(stderr);
                std::_Exit(3);
            }
        })
    {
    }

    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            disarmed_ = true;
        }
        cv_.notify_one();
        thread_.join();
    }

    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool disarmed_ = false;
    std::thread thread_;
};

#endif
