#include "Sequencer.h"

#include "StateVariableFilter.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const double Pi = 3.14159265358979323846;

// Seconds every track renders past the song's last bar, enough for the longest release
// and the echoes to die away.
const double TailSeconds = 6.0;

[[noreturn]] void SongFault(const char* format, ...) __attribute__((format(printf, 1, 2)));

void SongFault(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::fputs("movo-synth: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
    std::exit(1);
}

enum class StepKind { Notes, Hold, Rest, Hit };

struct Step {
    StepKind kind = StepKind::Rest;
    std::vector<double> frequencies;
    float velocity = 0.0f;
};

// Where a step came from, for messages.
struct Place {
    const Song& song;
    const Track& track;
    size_t bar;
};

// MIDI number of a note name such as "C4", "F#3" or "Bb5"; -1 when it is not one.
int ParseNoteName(const std::string& name)
{
    static const int letterSemitones[7] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        return -1;
    int semitone = letterSemitones[name[0] - 'A'];
    size_t at = 1;
    if (name[at] == '#') {
        ++semitone;
        ++at;
    } else if (name[at] == 'b') {
        --semitone;
        ++at;
    }
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '8')
        return -1;
    return 12 * (name[at] - '0' + 1) + semitone;
}

Step ParseStep(const std::string& token, const Place& place)
{
    Step step;
    bool drum = place.track.drum != Drum::None;
    if (token == "-") {
        step.kind = StepKind::Hold;
    } else if (token == ".") {
        step.kind = StepKind::Rest;
    } else if (drum && (token == "x" || token == "o")) {
        step.kind = StepKind::Hit;
        step.velocity = token == "x" ? 1.0f : 0.5f;
    } else if (!drum) {
        step.kind = StepKind::Notes;
        size_t start = 0;
        while (start <= token.size()) {
            size_t plus = token.find('+', start);
            std::string name = token.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
            int midi = ParseNoteName(name);
            if (midi < 0)
                SongFault("song \"%s\", track \"%s\", bar %zu: \"%s\" is not a note", place.song.name,
                          place.track.name, place.bar + 1, token.c_str());
            step.frequencies.push_back(NoteFrequency(midi));
            if (plus == std::string::npos)
                break;
            start = plus + 1;
        }
    } else {
        SongFault("song \"%s\", drum track \"%s\", bar %zu: \"%s\" is not x, o, - or .", place.song.name,
                  place.track.name, place.bar + 1, token.c_str());
    }
    return step;
}

std::vector<Step> ParseTrack(const Song& song, const Track& track)
{
    size_t stepsPerBar = static_cast<size_t>(song.beatsPerBar * track.stepsPerBeat);
    std::vector<Step> steps;
    for (size_t bar = 0; bar < track.bars.size(); ++bar) {
        Place place{song, track, bar};
        size_t before = steps.size();
        std::string text = track.bars[bar];
        size_t at = 0;
        while (true) {
            at = text.find_first_not_of(' ', at);
            if (at == std::string::npos)
                break;
            size_t end = text.find(' ', at);
            steps.push_back(ParseStep(text.substr(at, end - at), place));
            at = end;
        }
        if (steps.size() - before != stepsPerBar)
            SongFault("song \"%s\", track \"%s\", bar %zu: %zu steps instead of %zu", song.name, track.name,
                      bar + 1, steps.size() - before, stepsPerBar);
    }
    return steps;
}

double StepSeconds(const Song& song, const Track& track)
{
    return 60.0 / song.bpm / track.stepsPerBeat;
}

size_t StepFrame(const Song& song, const Track& track, size_t step)
{
    return static_cast<size_t>(std::llround(step * StepSeconds(song, track) * SampleRate));
}

// The track's own sound, unplaced and at unit level.
std::vector<float> RenderTrack(const Song& song, const Track& track, size_t frames, Noise& noise)
{
    std::vector<float> out(frames, 0.0f);
    std::vector<Step> steps = ParseTrack(song, track);
    for (size_t i = 0; i < steps.size(); ++i) {
        std::vector<float> sound;
        if (steps[i].kind == StepKind::Hit) {
            sound = RenderDrum(track.drum, steps[i].velocity, noise);
        } else if (steps[i].kind == StepKind::Notes) {
            size_t end = i + 1;
            while (end < steps.size() && steps[end].kind == StepKind::Hold)
                ++end;
            double gate = (end - i) * StepSeconds(song, track) * track.instrument.gate;
            sound = RenderNote(track.instrument, steps[i].frequencies, gate);
        }
        size_t at = StepFrame(song, track, i);
        for (size_t k = 0; k < sound.size() && at + k < frames; ++k)
            out[at + k] += sound[k];
    }
    return out;
}

