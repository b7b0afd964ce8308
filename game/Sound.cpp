#include "Sound.h"

#include "GameState.h"
#include "MvAssert.h"
#include "ScreenFlow.h"
#include "SoundMixer.h"
#include "StopSignal.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Music and the sounds played after it stopped share one channel; effects cut each other
// off on the other.
const int MusicChannel = 0;
const int EffectChannel = 1;
const int HeldChannelCount = 2;

// How each cue of the sound table plays, by its kind.
struct CueInfoTable {
    SoundCueInfo rows[SoundCueCount];

    constexpr CueInfoTable() : rows()
    {
        for (int cue = 0; cue < SoundCueCount; ++cue) {
            const SoundTableRow& sound = SoundTable[cue];
            rows[cue] = {sound.path, sound.kind == SoundKind::Effect ? EffectChannel : MusicChannel,
                         sound.kind == SoundKind::Music};
        }
    }
};

constexpr CueInfoTable CueTable;

// StartLevelMusic counts a level's cue on from the first level's.
static_assert(CueLevel2Music == CueLevel1Music + 1 && CueLevel3Music == CueLevel1Music + 2,
              "the sound table lists the levels' music in level order");

const Uint32 DeathPauseMs = 5000;

// The death pause of the program: SDL_Delay a tick at a time, cut short by SIGINT or
// SIGTERM, so that a signal ends the game at once.
void PauseUnlessStopped(Uint32 milliseconds)
{
    const Uint32 start = SDL_GetTicks();
    while (!StopSignalled()) {
        const Uint32 passed = SDL_GetTicks() - start;
        if (passed >= milliseconds)
            break;
        SDL_Delay(std::min(milliseconds - passed, TickInterval));
    }
}

DeathPause deathPause = PauseUnlessStopped;

bool soundMuted = false;

// The cues whose file could not be played, each named once on standard error.
bool reported[SoundCueCount] = {};
CueObserver cueObserver = nullptr;

void Observe(SoundCue cue)
{
    if (cueObserver != nullptr)
        cueObserver(cue);
}

// The chunk of the last cue started on each channel, kept until it can no longer play.
Mix_Chunk* heldEffects[HeldChannelCount] = {nullptr, nullptr};

void ReleaseHeldEffect(int channel)
{
    if (heldEffects[channel] != nullptr) {
        SoundMixer::Free(heldEffects[channel]);
        heldEffects[channel] = nullptr;
    }
}

} // namespace

const SoundCueInfo& CueInfo(SoundCue cue)
{
    MvAssert(cue >= 0 && cue < SoundCueCount);
    return CueTable.rows[cue];
}

Mix_Chunk* LoadSound(const char* path, SoundFailure* failure)
{
    MvAssert(path != nullptr);
    errno = 0;
    SDL_RWops* stream = SoundMixer::OpenFile(path);
    if (stream == nullptr) {
        const int reason = errno;
        if (failure != nullptr)
            *failure = {"cannot open", reason != 0 ? std::strerror(reason) : SDL_GetError()};
        return nullptr;
    }
    Mix_Chunk* chunk = Mix_LoadWAV_RW(stream, 1);
    if (chunk == nullptr && failure != nullptr)
        *failure = {"cannot load", Mix_GetError()};
    return chunk;
}

void PlaySound(Mix_Chunk* chunk, int channel, bool loop)
{
    if (chunk == nullptr)
        return;
    SoundMixer::Play(chunk, channel, loop);
}

namespace {

// Reads cue's file and plays it on its channel, which frees the chunk held there: the new
// chunk has taken the channel over, so the previous one no longer plays. Returns the new
// chunk for the caller to hold, or null, leaving the channel as it was, when the file is
// missing or unreadable.
Mix_Chunk* StartCue(SoundCue cue)
{
    const SoundCueInfo& info = CueInfo(cue);
    SoundFailure failure;
    Mix_Chunk* chunk = LoadSound(info.path, &failure);
    if (chunk == nullptr) {
        if (!reported[cue])
            std::fprintf(stderr, "%s: %s: %s; the game goes on without this sound\n", info.path, failure.what,
                         failure.reason);
        reported[cue] = true;
        return nullptr;
    }
    PlaySound(chunk, info.channel, info.loops);
    ReleaseHeldEffect(info.channel);
    return chunk;
}

} // namespace

void PlayCue(SoundCue cue)
{
    Mix_Chunk* chunk = StartCue(cue);
    if (chunk == nullptr)
        return;
    heldEffects[CueInfo(cue).channel] = chunk;
    Observe(cue);
}

void StartLevelMusic(int level)
{
    MvAssert(level >= 1 && level <= 3);
    ReleaseMusic();
    const SoundCue cue = static_cast<SoundCue>(CueLevel1Music + level - 1);
    GameState::music = StartCue(cue);
    if (GameState::music != nullptr)
        Observe(cue);
}

void ReleaseMusic()
{
    if (GameState::music != nullptr) {
        SoundMixer::Free(GameState::music);
        GameState::music = nullptr;
    }
}

void StopMusic()
{
    ReleaseMusic();
    for (int channel = 0; channel < HeldChannelCount; ++channel)
        ReleaseHeldEffect(channel);
}

void PlayDeath()
{
    ReleaseMusic();
    PlayCue(CueDeath);
    deathPause(DeathPauseMs);
}

void SetCueObserver(CueObserver observer) { cueObserver = observer; }

void SetDeathPause(DeathPause pause) { deathPause = pause != nullptr ? pause : PauseUnlessStopped; }

void SetMuted(bool muted)
{
    soundMuted = muted;
    // Without an open mixer (a tool on a machine without sound) there are no channels, and
    // SDL_mixer would divide by their number.
    if (Mix_AllocateChannels(-1) > 0)
        Mix_Volume(-1, muted ? 0 : MIX_MAX_VOLUME);
}

bool Muted() { return soundMuted; }

Mix_Chunk* HeldEffect(int channel)
{
    MvAssert(channel >= 0 && channel < HeldChannelCount);
    return heldEffects[channel];
}
