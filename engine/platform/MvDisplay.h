#ifndef MV_DISPLAY_H
#define MV_DISPLAY_H

#include <SDL.h>

/// The platform's display: opening the program's screen, making memory screens the
/// painters can draw on, and showing painted areas. A desktop build calls SDL 1.2
/// directly. The browser build draws into a page's canvas through the browser's SDL, which
/// lays its 32-bit pixels out as red, green, blue, alpha bytes without describing that
/// layout in the pixel format and shows the pixels only when told to; there this class
/// describes the format and copies painted areas onto the canvas. Everything else in the
/// engine and in a program sees the same SDL surfaces on both.
class MvDisplay {
public:
    /// The program's screen of width x height pixels in the display's own depth, or null
    /// with SDL's error set. flags are SDL_SetVideoMode's; in the browser SDL_FULLSCREEN is
    /// ignored (full screen is the page's to ask for, after a click).
    static SDL_Surface* OpenScreen(int width, int height, Uint32 flags);

    /// Switches the program's screen between full screen and a window of the same size,
    /// and returns the screen to paint on afterwards: the same surface when the display
    /// switched it in place, a new one when a new video mode had to be set (then the old
    /// one is gone). When the other mode cannot be set, the mode before is set again (a
    /// new surface too); null, with SDL's error set, when neither can be set. A surface
    /// that is not the display's (a memory screen) has nothing to switch and is returned
    /// as it is. In the browser the page is asked to show or leave full screen and the
    /// surface stays. Either way its pixels may be lost: tell the stage
    /// (MvStage::ReplaceScreen). Asserts screen is not null.
    static SDL_Surface* ToggleFullScreen(SDL_Surface* screen);

    /// A black 32-bit surface in memory without alpha, in the display's layout (on the
    /// desktop red in bits 16 to 23, green in 8 to 15, blue in 0 to 7; in the browser red,
    /// green, blue bytes in that order), for drawing without a display; free it with
    /// SDL_FreeSurface. Null with SDL's error set when there is no memory for it.
    static SDL_Surface* CreateMemoryScreen(int width, int height);

    /// Whether surface must be locked before its pixels are touched, as SDL_MUSTLOCK says
    /// on the desktop. The browser's SDL says so of every surface, as it would copy the
    /// canvas into the pixels on locking; surfaces here keep their pixels themselves and
    /// are shown by Present, so none needs it.
    static bool MustLock(const SDL_Surface* surface);

    /// Shows count areas of screen (the surface OpenScreen returned, unlocked) on the
    /// display, as SDL_UpdateRects does. Asserts count >= 0 and areas is not null when
    /// count > 0.
    static void Present(SDL_Surface* screen, SDL_Rect* areas, int count);
};

#endif
