#include "Effects.h"

#include "Noise.h"
#include "Oscillator.h"
#include "StateVariableFilter.h"

#include <cmath>

namespace {

const double Pi = 3.14159265358979323846;

// An effect of the given length whose samples the generator returns one after another
// (it is called with the time of each sample in order, so it may keep state). A
// millisecond fade in and a short fade out make the ends click-free; the sound is
// centred.
template <typename Generator>
StereoBuffer MakeEffect(double seconds, Generator generator)
{
    size_t frames = static_cast<size_t>(seconds * SampleRate);
    std::vector<float> mono(frames);
    for (size_t i = 0; i < frames; ++i)
        mono[i] = generator(static_cast<double>(i) / SampleRate);
    size_t fadeIn = SampleRate / 1000;
    size_t fadeOut = SampleRate * 15 / 1000;
    for (size_t i = 0; i < fadeIn && i < frames; ++i)
        mono[i] *= static_cast<float>(i) / fadeIn;
    for (size_t i = 0; i < fadeOut && i < frames; ++i)
        mono[frames - 1 - i] *= static_cast<float>(i) / fadeOut;
    StereoBuffer out(frames);
    out.AddMono(mono, 0, 0.0f, 1.0f);
    return out;
}

// Advances a phase by one sample at the given frequency and returns the phase before.
double Advance(double& phase, double hz)
{
    double before = phase;
    phase += hz / SampleRate;
    phase -= std::floor(phase);
    return before;
}

double Smoothstep(double x)
{
    x = std::fmin(1.0, std::fmax(0.0, x));
    return x * x * (3.0 - 2.0 * x);
}

} // namespace

StereoBuffer StompEffect()
{
    double phase = 0.0;
    Noise noise(0x5707);
    StateVariableFilter squelch;
    return MakeEffect(0.25, [&](double t) {
        double hz = 55.0 + 170.0 * std::exp(-t / 0.035);
        float body = static_cast<float>(std::sin(2.0 * Pi * Advance(phase, hz)) * std::exp(-t / 0.07));
        squelch.Process(noise.Next(), 300.0 + 700.0 * std::exp(-t / 0.04), 0.5f);
        return body + 0.8f * squelch.Low() * static_cast<float>(std::exp(-t / 0.03));
    });
}

StereoBuffer UnghEffect()
{
    // A falling voice through three vowel formants that glide from "uh" to a nasal "ng".
    double phase = 0.0;
    Noise noise(0x0a6b);
    StateVariableFilter formant1, formant2, formant3;
    return MakeEffect(0.38, [&](double t) {
        double hz = (170.0 + 80.0 * std::exp(-t / 0.08)) * (1.0 + 0.01 * noise.Next());
        double step = hz / SampleRate;
        float source = Oscillate(Wave::Saw, Advance(phase, hz), step, 0.5f);
        double s = Smoothstep(t / 0.28);
        formant1.Process(source, 650.0 - 330.0 * s, 0.15f);
        formant2.Process(source, 1100.0 - 200.0 * s, 0.12f);
        formant3.Process(source, 2400.0, 0.1f);
        float voice = formant1.Band() + 0.6f * formant2.Band() + 0.25f * static_cast<float>(1.0 - s) * formant3.Band();
        double level = t < 0.02 ? t / 0.02 : (t < 0.12 ? 1.0 : std::exp(-(t - 0.12) / 0.09));
        float breath = 0.15f * noise.Next() * static_cast<float>(std::exp(-t / 0.02));
        return static_cast<float>(level) * voice + breath;
    });
}

StereoBuffer InjuryEffect()
{
    // Two pulse waves a tritone apart sliding down together, with a fast wobble.
    double low = 0.0;
    double high = 0.0;
    Noise noise(0x1a7e);
    StateVariableFilter crack;
    return MakeEffect(0.55, [&](double t) {
        double wobble = std::pow(2.0, 40.0 * std::sin(2.0 * Pi * 14.0 * t) / 1200.0);
        double hz = 1000.0 * std::pow(2.0, -1.3 * t / 0.5) * wobble;
        double hzHigh = hz * std::pow(2.0, 6.0 / 12.0);
        float tone = 0.5f * Oscillate(Wave::Square, Advance(low, hz), hz / SampleRate, 0.3f) +
                     0.4f * Oscillate(Wave::Square, Advance(high, hzHigh), hzHigh / SampleRate, 0.5f);
        crack.Process(noise.Next(), 4000.0, 1.0f);
        return tone * static_cast<float>(std::exp(-t / 0.25)) +
               crack.High() * static_cast<float>(std::exp(-t / 0.01));
    });
}

StereoBuffer BumpEffect()
{
    double phase = 0.0;
    float dull = 0.0f;
    Noise noise(0xb0b);
    const float a = static_cast<float>(1.0 - std::exp(-2.0 * Pi * 1800.0 / SampleRate));
    return MakeEffect(0.16, [&](double t) {
        double hz = 95.0 + 80.0 * std::exp(-t / 0.02);
        double p = Advance(phase, hz);
        float tone = 0.5f * Oscillate(Wave::Square, p, hz / SampleRate, 0.5f) +
                     0.8f * Oscillate(Wave::Triangle, p, hz / SampleRate, 0.5f);
        dull += a * (tone - dull);
        float click = 0.3f * noise.Next() * static_cast<float>(std::exp(-t / 0.003));
        return dull * static_cast<float>(std::exp(-t / 0.045)) + click;
    });
}

StereoBuffer CoinEffect()
{
    // B5 briefly, then a ringing E6 with a sine an octave up for sparkle.
    const double split = 0.07;
    double phase = 0.0;
    double sparkle = 0.0;
    return MakeEffect(0.55, [&](double t) {
        double hz = t < split ? NoteFrequency(83) : NoteFrequency(88);
        float tone = 0.6f * Oscillate(Wave::Square, Advance(phase, hz), hz / SampleRate, 0.5f) +
                     0.4f * Oscillate(Wave::Sine, Advance(sparkle, 2.0 * hz), 0.0, 0.5f);
        double level = t < split ? 0.8 : std::exp(-(t - split) / 0.14);
        return tone * static_cast<float>(level);
    });
}

StereoBuffer JumpEffect()
{
    // A narrow pulse gliding up two octaves, then fading.
    double phase = 0.0;
    return MakeEffect(0.28, [&](double t) {
        double hz = 180.0 * std::pow(2.0, 2.0 * std::fmin(t / 0.18, 1.0));
        float tone = Oscillate(Wave::Square, Advance(phase, hz), hz / SampleRate, 0.25f);
        double level = t < 0.12 ? 1.0 : std::exp(-(t - 0.12) / 0.06);
        return tone * static_cast<float>(level);
    });
}
