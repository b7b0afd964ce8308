// movo-synth: makes every sound the game plays (level music, the death jingle and the
// effects) from the synthesiser in this folder and writes them, under the names the
// game loads, into one output folder. Output is the same on every run.
//
// Exits 0 on success; 1 with one message when the folder cannot be used or a file cannot
// be written; 2 on a bad command line.

#include "Effects.h"
#include "MvCommandLine.h"
#include "SoundFile.h"
#include "Songs.h"

#include <string>
#include <vector>

namespace {

// Music is encoded as Ogg Vorbis at this quality; effects are stored as plain PCM.
const float OggQuality = 0.4f;
// Loudest sample of the music as a fraction of full scale, leaving the Vorbis encoder
// room so its small overshoots do not clip. Effects made of plain pulse waves are
// nearly as loud on average as at their peak, so they get lower peaks to sit at the
// music's loudness rather than above it.
const float MusicPeak = 0.85f;

enum class Format { Ogg, Wav };

struct SoundFile {
    const char* name;   // file name inside the output folder
    Format format;
    float peak;         // loudest sample as a fraction of full scale
    StereoBuffer (*make)();
};

StereoBuffer SkyLevel() { return RenderSong(SkyLevelSong()); }
StereoBuffer MysteryLevel() { return RenderSong(MysteryLevelSong()); }
StereoBuffer DriveLevel() { return RenderSong(DriveLevelSong()); }
StereoBuffer Death() { return RenderSong(DeathJingle()); }

const SoundFile SoundFiles[] = {
    {"Brumoquest Theme Orchestral.ogg", Format::Ogg, MusicPeak, SkyLevel},
    {"Chrono Cross - Another World.ogg", Format::Ogg, MusicPeak, MysteryLevel},
    {"T_NinjaGaiden_Wendro_Remixv13b.ogg", Format::Ogg, MusicPeak, DriveLevel},
    {"Brumo 1 Death.ogg", Format::Ogg, MusicPeak, Death},
    {"bq_stomp.wav", Format::Wav, 0.85f, StompEffect},
    {"bq64_ungh.wav", Format::Wav, 0.85f, UnghEffect},
    {"bq64_injury.wav", Format::Wav, 0.65f, InjuryEffect},
    {"bq3_bump.wav", Format::Wav, 0.8f, BumpEffect},
    {"coin.wav", Format::Wav, 0.6f, CoinEffect},
    {"jump.wav", Format::Wav, 0.55f, JumpEffect},
};

// The help text, which lists the files a run writes.
std::string Usage()
{
    std::string usage = "Usage: movo-synth OUTPUT_FOLDER\n"
                        "Synthesises the game's music and sound effects and writes them into\n"
                        "OUTPUT_FOLDER (which must exist):\n";
    for (const SoundFile& file : SoundFiles)
        usage += std::string("  ") + file.name + "\n";
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
    for (const SoundFile& file : SoundFiles) {
        std::string path = folder + "/" + file.name;
        std::vector<int16_t> pcm = ToPcm(file.make(), file.peak);
        std::string error;
        bool written = file.format == Format::Ogg ? WriteOgg(path, pcm, OggQuality, file.name, error)
                                                  : WriteWav(path, pcm, error);
        if (!written) {
            commandLine.Report(error);
            return 1;
        }
    }
    return 0;
}
