#ifndef REPLAY_SCREENSHOT_H
#define REPLAY_SCREENSHOT_H

#include <SDL.h>

#include <string>

// The replay's screenshots. On the desktop they are PNG files; in the browser, which has
// no folder to write them to, the frame is shown on the page's canvas instead, so that
// whoever watches the replay sees the moments the script asked for.
class ReplayScreenshot {
public:
    // Writes the whole of screen (asserted not null, 32 bits per pixel) to path as an RGB
    // PNG picture, lossless and fast (MvPngImage::SaveSurface; in the browser: shows it).
    // False with *error (naming the file) set when it cannot be written.
    static bool Save(SDL_Surface* screen, const std::string& path, std::string* error);
};

#endif
