#ifndef STEREO_BUFFER_H
#define STEREO_BUFFER_H

// Two channels of float samples that tracks and effects are mixed into. Floats leave
// the parts free to add up beyond full scale; only the finished mix is scaled and
// turned into 16-bit samples.

#include <cstddef>
#include <vector>

struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;

    // A silent buffer of the given length.
    explicit StereoBuffer(size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}

    size_t Frames() const { return left.size(); }
    // Cuts or extends (with silence) both channels to the given length.
    void Resize(size_t frames);
    // Adds a mono signal from the given frame on, placed by pan (-1 left .. 1 right)
    // with constant power; what falls beyond the end is dropped.
    void AddMono(const std::vector<float>& mono, size_t at, float pan, float gain);
};

#endif
