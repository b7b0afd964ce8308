#include "GameOnXvfb.h"

#include "Clock.h"

#include <fstream>
#include <iterator>
#include <string>

void GameOnXvfb::SetUp()
{
    std::string error;
    ASSERT_TRUE(server_.Start(Width(), Height(), Depth(), ServerStartMs, &error)) << error;
    ASSERT_TRUE(x_.Open(server_.DisplayName(), &error)) << error;
}

testing::AssertionResult GameOnXvfb::StartGame(const char* audioDriver, const char* videoDriver, const char* folder)
{
    std::string error;
    GameProcess::Environment env = {
        {"DISPLAY", server_.DisplayName()},
        {"SDL_VIDEODRIVER", videoDriver},
        {"SDL_AUDIODRIVER", audioDriver},
        // Read by sanitizer builds only: leaks inside the system libraries are not ours.
        {"LSAN_OPTIONS", std::string("suppressions=") + MOVO_LSAN_SUPPRESSIONS + ":print_suppressions=0"},
    };
    env.insert(env.end(), extraEnvironment_.begin(), extraEnvironment_.end());
    // The shell replaces itself with the game, so the process is the game's own.
    const bool started = errorFile_.empty()
                             ? game_.Start(MOVO_GAME_PROGRAM, folder, env, &error)
                             : game_.Start("/bin/sh", {"-c", "exec \"$0\" 2>\"$1\"", MOVO_GAME_PROGRAM, errorFile_},
                                           folder, env, &error);
    if (!started)
        return testing::AssertionFailure() << error;
    return testing::AssertionSuccess();
}

testing::AssertionResult GameOnXvfb::WaitForGameWindow()
{
    window_ = x_.WaitForWindow(Caption, WindowMs);
    if (!window_)
        return testing::AssertionFailure() << "no window titled \"" << Caption << "\" appeared; output:\n"
                                           << game_.Output();
    if (!x_.WaitUntilViewable(window_, WindowMs))
        return testing::AssertionFailure() << "the game window was never mapped; output:\n" << game_.Output();
    return testing::AssertionSuccess();
}

testing::AssertionResult GameOnXvfb::FindGamePicture()
{
    int left = 0, top = 0, width = 0, height = 0;
    if (!x_.WindowArea(x_.VisibleWindowAt(Width() / 2, Height() / 2), &left, &top, &width, &height))
        return testing::AssertionFailure() << "the window at the screen's centre vanished";
    if (width < PictureWidth || height < PictureHeight)
        return testing::AssertionFailure() << "the window at the screen's centre is " << width << " x " << height
                                           << ", smaller than the " << PictureWidth << " x " << PictureHeight
                                           << " picture";
    PicturePlace place;
    if (width == PictureWidth && height == PictureHeight) {
        place = {left, top, width, height};
    } else {
        // Enlarged as far as the window allows with the aspect kept, centred.
        if (width * PictureHeight <= height * PictureWidth) {
            place.width = width;
            place.height = width * PictureHeight / PictureWidth;
        } else {
            place.height = height;
            place.width = height * PictureWidth / PictureHeight;
        }
        place.left = left + (width - place.width) / 2;
        place.top = top + (height - place.height) / 2;
    }
    if (place.left < 0 || place.top < 0 || place.left + place.width > Width() || place.top + place.height > Height())
        return testing::AssertionFailure() << "the " << place.width << " x " << place.height << " picture at ("
                                           << place.left << ", " << place.top << ") is not all on the " << Width()
                                           << " x " << Height() << " screen";
    picture_ = place;
    return testing::AssertionSuccess();
}

Screenshot GameOnXvfb::PictureIn(const Screenshot& shot, const PicturePlace& place)
{
    if (place.width == PictureWidth && place.height == PictureHeight)
        return shot.Part(place.left, place.top, PictureWidth, PictureHeight);
    // Every picture pixel covers one or more screen pixels; its centre falls on one of them.
    Screenshot picture = shot.Part(0, 0, PictureWidth, PictureHeight);
    for (int y = 0; y < PictureHeight; ++y) {
        const int sy = place.top + (2 * y + 1) * place.height / (2 * PictureHeight);
        for (int x = 0; x < PictureWidth; ++x) {
            const int sx = place.left + (2 * x + 1) * place.width / (2 * PictureWidth);
            picture.Set(x, y, shot.At(sx, sy));
        }
    }
    return picture;
}

testing::AssertionResult GameOnXvfb::CaptureGamePicture(Screenshot* picture)
{
    Screenshot shot;
    std::string error;
    if (!x_.CaptureScreen(&shot, &error))
        return testing::AssertionFailure() << error;
    *picture = PictureIn(shot, picture_);
    return testing::AssertionSuccess();
}

testing::AssertionResult GameOnXvfb::SendUntil(const std::function<void()>& send,
                                               const std::function<bool(int)>& effect, const char* what)
{
    const Clock::time_point deadline = Deadline(ScreenMs);
    do {
        send();
        if (effect(RetryMs))
            return testing::AssertionSuccess();
    } while (Clock::now() < deadline);
    return testing::AssertionFailure() << what << " had no effect within " << ScreenMs << " ms; output:\n"
                                       << game_.Output();
}

testing::AssertionResult GameOnXvfb::WaitForScreen(int screen)
{
    if (!game_.WaitForOutput(ScreenLoaded, screen, ScreenMs))
        return testing::AssertionFailure() << "screen " << screen << " was not entered; output:\n"
                                           << game_.Output();
    return testing::AssertionSuccess();
}

testing::AssertionResult GameOnXvfb::SendUntilScreen(const std::function<void()>& send, int screen,
                                                     const char* what)
{
    return SendUntil(send, [&](int waitMs) { return game_.WaitForOutput(ScreenLoaded, screen, waitMs); }, what);
}

testing::AssertionResult GameOnXvfb::PressUntilExit(XClient::KeySymbol key, int exitCode)
{
    int code = -1;
    testing::AssertionResult ended = SendUntil([&] { x_.PressKey(window_, key); },
                                               [&](int waitMs) { return game_.WaitForExit(waitMs, &code); },
                                               "the key");
    if (!ended)
        return ended;
    return ExitCodeIs(code, exitCode);
}

testing::AssertionResult GameOnXvfb::ExpectExit(int exitCode)
{
    int code = -1;
    if (!game_.WaitForExit(ExitMs, &code))
        return testing::AssertionFailure() << "the game did not end within " << ExitMs << " ms; output:\n"
                                           << game_.Output();
    return ExitCodeIs(code, exitCode);
}

std::string GameOnXvfb::ErrorText() const
{
    std::ifstream in(errorFile_);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

testing::AssertionResult GameOnXvfb::ExitCodeIs(int code, int exitCode)
{
    if (code != exitCode)
        return testing::AssertionFailure() << "the game ended with " << code << ", not " << exitCode
                                           << "; output:\n"
                                           << game_.Output();
    return testing::AssertionSuccess();
}
