#ifndef SEQUENCER_H
#define SEQUENCER_H

// The sequencer turns songs written as readable text patterns into sound. A song is a
// tempo and a set of tracks; a track is one instrument (or one drum) playing a list of
// bars, each bar a string of steps separated by spaces:
//   "C4"        a note (letter, optional # or b, octave); "C4+E4+G4" is a chord
//   "-"         holds the notes before it one more step
//   "."         a rest: the notes before it are released
//   "x" / "o"   on a drum track: a hit / a soft hit
// Every bar of a track must have exactly beatsPerBar * stepsPerBeat steps, and every
// track of a song the same number of bars, so a slip in the data is found, not heard.

#include "Envelope.h"
#include "Noise.h"
#include "Oscillator.h"
#include "StereoBuffer.h"

#include <vector>

// How a melodic track sounds.
struct Instrument {
    Wave wave = Wave::Square;
    float duty = 0.5f;          // square waves: high fraction of the cycle
    Envelope envelope;
    float detuneCents = 0.0f;   // a second oscillator this far sharp, for a fuller tone
    float vibratoCents = 0.0f;  // depth of the pitch wobble
    float vibratoHz = 5.5f;
    float vibratoDelay = 0.15f; // seconds of steady pitch before the wobble starts
    float cutoff = 0.0f;        // low-pass cutoff in Hz, 0 for none
    float gate = 0.9f;          // fraction of the written length the key stays down
};

enum class Drum { None, Kick, Snare, ClosedHat, OpenHat, Tom, Shaker };

// Repeats of a track's sound, placed on the other side of the stereo field.
struct Echo {
    float beats = 0.0f;   // delay in beats, 0 for no echo
    float feedback = 0.0f;
    float level = 0.0f;
};

struct Track {
    const char* name = "";
    Instrument instrument;     // used when drum is Drum::None
    Drum drum = Drum::None;
    int stepsPerBeat = 2;
    float level = 0.5f;
    float pan = 0.0f;          // -1 left .. 1 right
    Echo echo;
    std::vector<const char*> bars;
};

struct Song {
    const char* name = "";
    double bpm = 120.0;
    int beatsPerBar = 4;
    // A looping song is exactly its bars long, and what rings on past the last bar is
    // laid over the first bars, so playing it round and round joins without a seam. A
    // song that does not loop lasts until its last note has died away.
    bool loops = false;
    uint32_t seed = 1;         // noise seed of the drums
    std::vector<Track> tracks;
};

// Renders the song; a fault in its data ends the program with a message naming the
// song, track and bar.
StereoBuffer RenderSong(const Song& song);

// Frames in the song's bars.
size_t SongFrames(const Song& song);

// Renders one drum hit of the given strength, starting at the front of the result.
std::vector<float> RenderDrum(Drum drum, float velocity, Noise& noise);

// Renders one note (or chord) of the instrument held for gateSeconds.
std::vector<float> RenderNote(const Instrument& instrument, const std::vector<double>& frequencies,
                              double gateSeconds);

#endif
