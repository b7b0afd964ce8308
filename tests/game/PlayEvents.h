#ifndef PLAY_EVENTS_H
#define PLAY_EVENTS_H

// The events a player makes on the play screen, built as SDL delivers them.

#include <SDL.h>

#include <cstring>

// An event of type with every other field zero.
inline SDL_Event OfType(Uint8 type)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    return event;
}

// A key press (SDL_KEYDOWN) or release (SDL_KEYUP) of sym.
inline SDL_Event Key(Uint8 type, int sym)
{
    SDL_Event event = OfType(type);
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = static_cast<SDLKey>(sym);
    return event;
}

// Joystick axis motion to value.
inline SDL_Event Axis(int axis, int value)
{
    SDL_Event event = OfType(SDL_JOYAXISMOTION);
    event.jaxis.axis = static_cast<Uint8>(axis);
    event.jaxis.value = static_cast<Sint16>(value);
    return event;
}

// A joystick button press or release.
inline SDL_Event Button(Uint8 type, int button)
{
    SDL_Event event = OfType(type);
    event.jbutton.button = static_cast<Uint8>(button);
    return event;
}

#endif
