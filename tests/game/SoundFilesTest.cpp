// The sound files the build makes for the game, one for each sound of its table: each is
// a real RIFF/WAVE or Ogg Vorbis file, loads through SDL_mixer exactly as the game loads it, is audible without
// clipping, and has a length and shape that suit its use (level music that loops
// without a click, a death jingle over before the end screen, short effects).

#include "SoundTable.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if !defined(MOVO_SOUNDS_FOLDER) || !defined(MOVO_SYNTH_PROGRAM)
#error "MOVO_SOUNDS_FOLDER must name the folder the sound files are made in, MOVO_SYNTH_PROGRAM the program"
#endif

namespace {

const int Rate = 44100;

std::string PathOf(const SoundTableRow& sound)
{
    return std::string(MOVO_SOUNDS_FOLDER) + "/" + sound.fileName;
}

bool IsOgg(const SoundTableRow& sound)
{
    return std::strstr(sound.fileName, ".ogg") != nullptr;
}

// Interleaved stereo samples as the mixer holds them.
struct Decoded {
    bool loaded = false;
    std::vector<int16_t> samples;

    size_t Frames() const { return samples.size() / 2; }
    double Seconds() const { return static_cast<double>(Frames()) / Rate; }
    int16_t At(size_t frame, int channel) const { return samples[frame * 2 + channel]; }

    // Root mean square over frames [from, to) of both channels.
    double Rms(size_t from, size_t to) const
    {
        double sum = 0.0;
        for (size_t i = from * 2; i < to * 2; ++i)
            sum += static_cast<double>(samples[i]) * samples[i];
        return to > from ? std::sqrt(sum / ((to - from) * 2)) : 0.0;
    }

    int Peak(size_t from, size_t to) const
    {
        int peak = 0;
        for (size_t i = from * 2; i < to * 2; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
        return peak;
    }
};

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le(const std::vector<unsigned char>& bytes, size_t at, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[at + i];
    return value;
}

// Runs a shell command line and returns its exit status and what it printed on
// standard output and standard error.
struct RunResult {
    int status = -1;
    std::string output;
};

RunResult RunCommand(const std::string& command)
{
    RunResult run;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

std::string Quoted(const std::string& text)
{
    return "'" + text + "'";
}

class SoundFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO | SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
        // The device the game opens at start-up.
        ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096), 0) << Mix_GetError();
        int frequency = 0;
        Uint16 format = 0;
        int channels = 0;
        Mix_QuerySpec(&frequency, &format, &channels);
        ASSERT_EQ(frequency, Rate);
        ASSERT_EQ(format, AUDIO_S16LSB);
        ASSERT_EQ(channels, 2);
        for (const SoundTableRow& sound : SoundTable)
            decoded_.push_back(Load(PathOf(sound)));
    }

    // Every test reads the decoded files; none runs when the device could not open.
    void SetUp() override { ASSERT_EQ(decoded_.size(), std::size(SoundTable)); }

    static void TearDownTestSuite()
    {
        decoded_.clear();
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    // Loads the file the way the game plays a cue: a file stream handed to the mixer,
    // which closes it.
    static Decoded Load(const std::string& path)
    {
        Decoded decoded;
        Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromFile(path.c_str(), "rb"), 1);
        if (!chunk)
            return decoded;
        decoded.loaded = true;
        const int16_t* samples = reinterpret_cast<const int16_t*>(chunk->abuf);
        decoded.samples.assign(samples, samples + chunk->alen / sizeof(int16_t));
        Mix_FreeChunk(chunk);
        return decoded;
    }

    static std::vector<Decoded> decoded_;
};

std::vector<Decoded> SoundFilesTest::decoded_;

TEST_F(SoundFilesTest, EveryFileLoadsThroughTheMixerAndIsAudible)
{
    for (size_t i = 0; i < std::size(SoundTable); ++i) {
        SCOPED_TRACE(SoundTable[i].fileName);
        const Decoded& sound = decoded_[i];
        ASSERT_TRUE(sound.loaded) << "cannot load " << PathOf(SoundTable[i]);
        ASSERT_GT(sound.Frames(), 0u);
        EXPECT_GT(sound.Peak(0, sound.Frames()), 8000);
        EXPECT_GT(sound.Rms(0, sound.Frames()), 1500.0);
    }
}

