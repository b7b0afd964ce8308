#ifndef SAMPLE_RATE_H
#define SAMPLE_RATE_H

// Every sound is made at the rate the game opens the audio device with, so the mixer
// plays the files without converting them.
enum { SampleRate = 44100 };

#endif