std::vector<float> EchoOf(const std::vector<float>& dry, size_t delay, float feedback)
{
    std::vector<float> wet(dry.size(), 0.0f);
    for (size_t i = delay; i < dry.size(); ++i)
        wet[i] = dry[i - delay] + feedback * wet[i - delay];
    return wet;
}

// How long a hit of each drum lasts, in seconds.
double DrumSeconds(Drum drum)
{
    switch (drum) {
    case Drum::Kick: return 0.30;
    case Drum::Snare: return 0.22;
    case Drum::ClosedHat: return 0.06;
    case Drum::OpenHat: return 0.30;
    case Drum::Tom: return 0.40;
    case Drum::Shaker: return 0.10;
    case Drum::None: break;
    }
    return 0.0;
}

// What one drum hit carries from sample to sample.
struct DrumVoice {
    StateVariableFilter filter;
    double phase = 0.0;    // of the tone, in cycles
    float previous = 0.0f; // the noise sample before
};

// One sample of a drum hit t seconds in, with white the noise sample for it.
float DrumSample(Drum drum, double t, float white, DrumVoice& voice)
{
    switch (drum) {
    case Drum::Kick: {
        // A sine whose pitch drops fast: the punch, then the boom.
        voice.phase += (45.0 + 110.0 * std::exp(-t / 0.03)) / SampleRate;
        float value = static_cast<float>(std::sin(2.0 * Pi * voice.phase) * std::exp(-t / 0.09));
        return value + 0.15f * white * static_cast<float>(std::exp(-t / 0.002));
    }
    case Drum::Snare: {
        voice.phase += 185.0 / SampleRate;
        float tone = static_cast<float>(0.5 * std::sin(2.0 * Pi * voice.phase) * std::exp(-t / 0.03));
        float rattle = (white - voice.previous) * 0.45f * static_cast<float>(std::exp(-t / 0.06));
        return tone + rattle;
    }
    case Drum::ClosedHat:
    case Drum::OpenHat: {
        voice.filter.Process(white, 7000.0, 1.2f);
        double decay = drum == Drum::ClosedHat ? 0.012 : 0.08;
        return 0.6f * voice.filter.High() * static_cast<float>(std::exp(-t / decay));
    }
    case Drum::Tom:
        voice.phase += (75.0 + 55.0 * std::exp(-t / 0.08)) / SampleRate;
        return static_cast<float>(std::sin(2.0 * Pi * voice.phase) * std::exp(-t / 0.13));
    case Drum::Shaker: {
        voice.filter.Process(white, 6000.0, 0.8f);
        double level = t < 0.015 ? t / 0.015 : std::exp(-(t - 0.015) / 0.02);
        return 0.5f * voice.filter.Band() * static_cast<float>(level);
    }
    case Drum::None:
        break;
    }
    return 0.0f;
}

// A millisecond fade in and five out: the hit starts and ends without a click.
void FadeEdges(std::vector<float>& out)
{
    size_t frames = out.size();
    size_t fadeIn = SampleRate / 1000;
    size_t fadeOut = SampleRate / 200;
    for (size_t i = 0; i < fadeIn && i < frames; ++i)
        out[i] *= static_cast<float>(i) / fadeIn;
    for (size_t i = 0; i < fadeOut && i < frames; ++i)
        out[frames - 1 - i] *= static_cast<float>(i) / fadeOut;
}

} // namespace

