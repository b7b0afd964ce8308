#ifndef GL_TEST_SUPPORT_H
#define GL_TEST_SUPPORT_H

// Helpers of the OpenGL tests: every test program runs against a private Xvfb (started
// once per process, before the first test) through SDL's X11 driver, so that a real
// OpenGL context (Mesa's software renderer) backs every test. GlScreenTest opens an
// SDL_OPENGL screen for each test and closes SDL after it; ReadScreen reads back what
// the last swap showed.

#include "MvColor.h"
#include "PaletteColors.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace gltest {

// An RGB picture read back from the screen or painted in software, row after row from
// the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<MvColor> pixels; // alpha unused

    const MvColor& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    MvColor& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

// What the OpenGL screen's window shows on the X server: the frame of the last
// SDL_GL_SwapBuffers.
Picture ReadScreen();

// The pixels of a 32-bit software surface (masks of any order).
Picture ReadSurface(SDL_Surface* surface);

// Success when both pictures have the same size and no channel of any pixel differs by
// more than tolerance; otherwise names how many pixels differ, the first and the worst.
testing::AssertionResult SamePicture(const Picture& expected, const Picture& actual, int tolerance);

// Writes picture as a PNG-less portable pixmap (P6) to path, for looking at a failure.
void SavePpm(const Picture& picture, const std::string& path);

// A test with an OpenGL screen of Width x Height open (SDL_SetVideoMode with SDL_OPENGL,
// double-buffered, the display's depth). The screen is closed with SDL after the test.
class GlScreenTest : public testing::Test {
protected:
    static const int Width = 160;
    static const int Height = 120;

    void SetUp() override;
    void TearDown() override;

    // The screen surface; its flags have SDL_OPENGL.
    SDL_Surface* Screen() const { return screen_; }

private:
    SDL_Surface* screen_ = nullptr;
};

} // namespace gltest

#endif
