#ifndef NOISE_H
#define NOISE_H

// White noise for drums and effects. It is a seeded xorshift generator rather than a
// random device, so every run of the synthesiser writes the very same files.

#include <cstdint>

class Noise {
public:
    // Starts the sequence of the seed (0 is taken as 1, which xorshift needs).
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1u) {}

    // Next value, evenly spread over [-1, 1).
    float Next();

private:
    uint32_t state_;
};

#endif
