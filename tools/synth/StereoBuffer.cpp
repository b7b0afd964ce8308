#include "StereoBuffer.h"

#include <cmath>

void StereoBuffer::Resize(size_t frames)
{
    left.resize(frames, 0.0f);
    right.resize(frames, 0.0f);
}

void StereoBuffer::AddMono(const std::vector<float>& mono, size_t at, float pan, float gain)
{
    const double pi = 3.14159265358979323846;
    double angle = (static_cast<double>(pan) + 1.0) * pi / 4.0;
    float leftGain = gain * static_cast<float>(std::cos(angle) * std::sqrt(2.0));
    float rightGain = gain * static_cast<float>(std::sin(angle) * std::sqrt(2.0));
    for (size_t i = 0; i < mono.size() && at + i < Frames(); ++i) {
        left[at + i] += mono[i] * leftGain;
        right[at + i] += mono[i] * rightGain;
    }
}
