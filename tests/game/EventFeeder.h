#ifndef EVENT_FEEDER_H
#define EVENT_FEEDER_H

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <thread>

// Pushes one event into SDL's queue every few milliseconds from a thread of its own,
// until it ends: input that keeps coming, for code that discards what was queued before
// it started waiting.
class EventFeeder {
public:
    EventFeeder(SDL_Event event, int everyMs)
        : thread_([this, event, everyMs] {
            while (!stop_) {
                SDL_Event copy = event;
                SDL_PushEvent(&copy);
                std::this_thread::sleep_for(std::chrono::milliseconds(everyMs));
            }
        })
    {
    }

    ~EventFeeder()
    {
        stop_ = true;
        thread_.join();
    }

    EventFeeder(const EventFeeder&) = delete;
    EventFeeder& operator=(const EventFeeder&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

#endif
