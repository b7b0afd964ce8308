#ifndef OSCILLATOR_H
#define OSCILLATOR_H

// The periodic waves the synthesiser plays notes with. A wave is read at a phase in
// [0, 1) rather than kept as a running object, so a voice needs only its phase to
// glide, wobble or change note without a jump. Noise, which has no period, is Noise.

#include "SampleRate.h"

enum class Wave { Sine, Square, Triangle, Saw };

// One sample of the wave at phase in [0, 1). phaseStep (frequency / SampleRate) lets the
// square and saw round off their jumps so high notes do not alias; duty is the
// square's high fraction of the cycle, and the square is centred for any duty.
float Oscillate(Wave wave, double phase, double phaseStep, float duty);

// Frequency in Hz of a MIDI note number (69 = A4 = 440 Hz).
double NoteFrequency(double midiNote);

#endif
