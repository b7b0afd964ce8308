// What the real program plays, captured by SDL's disk audio driver: raw 16-bit stereo
// little-endian samples at 44100 Hz, written as the mixer produces them. The menu is
// silent; level 1 starts its music.

#include "Clock.h"
#include "GameOnXvfb.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Bytes of one second of the mixer's output: 44100 frames of two 16-bit samples.
constexpr long BytesPerSecond = 44100 * 2 * 2;
// How long one buffer the driver writes is held back, in milliseconds. A buffer holds 4096
// frames (93 ms of sound), so the capture runs faster than the sound would play: a test
// gets its seconds of sound in a fraction of the time.
const char* const WriteDelayMs = "40";
// Between two looks at the capture file while waiting for it to grow.
constexpr int LookAgainMs = 50;
// How long the capture is given to reach the size a step waits for.
constexpr int CaptureMs = 20000;
// A sample louder than this is heard: well above rounding noise, far below what music
// at the mixer's full volume reaches.
constexpr int AudiblePeak = 1000;

// The size of the file at path; 0 when it is not there (yet).
long FileSize(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : 0;
}

// The loudest sample (absolute value) of the capture at path, from byte offset from (rounded
// up to a whole frame) to the end of what the file holds now; -1 when that is empty.
int Peak(const std::string& path, long from)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    int peak = -1;
    for (size_t at = static_cast<size_t>((from + 3) / 4 * 4); at + 1 < bytes.size(); at += 2) {
        const int sample = static_cast<int16_t>(static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                                                      static_cast<unsigned char>(bytes[at + 1]) << 8));
        peak = std::max(peak, std::abs(sample));
    }
    return peak;
}

class GameAudioTest : public GameOnXvfb {
protected:
    void SetUp() override
    {
        GameOnXvfb::SetUp();
        if (HasFatalFailure())
            return;
        std::string folder = testing::TempDir() + "movo-audio-XXXXXX";
        ASSERT_NE(mkdtemp(&folder[0]), nullptr) << folder;
        folder_ = folder;
        capture_ = folder_ + "/sound.raw";
    }

    void TearDown() override
    {
        // The game ends before the file goes, so nothing writes to it any more.
        game_.Kill();
        if (folder_.empty())
            return;
        std::remove(capture_.c_str());
        rmdir(folder_.c_str());
    }

    // Waits until the capture holds at least bytes bytes.
    testing::AssertionResult WaitForCapture(long bytes)
    {
        const Clock::time_point deadline = Deadline(CaptureMs);
        while (FileSize(capture_) < bytes) {
            if (Clock::now() >= deadline || !game_.Running())
                return testing::AssertionFailure() << "the capture holds " << FileSize(capture_) << " bytes, not "
                                                   << bytes << "; output:\n"
                                                   << game_.Output();
            usleep(LookAgainMs * 1000);
        }
        return testing::AssertionSuccess();
    }

    std::string folder_;
    std::string capture_;
};

TEST_F(GameAudioTest, MenuIsSilentAndLevelOneStartsItsMusic)
{
    extraEnvironment_ = {{"SDL_DISKAUDIOFILE", capture_}, {"SDL_DISKAUDIODELAY", WriteDelayMs}};
    ASSERT_TRUE(StartGame("disk"));
    ASSERT_TRUE(WaitForGameWindow());
    ASSERT_TRUE(WaitForScreen(1));

    // A second and a half of the menu's sound: the mixer runs, and plays nothing.
    ASSERT_TRUE(WaitForCapture(BytesPerSecond * 3 / 2));
    const long menuBytes = FileSize(capture_);
    EXPECT_EQ(Peak(capture_, 0), 0) << "the menu is not silent";

    // Everything written from now on is the menu's tail or the level's music.
    ASSERT_TRUE(SendUntilScreen([&] { x_.PressKey(window_, XK_Return); }, 2, "Return on the menu"));
    ASSERT_TRUE(WaitForCapture(menuBytes + 2 * BytesPerSecond));
    EXPECT_GT(Peak(capture_, menuBytes), AudiblePeak) << "two seconds after the level started, no music is heard";

    ASSERT_TRUE(PressUntilExit(XK_Escape, 0));
}

// M silences everything the mixer plays, and M again brings the music back where it has
// got to, without restarting the level.
TEST_F(GameAudioTest, MMutesTheMusicAndUnmutesIt)
{
    extraEnvironment_ = {{"SDL_DISKAUDIOFILE", capture_}, {"SDL_DISKAUDIODELAY", WriteDelayMs}};
    ASSERT_TRUE(StartGame("disk"));
    ASSERT_TRUE(WaitForGameWindow());
    ASSERT_TRUE(WaitForScreen(1));
    ASSERT_TRUE(SendUntilScreen([&] { x_.PressKey(window_, XK_Return); }, 2, "Return on the menu"));
    // Paused, nothing can end the level meanwhile; the music plays on.
    x_.PressKey(window_, XK_p);
    const long levelBytes = FileSize(capture_);
    ASSERT_TRUE(WaitForCapture(levelBytes + BytesPerSecond));
    ASSERT_GT(Peak(capture_, levelBytes), AudiblePeak) << "no music to mute";

    x_.PressKey(window_, XK_m);
    // What was mixed before the key arrived may still be written: half a second later
    // (more than a buffer) the output has gone silent.
    const long pressedBytes = FileSize(capture_);
    ASSERT_TRUE(WaitForCapture(pressedBytes + BytesPerSecond / 2));
    const long mutedBytes = FileSize(capture_);
    ASSERT_TRUE(WaitForCapture(mutedBytes + BytesPerSecond));
    EXPECT_EQ(Peak(capture_, mutedBytes), 0) << "muted, the game is still heard";

    x_.PressKey(window_, XK_m);
    const long unmutedBytes = FileSize(capture_) + BytesPerSecond / 2;
    ASSERT_TRUE(WaitForCapture(unmutedBytes + BytesPerSecond));
    EXPECT_GT(Peak(capture_, unmutedBytes), AudiblePeak) << "unmuted, the music is not heard again";

    // The keys never reached the level: it is still the second screen loaded.
    EXPECT_EQ(game_.CountInOutput(ScreenLoaded), 2) << game_.Output();
    ASSERT_TRUE(PressUntilExit(XK_Escape, 0));
}

} // namespace
