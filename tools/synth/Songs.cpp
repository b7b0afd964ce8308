#include "Songs.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <string>

namespace {

const char* const Rest8 = ". . . . . . . .";

// Instruments shared by the songs.

Instrument Brass()
{
    Instrument i;
    i.wave = Wave::Saw;
    i.detuneCents = 6.0f;
    i.cutoff = 2600.0f;
    i.envelope = {0.03f, 0.3f, 0.7f, 0.12f};
    i.vibratoCents = 12.0f;
    i.vibratoDelay = 0.25f;
    i.gate = 0.92f;
    return i;
}

Instrument Strings(float cutoff, float attack, float release)
{
    Instrument i;
    i.wave = Wave::Saw;
    i.detuneCents = 9.0f;
    i.cutoff = cutoff;
    i.envelope = {attack, 0.8f, 0.8f, release};
    i.gate = 1.0f;
    return i;
}

Instrument Pluck(Wave wave, float decay)
{
    Instrument i;
    i.wave = wave;
    i.envelope = {0.003f, decay, 0.0f, 0.05f};
    i.gate = 0.9f;
    return i;
}

Instrument Bass(Wave wave, float cutoff, float gate)
{
    Instrument i;
    i.wave = wave;
    i.cutoff = cutoff;
    i.envelope = {0.004f, 0.2f, 0.6f, 0.04f};
    i.gate = gate;
    return i;
}

Track DrumTrack(const char* name, Drum drum, float level, float pan, std::vector<const char*> bars)
{
    Track t;
    t.name = name;
    t.drum = drum;
    t.stepsPerBeat = 4;
    t.level = level;
    t.pan = pan;
    t.bars = std::move(bars);
    return t;
}

Track ToneTrack(const char* name, const Instrument& instrument, int stepsPerBeat, float level, float pan,
                std::vector<const char*> bars)
{
    Track t;
    t.name = name;
    t.instrument = instrument;
    t.stepsPerBeat = stepsPerBeat;
    t.level = level;
    t.pan = pan;
    t.bars = std::move(bars);
    return t;
}

// A level song: it loops, at bpm beats a minute, its drums' noise started from seed.
Song LoopingSong(const char* name, double bpm, uint32_t seed)
{
    Song song;
    song.name = name;
    song.bpm = bpm;
    song.loops = true;
    song.seed = seed;
    return song;
}

// The bars of a track that plays one bar per chord of progression (chord names between
// spaces), each the pattern patterns gives for that chord. A chord without a pattern is a
// fault in the song data and ends the program.
std::vector<const char*> FollowChords(const char* progression, const std::map<std::string, const char*>& patterns)
{
    std::vector<const char*> bars;
    std::string chord;
    for (const char* c = progression;; ++c) {
        if (*c != ' ' && *c != '\0') {
            chord += *c;
            continue;
        }
        if (!chord.empty()) {
            const auto found = patterns.find(chord);
            if (found == patterns.end()) {
                std::fprintf(stderr, "movo-synth: no bar for the chord \"%s\" of \"%s\"\n", chord.c_str(), progression);
                std::exit(1);
            }
            bars.push_back(found->second);
            chord.clear();
        }
        if (*c == '\0')
            return bars;
    }
}

// The bars of phrases of the given lengths in bars: each phrase plays bar and ends with
// fill, as a drummer marks the end of a phrase.
std::vector<const char*> Phrases(const char* bar, const char* fill, std::initializer_list<int> lengths)
{
    std::vector<const char*> bars;
    for (int length : lengths) {
        bars.insert(bars.end(), length - 1, bar);
        bars.push_back(fill);
    }
    return bars;
}

// The drive level's pulse lead, which enters after four bars.
Track DriveLead()
{
    Instrument pulse;
    pulse.wave = Wave::Square;
    pulse.duty = 0.25f;
    pulse.envelope = {0.005f, 0.15f, 0.7f, 0.06f};
    pulse.vibratoCents = 15.0f;
    pulse.vibratoHz = 6.0f;
    pulse.vibratoDelay = 0.2f;
    Track lead = ToneTrack("pulse lead", pulse, 2, 0.5f, 0.0f, {
        Rest8, Rest8, Rest8, Rest8,
        "E5 - B4 - E5 - F#5 G5", "F#5 - E5 - D5 - B4 -",  "G5 - - - F#5 - E5 -",  "F#5 - - - D5 - A4 -",
        "E5 - B4 - E5 - F#5 G5", "A5 - G5 - F#5 - G5 -",  "G5 - E5 - C5 - E5 -",  "F#5 - - - D#5 - B4 -",
        "E5 - G5 - C6 - B5 -",   "A5 - - - F#5 - D5 -",   "G5 - - - F#5 - E5 -",  "B4 - E5 - G5 - B5 -",
        "C6 - B5 - A5 - G5 -",   "F#5 - G5 - A5 - D5 -",  "F#5 - - - - - D#5 -",  "B4 - - - - - . .",
    });
    lead.echo = {0.75f, 0.25f, 0.3f};
    return lead;
}

} // namespace

