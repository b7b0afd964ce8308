#include "Oscillator.h"

#include <cmath>

namespace {

const double Pi = 3.14159265358979323846;

// Correction that rounds a unit jump at phase 0 over one sample on each side.
double PolyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

float Oscillate(Wave wave, double phase, double phaseStep, float duty)
{
    switch (wave) {
    case Wave::Sine:
        return static_cast<float>(std::sin(2.0 * Pi * phase));
    case Wave::Triangle:
        return static_cast<float>(4.0 * std::fabs(phase - 0.5) - 1.0);
    case Wave::Saw:
        return static_cast<float>(2.0 * phase - 1.0 - PolyBlep(phase, phaseStep));
    case Wave::Square: {
        double value = phase < duty ? 1.0 : -1.0;
        value += PolyBlep(phase, phaseStep);
        value -= PolyBlep(std::fmod(phase + 1.0 - duty, 1.0), phaseStep);
        return static_cast<float>(value - (2.0 * duty - 1.0));
    }
    }
    return 0.0f;
}

double NoteFrequency(double midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0);
}
