#ifndef ENVELOPE_H
#define ENVELOPE_H

// The loudness shape of a note: attack rises linearly to 1, decay falls exponentially
// towards the sustain level for as long as the key is held, and release falls linearly
// from wherever the level was to exactly 0. A linear release is less natural than an
// exponential one but ends in true silence, which is what keeps loops and cut-off
// effects free of clicks. Times are seconds.
struct Envelope {
    float attack = 0.005f;
    float decay = 0.1f;
    float sustain = 1.0f;
    float release = 0.05f;

    // Level at time t after the key went down, the key being held for gate seconds;
    // 0 before the note and from gate + release on.
    float LevelAt(double t, double gate) const;
    // Seconds from key down until the level is back to 0.
    double Length(double gate) const { return gate + release; }
};

#endif