Song SkyLevelSong()
{
    // Sixteen bars at 120 beats a minute (32 seconds); the last G leads back to the first C.
    const char* chords = "C G Am F C G F-G C F G Em Am Dm G F G";
    Song song = LoopingSong("sky level", 120.0, 0x5c1);

    song.tracks.push_back(ToneTrack("brass melody", Brass(), 2, 0.5f, 0.0f, {
        "G4 - C5 - - - D5 E5",  "D5 - - - B4 - G4 -",  "A4 - C5 - E5 - D5 C5", "C5 - - - A4 - - -",
        "G4 - C5 - - - E5 G5",  "G5 - F5 - E5 - D5 -", "C5 - A4 - B4 - D5 -",  "C5 - - - - - . .",
        "A4 - C5 - F5 - - -",   "B4 - D5 - G5 - - -",  "G5 - - - E5 - B4 -",   "A4 - C5 - E5 - A5 -",
        "F5 - - - E5 - D5 -",   "D5 - - - B4 - G4 -",  "A4 - C5 - F5 - A5 -",  "G5 - - - F5 - D5 -",
    }));
    song.tracks.push_back(ToneTrack("strings", Strings(1400.0f, 0.25f, 0.5f), 1, 0.22f, -0.3f,
                                    FollowChords(chords, {
                                        {"C", "C4+E4+G4 - - -"},  {"G", "B3+D4+G4 - - -"},
                                        {"Am", "A3+C4+E4 - - -"}, {"F", "A3+C4+F4 - - -"},
                                        {"F-G", "A3+C4+F4 - B3+D4+G4 -"},
                                        {"Em", "B3+E4+G4 - - -"}, {"Dm", "A3+D4+F4 - - -"},
                                    })));
    song.tracks.push_back(ToneTrack("harp", Pluck(Wave::Triangle, 0.3f), 2, 0.3f, 0.35f,
                                    FollowChords(chords, {
                                        {"C", "C4 E4 G4 C5 G4 E4 C4 E4"},  {"G", "G3 B3 D4 G4 D4 B3 G3 B3"},
                                        {"Am", "A3 C4 E4 A4 E4 C4 A3 C4"}, {"F", "F3 A3 C4 F4 C4 A3 F3 A3"},
                                        {"F-G", "F3 A3 C4 F4 G3 B3 D4 G4"},
                                        {"Em", "E3 G3 B3 E4 B3 G3 E3 G3"}, {"Dm", "D3 F3 A3 D4 A3 F3 D3 F3"},
                                    })));
    song.tracks.push_back(ToneTrack("bass", Bass(Wave::Triangle, 0.0f, 0.7f), 2, 0.42f, 0.0f,
                                    FollowChords(chords, {
                                        {"C", "C2 - G2 - C3 - G2 -"},  {"G", "G1 - D2 - G2 - D2 -"},
                                        {"Am", "A1 - E2 - A2 - E2 -"}, {"F", "F1 - C2 - F2 - C2 -"},
                                        {"F-G", "F1 - C2 - G1 - D2 -"},
                                        {"Em", "E2 - B2 - E3 - B2 -"}, {"Dm", "D2 - A2 - D3 - A2 -"},
                                    })));

    song.tracks.push_back(DrumTrack("kick", Drum::Kick, 0.5f, 0.0f,
                                    Phrases("x . . . . . . . x . . . . . . .", "x . . . . . . x x . . . . . . .",
                                            {4, 4, 4, 4})));
    song.tracks.push_back(DrumTrack("snare", Drum::Snare, 0.35f, 0.1f,
                                    Phrases(". . . . x . . . . . . . x . . .", ". . . . x . . . x . x . x x x x",
                                            {8, 8})));
    song.tracks.push_back(DrumTrack("hats", Drum::ClosedHat, 0.18f, -0.2f,
                                    std::vector<const char*>(16, "x . o . x . o . x . o . x . o .")));
    return song;
}