std::vector<float> RenderNote(const Instrument& instrument, const std::vector<double>& frequencies,
                              double gateSeconds)
{
    const Envelope& envelope = instrument.envelope;
    size_t frames = static_cast<size_t>(std::ceil(envelope.Length(gateSeconds) * SampleRate)) + 1;
    std::vector<float> out(frames, 0.0f);
    int oscillators = instrument.detuneCents != 0.0f ? 2 : 1;
    float scale = 1.0f / std::sqrt(static_cast<float>(frequencies.size() * oscillators));
    for (double frequency : frequencies) {
        for (int o = 0; o < oscillators; ++o) {
            double base = frequency * std::pow(2.0, o * instrument.detuneCents / 1200.0);
            double phase = o * 0.37;
            for (size_t i = 0; i < frames; ++i) {
                double t = static_cast<double>(i) / SampleRate;
                double hz = base;
                if (instrument.vibratoCents > 0.0f && t > instrument.vibratoDelay) {
                    double since = t - instrument.vibratoDelay;
                    double depth = instrument.vibratoCents * std::fmin(1.0, since / 0.25);
                    hz *= std::pow(2.0, depth * std::sin(2.0 * Pi * instrument.vibratoHz * since) / 1200.0);
                }
                double phaseStep = hz / SampleRate;
                out[i] += scale * Oscillate(instrument.wave, phase, phaseStep, instrument.duty);
                phase += phaseStep;
                phase -= std::floor(phase);
            }
        }
    }
    if (instrument.cutoff > 0.0f) {
        // Two one-pole low-passes in a row: a gentle 12 dB per octave roll-off.
        float a = static_cast<float>(1.0 - std::exp(-2.0 * Pi * instrument.cutoff / SampleRate));
        float first = 0.0f;
        float second = 0.0f;
        for (float& sample : out) {
            first += a * (sample - first);
            second += a * (first - second);
            sample = second;
        }
    }
    for (size_t i = 0; i < frames; ++i)
        out[i] *= envelope.LevelAt(static_cast<double>(i) / SampleRate, gateSeconds);
    return out;
}

std::vector<float> RenderDrum(Drum drum, float velocity, Noise& noise)
{
    if (drum == Drum::None)
        return {};
    size_t frames = static_cast<size_t>(DrumSeconds(drum) * SampleRate);
    std::vector<float> out(frames, 0.0f);
    DrumVoice voice;
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / SampleRate;
        float white = noise.Next();
        out[i] = DrumSample(drum, t, white, voice) * velocity;
        voice.previous = white;
    }
    FadeEdges(out);
    return out;
}

size_t SongFrames(const Song& song)
{
    size_t bars = song.tracks.empty() ? 0 : song.tracks[0].bars.size();
    return static_cast<size_t>(std::llround(bars * song.beatsPerBar * 60.0 / song.bpm * SampleRate));
}

StereoBuffer RenderSong(const Song& song)
{
    if (song.tracks.empty())
        SongFault("song \"%s\" has no tracks", song.name);
    for (const Track& track : song.tracks) {
        if (track.bars.size() != song.tracks[0].bars.size())
            SongFault("song \"%s\": track \"%s\" has %zu bars, track \"%s\" %zu", song.name, track.name,
                      track.bars.size(), song.tracks[0].name, song.tracks[0].bars.size());
    }
    size_t songFrames = SongFrames(song);
    size_t tailFrames = static_cast<size_t>(TailSeconds * SampleRate);
    if (song.loops && tailFrames >= songFrames)
        SongFault("song \"%s\" is too short to loop", song.name);
    StereoBuffer mix(songFrames + tailFrames);
    Noise noise(song.seed);
    for (const Track& track : song.tracks) {
        std::vector<float> dry = RenderTrack(song, track, mix.Frames(), noise);
        mix.AddMono(dry, 0, track.pan, track.level);
        if (track.echo.beats > 0.0f) {
            size_t delay = static_cast<size_t>(std::llround(track.echo.beats * 60.0 / song.bpm * SampleRate));
            mix.AddMono(EchoOf(dry, delay, track.echo.feedback), 0, -track.pan, track.level * track.echo.level);
        }
    }
    if (song.loops) {
        for (size_t i = 0; i < tailFrames; ++i) {
            mix.left[i] += mix.left[songFrames + i];
            mix.right[i] += mix.right[songFrames + i];
        }
        mix.Resize(songFrames);
    } else {
        size_t end = mix.Frames();
        while (end > 0 && std::fabs(mix.left[end - 1]) < 1e-5f && std::fabs(mix.right[end - 1]) < 1e-5f)
            --end;
        mix.Resize(end);
    }
    return mix;
}
