#include "GlTestSupport.h"

#include "XvfbServer.h"

#include <GL/gl.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <cstdlib>
#include <memory>

namespace gltest {

namespace {

// One private X server per test process, up before the first test and ended after the
// last: SDL's X11 driver and Mesa's GLX reach it through DISPLAY.
class XvfbEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        std::string error;
        if (!server_.Start(640, 480, 24, 20000, &error)) {
            std::fprintf(stderr, "cannot start Xvfb: %s\n", error.c_str());
            std::abort();
        }
        setenv("DISPLAY", server_.DisplayName().c_str(), 1);
        // Mesa loads its driver when SDL opens a screen and unloads it when SDL quits; kept
        // loaded, the driver's own lasting allocations stay attributable, so the leak
        // checker's suppressions can name it.
        dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_LAZY | RTLD_NODELETE);
        // Without this SDL 1.2 falls back to another driver when X cannot be reached.
        setenv("SDL_VIDEODRIVER", "x11", 1);
    }
    void TearDown() override { server_.Stop(); }

private:
    XvfbServer server_;
};

testing::Environment* const xvfb = testing::AddGlobalTestEnvironment(new XvfbEnvironment);

} // namespace

Picture ReadScreen()
{
    // What the X server shows in the program's window: after a swap that is the frame,
    // however the driver keeps its buffers.
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    Picture picture;
    if (SDL_GetWMInfo(&info) != 1 || info.subsystem != SDL_SYSWM_X11) {
        ADD_FAILURE() << "no X11 window to read";
        return picture;
    }
    SDL_Surface* screen = SDL_GetVideoSurface();
    picture.width = screen->w;
    picture.height = screen->h;
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    glFinish();
    info.info.x11.lock_func();
    XSync(info.info.x11.display, False);
    XImage* image = XGetImage(info.info.x11.display, info.info.x11.window, 0, 0, unsigned(picture.width),
                              unsigned(picture.height), AllPlanes, ZPixmap);
    info.info.x11.unlock_func();
    if (image == nullptr) {
        ADD_FAILURE() << "XGetImage failed";
        return picture;
    }
    // The channel of a pixel value under one of the image's masks, scaled to 8 bits.
    auto channel = [](unsigned long value, unsigned long mask) {
        int shift = 0;
        while (mask != 0 && !(mask & 1)) {
            mask >>= 1;
            value >>= 1;
            ++shift;
        }
        const unsigned long part = value & mask;
        return mask == 0 ? 0 : int(part * 255 / mask);
    };
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned long value = XGetPixel(image, x, y);
            picture.At(x, y) = Rgba(channel(value, image->red_mask), channel(value, image->green_mask),
                                    channel(value, image->blue_mask), 255);
        }
    }
    XDestroyImage(image);
    return picture;
}

Picture ReadSurface(SDL_Surface* surface)
{
    Picture picture;
    picture.width = surface->w;
    picture.height = surface->h;
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    const SDL_PixelFormat* format = surface->format;
    for (int y = 0; y < picture.height; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const uint8_t*>(surface->pixels) +
                                                            static_cast<size_t>(y) * surface->pitch);
        for (int x = 0; x < picture.width; ++x) {
            Uint8 r, g, b;
            SDL_GetRGB(row[x], const_cast<SDL_PixelFormat*>(format), &r, &g, &b);
            picture.At(x, y) = Rgba(r, g, b, 255);
        }
    }
    return picture;
}

testing::AssertionResult SamePicture(const Picture& expected, const Picture& actual, int tolerance)
{
    if (expected.width != actual.width || expected.height != actual.height)
        return testing::AssertionFailure() << "sizes differ: " << expected.width << "x" << expected.height << " and "
                                           << actual.width << "x" << actual.height;
    int wrong = 0;
    int worst = -1;
    std::string first, worstText;
    auto describe = [](int x, int y, const MvColor& e, const MvColor& a) {
        char text[128];
        std::snprintf(text, sizeof text, "(%d, %d): expected %d,%d,%d got %d,%d,%d", x, y, e.red, e.green, e.blue,
                      a.red, a.green, a.blue);
        return std::string(text);
    };
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            const MvColor& e = expected.At(x, y);
            const MvColor& a = actual.At(x, y);
            const int d = std::max({std::abs(e.red - a.red), std::abs(e.green - a.green), std::abs(e.blue - a.blue)});
            if (d <= tolerance)
                continue;
            if (wrong++ == 0)
                first = describe(x, y, e, a);
            if (d > worst) {
                worst = d;
                worstText = describe(x, y, e, a);
            }
        }
    }
    if (wrong == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << wrong << " pixels differ by more than " << tolerance << "; first " << first
                                       << "; worst (" << worst << ") " << worstText;
}

void SavePpm(const Picture& picture, const std::string& path)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file)
        return;
    std::fprintf(file.get(), "P6\n%d %d\n255\n", picture.width, picture.height);
    for (const MvColor& c : picture.pixels) {
        const uint8_t rgb[3] = {c.red, c.green, c.blue};
        std::fwrite(rgb, 1, 3, file.get());
    }
}

void GlScreenTest::SetUp()
{
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    screen_ = SDL_SetVideoMode(Width, Height, 0, SDL_OPENGL);
    ASSERT_NE(screen_, nullptr) << SDL_GetError();
    ASSERT_TRUE(screen_->flags & SDL_OPENGL);
}

void GlScreenTest::TearDown()
{
    screen_ = nullptr;
    SDL_Quit();
}

} // namespace gltest