Song MysteryLevelSong()
{
    // Twelve bars at 90 beats a minute (32 seconds); the flute enters in the fifth bar.
    const char* chords = "Am F Dm E Am F Bb E Dm Am F E";
    Song song = LoopingSong("mystery level", 90.0, 0x3e7);

    Instrument flute;
    flute.wave = Wave::Sine;
    flute.envelope = {0.08f, 0.3f, 0.85f, 0.25f};
    flute.vibratoCents = 18.0f;
    flute.vibratoHz = 5.0f;
    flute.vibratoDelay = 0.3f;
    flute.gate = 0.95f;
    Track flutes = ToneTrack("flute", flute, 2, 0.55f, -0.2f, {
        Rest8, Rest8, Rest8, Rest8,
        "E5 - - - - - D5 C5",  "C5 - - - A4 - - -",  "D5 - - - - - C5 Bb4", "B4 - - - G#4 - - -",
        "A4 - - - D5 - F5 -",  "E5 - - - C5 - A4 -", "F5 - - - E5 - C5 -",  "B4 - - - G#4 - - .",
    });
    flutes.echo = {1.0f, 0.3f, 0.4f};
    song.tracks.push_back(flutes);

    Instrument bell = Pluck(Wave::Sine, 1.2f);
    bell.detuneCents = 7.0f;
    bell.gate = 1.0f;
    Track bells = ToneTrack("bells", bell, 2, 0.3f, 0.3f, FollowChords(chords, {
        {"Am", "A4 C5 E5 A5 E5 C5 B4 C5"}, {"F", "F4 A4 C5 E5 C5 A4 G4 A4"}, {"Dm", "D4 F4 A4 C5 A4 F4 E4 F4"},
        {"E", "E4 G#4 B4 D5 B4 G#4 F4 G#4"}, {"Bb", "Bb3 D4 F4 A4 F4 D4 C4 D4"},
    }));
    bells.echo = {0.75f, 0.35f, 0.5f};
    song.tracks.push_back(bells);

    song.tracks.push_back(ToneTrack("pad", Strings(900.0f, 0.8f, 1.2f), 1, 0.3f, 0.0f, FollowChords(chords, {
        {"Am", "A3+C4+E4 - - -"}, {"F", "F3+A3+C4 - - -"}, {"Dm", "F3+A3+D4 - - -"},
        {"E", "E3+G#3+B3 - - -"}, {"Bb", "F3+Bb3+D4 - - -"},
    })));

    Instrument deep = Bass(Wave::Triangle, 0.0f, 0.95f);
    deep.envelope = {0.01f, 1.5f, 0.5f, 0.3f};
    song.tracks.push_back(ToneTrack("bass", deep, 1, 0.38f, 0.0f, FollowChords(chords, {
        {"Am", "A1 - - -"}, {"F", "F1 - - -"}, {"Dm", "D2 - - -"}, {"E", "E1 - - -"}, {"Bb", "Bb1 - - -"},
    })));

    song.tracks.push_back(DrumTrack("tom", Drum::Tom, 0.4f, 0.0f,
                                    Phrases("x . . . . . o . . . . . . . . .", "x . . . . . o . . . . . o . o .",
                                            {4, 4, 4})));
    song.tracks.push_back(DrumTrack("shaker", Drum::Shaker, 0.2f, 0.4f,
                                    std::vector<const char*>(12, ". . o . x . o . . . o . x . o .")));
    return song;
}

