#include "MvSdl.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Sets an environment variable for one test and puts back what was there.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const char* value) : name_(name)
    {
        if (const char* before = std::getenv(name)) {
            had_ = true;
            before_ = before;
        }
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvironmentVariable()
    {
        if (had_)
            setenv(name_.c_str(), before_.c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

private:
    std::string name_;
    std::string before_;
    bool had_ = false;
};

// With a device, audio is on as the flags ask.
TEST(MvSdl, StartsAudioWhereThereIsADevice)
{
    EnvironmentVariable video("SDL_VIDEODRIVER", "dummy");
    EnvironmentVariable audio("SDL_AUDIODRIVER", "dummy");
    ASSERT_EQ(MvSdl::Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO | SDL_INIT_VIDEO), Uint32(SDL_INIT_AUDIO | SDL_INIT_VIDEO));
    SDL_Quit();
}

// Without an audio device SDL starts all the same, with audio off, on SDL 1.2.15 and on
// sdl12-compat alike (which alone would fail SDL_Init); the mixer's open then says why.
TEST(MvSdl, StartsWithoutAnAudioDeviceWithAudioOff)
{
    EnvironmentVariable video("SDL_VIDEODRIVER", "dummy");
    EnvironmentVariable audio("SDL_AUDIODRIVER", "bogus");
    ASSERT_EQ(MvSdl::Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_TIMER | SDL_INIT_NOPARACHUTE), 0)
        << SDL_GetError();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO | SDL_INIT_TIMER), Uint32(SDL_INIT_VIDEO | SDL_INIT_TIMER));
    SDL_AudioSpec wanted = {};
    wanted.freq = 22050;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = [](void*, Uint8*, int) {};
    EXPECT_LT(SDL_OpenAudio(&wanted, nullptr), 0) << "a bogus audio driver played";
    SDL_Quit();
}

// A video driver that is not there still fails the start, with SDL's reason.
TEST(MvSdl, AMissingVideoDriverFailsTheStart)
{
    EnvironmentVariable video("SDL_VIDEODRIVER", "bogus");
    EXPECT_LT(MvSdl::Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE), 0);
    EXPECT_STRNE(SDL_GetError(), "");
    SDL_Quit();
}

// sdl12-compat enlarges a full-screen picture to the desktop, smoothed by default: the start
// asks it for the nearest pixel instead, unless the user chose a scaling.
TEST(MvSdl, AsksSdl12CompatForCrispPixelsUnlessTheUserChose)
{
    if (!MvSdl::IsCompat())
        GTEST_SKIP() << "SDL 1.2.15 never enlarges the picture; the setting is sdl12-compat's";
    const struct {
        const char* before;
        const char* after;
    } cases[] = {{nullptr, "nearest"}, {"linear", "linear"}, {"nearest", "nearest"}};
    for (const auto& c : cases) {
        EnvironmentVariable video("SDL_VIDEODRIVER", "dummy");
        EnvironmentVariable scale("SDL12COMPAT_SCALE_METHOD", c.before);
        ASSERT_EQ(MvSdl::Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
        const char* now = std::getenv("SDL12COMPAT_SCALE_METHOD");
        EXPECT_STREQ(now ? now : "(unset)", c.after) << (c.before ? c.before : "(unset)");
        SDL_Quit();
    }
}

} // namespace
