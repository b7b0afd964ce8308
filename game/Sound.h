#ifndef SOUND_H
#define SOUND_H

#include "SoundTable.h"

#include <SDL.h>
#include <SDL_mixer.h>

// The game's sound and music, played through SDL_mixer on the audio device opened at
// start-up. Files are read from "Sounds/" when a cue plays; nothing is preloaded. Music
// and the death sound share channel 0, every other effect uses channel 1, and a sound
// started on a channel cuts off what played there. The level's music is held in
// GameState::music; the last effect started on each channel is held here so that its
// chunk outlives its playback, and is freed when the next cue takes the channel or when
// the play screen ends. A missing or unreadable file plays nothing and the game goes on;
// the first time a cue's file fails, it is named on standard error with the reason.

// The sounds of the game, the cues (SoundCue), are the rows of the sound table
// (assets/sounds/sounds.txt, read by the build into SoundTable.h); a cue's channel and
// looping follow from its kind.

// How a cue plays: its file, the mixer channel and whether it loops.
struct SoundCueInfo {
    const char* path;
    int channel;
    bool loops;
};

// How cue plays. Asserts 0 <= cue < SoundCueCount.
const SoundCueInfo& CueInfo(SoundCue cue);

// Why a sound file gave no chunk: what failed ("cannot open", "cannot load") and the
// system's or the mixer's reason, both valid until the next failure.
struct SoundFailure {
    const char* what = nullptr;
    const char* reason = nullptr;
};

// Reads the sound file at path (asserted not null) into a new chunk the caller frees;
// null when it is missing or unreadable, with the reason in *failure unless that is null.
// Allocates nothing when it fails, since cues are played during play.
Mix_Chunk* LoadSound(const char* path, SoundFailure* failure = nullptr);

// Plays chunk on channel, forever when loop is set and once otherwise, replacing what the
// channel played. A null chunk does nothing. The chunk stays the caller's.
void PlaySound(Mix_Chunk* chunk, int channel, bool loop);

// Plays cue on its channel, holding its chunk until the channel's next cue or the play
// screen's end. A missing file leaves the channel as it was.
void PlayCue(SoundCue cue);

// Starts the music of level (asserted 1 to 3) on channel 0 and keeps it in
// GameState::music, releasing music still held; a missing file leaves the music null.
void StartLevelMusic(int level);

// Stops the level's music: frees GameState::music (halting it) and sets it to null;
// nothing when there is none. Runs when a level is won or lost.
void ReleaseMusic();

// The play screen's end, however the level ended: releases the music if still held and
// every held effect chunk, silencing both channels' cues.
void StopMusic();

// The hero's death: releases the level's music, plays the death cue on channel 0 and
// holds the main thread for 5000 milliseconds through the death pause (SetDeathPause), so
// the sound is heard before the end screen appears. Ticks posted meanwhile wait in SDL's
// queue.
void PlayDeath();

// How the death pause waits: unless replaced, with SDL_Delay a tick at a time until the
// time has passed or SIGINT or SIGTERM arrived (StopSignalled). Tools that run the game
// faster than real time (and tests) put a function here that returns at once; null
// restores the default.
using DeathPause = void (*)(Uint32 milliseconds);
void SetDeathPause(DeathPause pause);

// Called with every cue that starts playing, after it started; null (the default) for
// none. Lets tools and tests see what the game plays without listening to the device.
using CueObserver = void (*)(SoundCue cue);
void SetCueObserver(CueObserver observer);

// Mutes every mixer channel (volume 0) or gives them their full volume back. What plays
// goes on playing, silently, so the music is heard again where it has got to; sounds
// started while muted are silent too. The setting lasts until changed, over every screen.
void SetMuted(bool muted);
// Whether the sound is muted.
bool Muted();

// The chunk held for the last cue started on channel (null when none). Asserts channel is
// 0 or 1.
Mix_Chunk* HeldEffect(int channel);

#endif
