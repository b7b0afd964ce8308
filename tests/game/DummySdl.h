#ifndef DUMMY_SDL_H
#define DUMMY_SDL_H

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <vector>

// SDL started headless for one test: the dummy video driver (which brings the event
// queue) and the dummy audio driver, plus the timer. The queue starts empty, and SDL is
// shut down again, ending any timer a test started, when this object ends.
class DummySdl {
public:
    DummySdl()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        started_ = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_NOPARACHUTE) == 0;
        DrainEvents();
    }
    ~DummySdl() { SDL_Quit(); }

    DummySdl(const DummySdl&) = delete;
    DummySdl& operator=(const DummySdl&) = delete;

    bool Started() const { return started_; }

    // Takes every event out of the queue and returns them in order.
    static std::vector<SDL_Event> DrainEvents()
    {
        std::vector<SDL_Event> events;
        SDL_Event event;
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_ALLEVENTS) == 1)
            events.push_back(event);
        return events;
    }

    static SDL_Event KeyDown(int sym) { return Key(SDL_KEYDOWN, SDL_PRESSED, sym); }
    static SDL_Event KeyUp(int sym) { return Key(SDL_KEYUP, SDL_RELEASED, sym); }
    static SDL_Event Quit() { return OfType(SDL_QUIT); }
    static SDL_Event OfType(Uint8 type)
    {
        SDL_Event event;
        std::memset(&event, 0, sizeof event);
        event.type = type;
        return event;
    }

private:
    static SDL_Event Key(Uint8 type, Uint8 state, int sym)
    {
        SDL_Event event = OfType(type);
        event.key.state = state;
        event.key.keysym.sym = static_cast<SDLKey>(sym);
        return event;
    }

    bool started_ = false;
};

#endif