TEST_F(SoundFilesTest, NoFileClips)
{
    for (size_t i = 0; i < std::size(SoundTable); ++i) {
        SCOPED_TRACE(SoundTable[i].fileName);
        const std::vector<int16_t>& samples = decoded_[i].samples;
        long atFullScale = std::count_if(samples.begin(), samples.end(),
                                         [](int16_t s) { return s >= 32767 || s <= -32767; });
        EXPECT_EQ(atFullScale, 0);
    }
}

TEST_F(SoundFilesTest, LengthsSuitTheirUse)
{
    for (size_t i = 0; i < std::size(SoundTable); ++i) {
        SCOPED_TRACE(SoundTable[i].fileName);
        double seconds = decoded_[i].Seconds();
        switch (SoundTable[i].kind) {
        case SoundKind::Music:
            EXPECT_GE(seconds, 30.0);
            break;
        case SoundKind::Jingle:
            // The game waits five seconds after a death before the end screen.
            EXPECT_GE(seconds, 1.0);
            EXPECT_LE(seconds, 5.0);
            break;
        case SoundKind::Effect:
            EXPECT_GE(seconds, 0.05);
            EXPECT_LE(seconds, 1.0);
            break;
        }
    }
}

TEST_F(SoundFilesTest, LevelMusicHasNoDeadAir)
{
    for (size_t i = 0; i < std::size(SoundTable); ++i) {
        if (SoundTable[i].kind != SoundKind::Music)
            continue;
        const Decoded& sound = decoded_[i];
        for (size_t second = 0; second + 1 <= sound.Frames() / Rate; ++second) {
            SCOPED_TRACE(std::string(SoundTable[i].fileName) + " second " + std::to_string(second));
            EXPECT_GT(sound.Rms(second * Rate, (second + 1) * Rate), 1000.0);
        }
    }
}

// Played on a loop, the last sample is followed by the first. A click there is a jump
// larger than the music makes anyway, or a bend away from where the last samples were
// heading; and the level must carry on across the join.
TEST_F(SoundFilesTest, LevelMusicLoopsWithoutAClick)
{
    for (size_t i = 0; i < std::size(SoundTable); ++i) {
        if (SoundTable[i].kind != SoundKind::Music)
            continue;
        SCOPED_TRACE(SoundTable[i].fileName);
        const Decoded& sound = decoded_[i];
        size_t frames = sound.Frames();
        ASSERT_GT(frames, static_cast<size_t>(Rate));
        for (int channel = 0; channel < 2; ++channel) {
            // Sample f's step from f - 1 and its miss of the straight line through f - 2
            // and f - 1, around the loop.
            auto at = [&](size_t f) { return static_cast<int>(sound.At(f % frames, channel)); };
            auto step = [&](size_t f) { return std::abs(at(f) - at(f - 1)); };
            auto bend = [&](size_t f) { return std::abs(at(f) - 2 * at(f - 1) + at(f - 2)); };
            std::vector<int> steps;
            std::vector<int> bends;
            for (size_t f = 2; f < frames; ++f) {
                steps.push_back(step(f));
                bends.push_back(bend(f));
            }
            size_t rank = steps.size() * 99 / 100;
            std::nth_element(steps.begin(), steps.begin() + rank, steps.end());
            std::nth_element(bends.begin(), bends.begin() + rank, bends.end());
            SCOPED_TRACE("channel " + std::to_string(channel));
            EXPECT_LE(step(frames), steps[rank]);
            EXPECT_LE(bend(frames), bends[rank]);
            EXPECT_LE(bend(frames + 1), bends[rank]);
        }
        size_t window = Rate / 10;
        double before = sound.Rms(frames - window, frames);
        double after = sound.Rms(0, window);
        EXPECT_GT(after, before / 3.0);
        EXPECT_LT(after, before * 3.0);
    }
}

