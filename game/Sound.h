#ifndef SOUND_H
#define SOUND_H

// The game's sound and music, played through SDL_mixer on the audio device opened at
// start-up. The level's music is held in GameState::music while it plays.

// Releases the level music if it is still held; the play screen calls it on its way out,
// however the level ended.
void StopMusic();

#endif
