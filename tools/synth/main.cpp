// movo-synth: makes every sound the game plays (level music, the death jingle and the
// effects) from the synthesiser in this folder and writes them, under the names of the
// game's sound table (SoundTable.h), into one output folder. Output is the same on every
// run.
//
// Exits 0 on success; 1 with one message when the folder cannot be used or a file cannot
// be written; 2 on a bad command line.

#include "Effects.h"
#include "MvCommandLine.h"
#include "Songs.h"
#include "SoundFile.h"
#include "SoundTable.h"

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Ogg Vorbis files (the music) are encoded at this quality; WAV files (the effects) hold
// plain PCM.
constexpr float OggQuality = 0.4f;
// Loudest sample of the music as a fraction of full scale, leaving the Vorbis encoder
// room so its small overshoots do not clip. Effects made of plain pulse waves are
// nearly as loud on average as at their peak, so they get lower peaks to sit at the
// music's loudness rather than above it.
constexpr float MusicPeak = 0.85f;

// How one sound of the game's table is made.
struct SoundMaker {
    SoundCue cue; // the sound, whose file name the table gives
    float peak;   // loudest sample as a fraction of full scale
    StereoBuffer (*make)();
};

StereoBuffer SkyLevel() { return RenderSong(SkyLevelSong()); }
StereoBuffer MysteryLevel() { return RenderSong(MysteryLevelSong()); }
StereoBuffer DriveLevel() { return RenderSong(DriveLevelSong()); }
StereoBuffer Death() { return RenderSong(DeathJingle()); }

// One row for each sound of the table, in its order.
constexpr SoundMaker SoundMakers[] = {
    {CueLevel1Music, MusicPeak, SkyLevel},
    {CueLevel2Music, MusicPeak, MysteryLevel},
    {CueLevel3Music, MusicPeak, DriveLevel},
    {CueDeath, MusicPeak, Death},
    {CueStomp, 0.85f, StompEffect},
    {CueHurtSide, 0.85f, UnghEffect},
    {CueHurtAbove, 0.65f, InjuryEffect},
    {CueHeadBump, 0.8f, BumpEffect},
    {CueFlag, 0.6f, CoinEffect},
    {CueJoystickJump, 0.55f, JumpEffect},
};

constexpr bool EverySoundInTableOrder()
{
    if (std::size(SoundMakers) != static_cast<size_t>(SoundCueCount))
        return false;
    for (int i = 0; i < SoundCueCount; ++i)
        if (SoundMakers[i].cue != i)
            return false;
    return true;
}
static_assert(EverySoundInTableOrder(), "SoundMakers has one row for each sound of the table, in its order");

// Whether the table names an Ogg Vorbis file (the build allows .ogg and .wav only).
bool IsOgg(const char* fileName)
{
    const size_t length = std::strlen(fileName);
    return length >= 4 && std::strcmp(fileName + length - 4, ".ogg") == 0;
}

// The help text, which lists the files a run writes.
std::string Usage()
{
    std::string usage = "Usage: movo-synth OUTPUT_FOLDER\n"
                        "Synthesises the game's music and sound effects and writes them into\n"
                        "OUTPUT_FOLDER (which must exist):\n";
    for (const SoundTableRow& sound : SoundTable)
        usage += std::string("  ") + sound.fileName + "\n";
    return usage + "Level music loops seamlessly; music is Ogg Vorbis, effects are 16-bit\n"
                   "44100 Hz stereo WAV. Every run writes identical files.\n";
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder;
    MvCommandLine commandLine("movo-synth", Usage());
    commandLine.AddArgument(&folder, "output folder", "output folder");
    int exitCode = 0;
    if (!commandLine.Parse(argc, argv, &exitCode))
        return exitCode;
    // Checked first, so a wrong folder is reported before any sound is made.
    if (!commandLine.CheckFolder(folder))
        return 1;
    for (const SoundMaker& maker : SoundMakers) {
        const char* name = SoundTable[maker.cue].fileName;
        std::string path = folder + "/" + name;
        std::vector<int16_t> pcm = ToPcm(maker.make(), maker.peak);
        std::string error;
        bool written = IsOgg(name) ? WriteOgg(path, pcm, OggQuality, name, error) : WriteWav(path, pcm, error);
        if (!written) {
            commandLine.Report(error);
            return 1;
        }
    }
    return 0;
}