// An effect must start at once, or it lags the event that caused it, and end in
// silence, or cutting it off with the next effect clicks.
TEST_F(SoundFilesTest, EffectsStartAtOnceAndEndInSilence)
{
    for (size_t i = 0; i < std::size(SoundTable); ++i) {
        if (SoundTable[i].kind != SoundKind::Effect)
            continue;
        SCOPED_TRACE(SoundTable[i].fileName);
        const Decoded& sound = decoded_[i];
        ASSERT_GT(sound.Frames(), static_cast<size_t>(Rate / 50));
        int peak = sound.Peak(0, sound.Frames());
        EXPECT_GT(sound.Peak(0, Rate / 100), peak / 4);
        EXPECT_LT(sound.Peak(sound.Frames() - 4, sound.Frames()), 200);
    }
}

TEST_F(SoundFilesTest, EverySoundIsDifferent)
{
    for (size_t i = 0; i < std::size(SoundTable); ++i) {
        for (size_t j = i + 1; j < std::size(SoundTable); ++j)
            EXPECT_NE(decoded_[i].samples, decoded_[j].samples) << SoundTable[i].fileName << " and " << SoundTable[j].fileName;
    }
}

TEST(SoundFileFormatTest, WavFilesAreRiffPcmAndOggFilesAreVorbis)
{
    for (const SoundTableRow& sound : SoundTable) {
        SCOPED_TRACE(sound.fileName);
        std::vector<unsigned char> bytes = ReadBytes(PathOf(sound));
        ASSERT_GE(bytes.size(), 64u);
        std::string head(bytes.begin(), bytes.begin() + 64);
        if (IsOgg(sound)) {
            EXPECT_EQ(head.substr(0, 4), "OggS");
            EXPECT_NE(head.find("\x01vorbis"), std::string::npos);
            continue;
        }
        EXPECT_EQ(head.substr(0, 4), "RIFF");
        EXPECT_EQ(Le(bytes, 4, 4), bytes.size() - 8);
        EXPECT_EQ(head.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(Le(bytes, 16, 4), 16u);
        EXPECT_EQ(Le(bytes, 20, 2), 1u);        // PCM
        EXPECT_EQ(Le(bytes, 22, 2), 2u);        // stereo
        EXPECT_EQ(Le(bytes, 24, 4), 44100u);
        EXPECT_EQ(Le(bytes, 28, 4), 44100u * 4);
        EXPECT_EQ(Le(bytes, 32, 2), 4u);
        EXPECT_EQ(Le(bytes, 34, 2), 16u);
        EXPECT_EQ(head.substr(36, 4), "data");
        EXPECT_EQ(Le(bytes, 40, 4), bytes.size() - 44);
    }
}

// The program that makes the files: every name it writes is listed by --help, a folder
// it cannot write to is named in its message, and a second run writes the very same
// bytes as the build did (the noise is seeded, nothing depends on time or place).
TEST(SoundSynthProgramTest, HelpListsEveryFile)
{
    RunResult run = RunCommand(Quoted(MOVO_SYNTH_PROGRAM) + " --help");
    EXPECT_EQ(run.status, 0);
    for (const SoundTableRow& sound : SoundTable)
        EXPECT_NE(run.output.find(sound.fileName), std::string::npos) << sound.fileName;
}

TEST(SoundSynthProgramTest, WrongUseAndUnwritableFolderFail)
{
    struct Case {
        const char* arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"", 2, "Usage: movo-synth OUTPUT_FOLDER"},
        {"a b", 2, "Usage: movo-synth OUTPUT_FOLDER"},
        {"--loud", 2, "Usage: movo-synth OUTPUT_FOLDER"},
        {"/nonexistent-movo-folder", 1, "/nonexistent-movo-folder: cannot be used as a folder: No such file"},
        {"/dev/null", 1, "/dev/null: is a file, not a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        RunResult run = RunCommand(Quoted(MOVO_SYNTH_PROGRAM) + " " + c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    }
}

TEST(SoundSynthProgramTest, RunsAgainToTheSameBytes)
{
    char folder[] = "/tmp/movo-synth-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    RunResult run = RunCommand(Quoted(MOVO_SYNTH_PROGRAM) + " " + Quoted(folder));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "");
    for (const SoundTableRow& sound : SoundTable) {
        SCOPED_TRACE(sound.fileName);
        std::string again = std::string(folder) + "/" + sound.fileName;
        EXPECT_EQ(ReadBytes(again), ReadBytes(PathOf(sound)));
        std::remove(again.c_str());
    }
    rmdir(folder);
}

} // namespace
