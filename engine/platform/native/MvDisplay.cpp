#include "MvDisplay.h"

#include "MvAssert.h"
#include "MvSdl.h"

#include <SDL_syswm.h>

#include <dlfcn.h>

namespace {

// Full screen on SDL 2 keeps the desktop's own mode and enlarges the picture to it, with
// its aspect kept; the window must then cover the desktop, which the window manager does
// when SDL asks it to. Without a window manager (a bare X server, a kiosk session) nobody
// does: the window keeps the picture's size at the screen's centre while SDL draws the
// enlarged picture into it, cut at the right and the bottom. Leaving full screen has the
// same gap the other way. This gives the window the size SDL draws for, through the X
// library SDL has loaded; with a window manager the window has it already and nothing is
// done.
void SizeX11Window(int width, int height, bool atOrigin)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) != 1 || info.subsystem != SDL_SYSWM_X11 || info.info.x11.display == nullptr)
        return;
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (x11 == nullptr)
        return;
    using GetAttributes = Status (*)(Display*, Window, XWindowAttributes*);
    using MoveResize = int (*)(Display*, Window, int, int, unsigned, unsigned);
    using Resize = int (*)(Display*, Window, unsigned, unsigned);
    using Sync = int (*)(Display*, Bool);
    const auto getAttributes = reinterpret_cast<GetAttributes>(dlsym(x11, "XGetWindowAttributes"));
    const auto moveResize = reinterpret_cast<MoveResize>(dlsym(x11, "XMoveResizeWindow"));
    const auto resize = reinterpret_cast<Resize>(dlsym(x11, "XResizeWindow"));
    const auto sync = reinterpret_cast<Sync>(dlsym(x11, "XSync"));
    if (getAttributes && moveResize && resize && sync) {
        Display* display = info.info.x11.display;
        const Window window = info.info.x11.window;
        if (info.info.x11.lock_func)
            info.info.x11.lock_func();
        XWindowAttributes attributes;
        if (getAttributes(display, window, &attributes) && (attributes.width != width || attributes.height != height)) {
            if (atOrigin)
                moveResize(display, window, 0, 0, unsigned(width), unsigned(height));
            else
                resize(display, window, unsigned(width), unsigned(height));
            sync(display, False);
        }
        if (info.info.x11.unlock_func)
            info.info.x11.unlock_func();
    }
    dlclose(x11);
}

// The desktop's size, read before a full-screen mode replaces it: SDL 2 reports the
// desktop's mode until then. False when SDL does not know it.
bool DesktopSize(int* width, int* height)
{
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (info == nullptr || info->current_w <= 0 || info->current_h <= 0)
        return false;
    *width = info->current_w;
    *height = info->current_h;
    return true;
}

// The desktop's size as SDL 2 found it when the program's first screen was opened.
int desktopWidth = 0;
int desktopHeight = 0;

// Sets the video mode, and on SDL 2 makes the outcome what SDL 1.2 gives: a full-screen
// picture larger than the desktop is refused, as SDL 1.2 finds no such mode, where SDL 2
// would shrink it and lose pixels; and the enlarged picture is drawn crisp (nearest
// pixel: MvSdl::Init sees to that) on a window that covers the desktop.
SDL_Surface* SetMode(int width, int height, int depth, Uint32 flags)
{
    if (!MvSdl::IsCompat())
        return SDL_SetVideoMode(width, height, depth, flags);
    const bool fullScreen = (flags & SDL_FULLSCREEN) != 0;
    if (fullScreen && desktopWidth > 0 && (width > desktopWidth || height > desktopHeight)) {
        SDL_SetError("the %d x %d desktop is smaller than %d x %d", desktopWidth, desktopHeight, width, height);
        return nullptr;
    }
    SDL_Surface* screen = SDL_SetVideoMode(width, height, depth, flags);
    if (screen != nullptr && (flags & SDL_OPENGL) == 0) {
        if (fullScreen && desktopWidth > 0)
            SizeX11Window(desktopWidth, desktopHeight, true);
        else if (!fullScreen)
            SizeX11Window(width, height, false);
    }
    return screen;
}

} // namespace

SDL_Surface* MvDisplay::OpenScreen(int width, int height, Uint32 flags)
{
    if (MvSdl::IsCompat() && SDL_GetVideoSurface() == nullptr)
        DesktopSize(&desktopWidth, &desktopHeight);
    return SetMode(width, height, 0, flags);
}

SDL_Surface* MvDisplay::ToggleFullScreen(SDL_Surface* screen)
{
    MvAssert(screen != nullptr);
    if (screen != SDL_GetVideoSurface())
        return screen;
    // The new mode keeps the size and the depth, so the stage's layout stays valid.
    const int width = screen->w;
    const int height = screen->h;
    const int depth = screen->format->BitsPerPixel;
    const Uint32 before = screen->flags & SDL_FULLSCREEN;
    // X11 switches in place; most other drivers need a new video mode. sdl12-compat
    // switches in place too, but without a window manager its window then keeps the size
    // of the mode before while SDL draws for the other: a new mode sets both.
    if (!MvSdl::IsCompat() && SDL_WM_ToggleFullScreen(screen) != 0)
        return screen;
    if (SDL_Surface* switched = SetMode(width, height, depth, before ^ SDL_FULLSCREEN))
        return switched;
    return SetMode(width, height, depth, before);
}

SDL_Surface* MvDisplay::CreateMemoryScreen(int width, int height)
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
}

bool MvDisplay::MustLock(const SDL_Surface* surface) { return SDL_MUSTLOCK(surface); }

void MvDisplay::Present(SDL_Surface* screen, SDL_Rect* areas, int count)
{
    MvAssert(count >= 0 && (areas != nullptr || count == 0));
    SDL_UpdateRects(screen, count, areas);
}