Song DriveLevelSong()
{
    // Twenty bars at 150 beats a minute (32 seconds): an intro of bass, drums and arpeggio,
    // then three phrases; B leads back to Em.
    const char* chords = "Em Em C D  Em Em C D Em Em C B  C D Em Em C D B B";
    Song song = LoopingSong("drive level", 150.0, 0xd21);

    song.tracks.push_back(DriveLead());

    Instrument chip;
    chip.wave = Wave::Square;
    chip.duty = 0.125f;
    chip.envelope = {0.002f, 0.08f, 0.3f, 0.03f};
    chip.gate = 0.6f;
    Track arpeggio = ToneTrack("arpeggio", chip, 4, 0.16f, 0.4f, FollowChords(chords, {
        {"Em", "E4 B4 G4 B4 E5 B4 G4 B4 E4 B4 G4 B4 E5 B4 G4 B4"},
        {"C", "C4 G4 E4 G4 C5 G4 E4 G4 C4 G4 E4 G4 C5 G4 E4 G4"},
        {"D", "D4 A4 F#4 A4 D5 A4 F#4 A4 D4 A4 F#4 A4 D5 A4 F#4 A4"},
        {"B", "B3 F#4 D#4 F#4 B4 F#4 D#4 F#4 B3 F#4 D#4 F#4 B4 F#4 D#4 F#4"},
    }));
    arpeggio.echo = {0.5f, 0.3f, 0.5f};
    song.tracks.push_back(arpeggio);

    song.tracks.push_back(ToneTrack("bass", Bass(Wave::Saw, 900.0f, 0.75f), 2, 0.42f, 0.0f, FollowChords(chords, {
        {"Em", "E2 E2 E3 E2 D3 E2 B2 E2"}, {"C", "C2 C2 C3 C2 B2 C2 G2 C2"},
        {"D", "D2 D2 D3 D2 C3 D2 A2 D2"},  {"B", "B1 B1 B2 B1 A2 B1 F#2 B1"},
    })));

    // The drums mark the end of each phrase; there the closed hats stop for an open one.
    const std::initializer_list<int> phrases = {4, 8, 8};
    song.tracks.push_back(DrumTrack("kick", Drum::Kick, 0.6f, 0.0f,
                                    std::vector<const char*>(20, "x . . . x . . x x . . . x . . .")));
    song.tracks.push_back(DrumTrack("snare", Drum::Snare, 0.35f, 0.1f,
                                    Phrases(". . . . x . . . . . . . x . . .", ". . . . x . . . x . x . x x x x",
                                            phrases)));
    song.tracks.push_back(DrumTrack("hats", Drum::ClosedHat, 0.16f, -0.25f,
                                    Phrases("x o x o x o x o x o x o x o x o", "x o x o x o x o x o x o x o . .",
                                            phrases)));
    song.tracks.push_back(DrumTrack("open hat", Drum::OpenHat, 0.16f, -0.25f,
                                    Phrases(". . . . . . . . . . . . . . . .", ". . . . . . . . . . . . . . x .",
                                            phrases)));
    return song;
}

Song DeathJingle()
{
    Song song;
    song.name = "death jingle";
    song.bpm = 120.0;
    song.loops = false;

    Instrument lead;
    lead.wave = Wave::Square;
    lead.envelope = {0.005f, 0.3f, 0.6f, 0.25f};
    lead.vibratoCents = 20.0f;
    lead.vibratoDelay = 0.3f;
    lead.gate = 0.95f;
    song.tracks.push_back(ToneTrack("lead", lead, 4, 0.45f, 0.0f, {
        "G5 - F#5 - F5 - E5 - Eb5 - - - D5 - - -",
        "C5 - - - - - - - . . . . . . . .",
    }));
    song.tracks.push_back(ToneTrack("chords", Strings(1200.0f, 0.05f, 0.5f), 4, 0.3f, -0.2f, {
        "Eb4+G4 - - - - - - - F4+Ab4 - - - F4+B4 - - -",
        "C4+Eb4+G4 - - - - - - - . . . . . . . .",
    }));
    song.tracks.push_back(ToneTrack("bass", Bass(Wave::Triangle, 0.0f, 0.95f), 4, 0.5f, 0.0f, {
        "C3 - - - - - - - Ab2 - - - G2 - - -",
        "C2 - - - - - - - . . . . . . . .",
    }));
    return song;
}
