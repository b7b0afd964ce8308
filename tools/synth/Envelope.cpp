#include "Envelope.h"

#include <cmath>

float Envelope::LevelAt(double t, double gate) const
{
    auto held = [this](double time) {
        if (time < attack)
            return time / attack;
        double fall = std::exp(-4.0 * (time - attack) / decay);
        return sustain + (1.0 - sustain) * fall;
    };
    if (t < 0.0)
        return 0.0f;
    if (t < gate)
        return static_cast<float>(held(t));
    double left = 1.0 - (t - gate) / release;
    return left <= 0.0 ? 0.0f : static_cast<float>(held(gate) * left);
}
