#include "Songs.h"

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

} // namespace

Song SkyLevelSong()
{
    // Sixteen bars at 120 beats a minute (32 seconds):
    //   C G Am F C G F-G C | F G Em Am Dm G F G  (the last G leads back to the first C).
    Song song;
    song.name = "sky level";
    song.bpm = 120.0;
    song.loops = true;
    song.seed = 0x5c1;

    song.tracks.push_back(ToneTrack("brass melody", Brass(), 2, 0.5f, 0.0f, {
        "G4 - C5 - - - D5 E5",  "D5 - - - B4 - G4 -",  "A4 - C5 - E5 - D5 C5", "C5 - - - A4 - - -",
        "G4 - C5 - - - E5 G5",  "G5 - F5 - E5 - D5 -", "C5 - A4 - B4 - D5 -",  "C5 - - - - - . .",
        "A4 - C5 - F5 - - -",   "B4 - D5 - G5 - - -",  "G5 - - - E5 - B4 -",   "A4 - C5 - E5 - A5 -",
        "F5 - - - E5 - D5 -",   "D5 - - - B4 - G4 -",  "A4 - C5 - F5 - A5 -",  "G5 - - - F5 - D5 -",
    }));

    const char* padC = "C4+E4+G4 - - -";
    const char* padG = "B3+D4+G4 - - -";
    const char* padAm = "A3+C4+E4 - - -";
    const char* padF = "A3+C4+F4 - - -";
    const char* padFG = "A3+C4+F4 - B3+D4+G4 -";
    const char* padEm = "B3+E4+G4 - - -";
    const char* padDm = "A3+D4+F4 - - -";
    song.tracks.push_back(ToneTrack("strings", Strings(1400.0f, 0.25f, 0.5f), 1, 0.22f, -0.3f, {
        padC, padG, padAm, padF, padC, padG, padFG, padC,
        padF, padG, padEm, padAm, padDm, padG, padF, padG,
    }));

    const char* harpC = "C4 E4 G4 C5 G4 E4 C4 E4";
    const char* harpG = "G3 B3 D4 G4 D4 B3 G3 B3";
    const char* harpAm = "A3 C4 E4 A4 E4 C4 A3 C4";
    const char* harpF = "F3 A3 C4 F4 C4 A3 F3 A3";
    const char* harpFG = "F3 A3 C4 F4 G3 B3 D4 G4";
    const char* harpEm = "E3 G3 B3 E4 B3 G3 E3 G3";
    const char* harpDm = "D3 F3 A3 D4 A3 F3 D3 F3";
    song.tracks.push_back(ToneTrack("harp", Pluck(Wave::Triangle, 0.3f), 2, 0.3f, 0.35f, {
        harpC, harpG, harpAm, harpF, harpC, harpG, harpFG, harpC,
        harpF, harpG, harpEm, harpAm, harpDm, harpG, harpF, harpG,
    }));

    const char* bassC = "C2 - G2 - C3 - G2 -";
    const char* bassG = "G1 - D2 - G2 - D2 -";
    const char* bassAm = "A1 - E2 - A2 - E2 -";
    const char* bassF = "F1 - C2 - F2 - C2 -";
    const char* bassFG = "F1 - C2 - G1 - D2 -";
    const char* bassEm = "E2 - B2 - E3 - B2 -";
    const char* bassDm = "D2 - A2 - D3 - A2 -";
    song.tracks.push_back(ToneTrack("bass", Bass(Wave::Triangle, 0.0f, 0.7f), 2, 0.42f, 0.0f, {
        bassC, bassG, bassAm, bassF, bassC, bassG, bassFG, bassC,
        bassF, bassG, bassEm, bassAm, bassDm, bassG, bassF, bassG,
    }));

    const char* kick = "x . . . . . . . x . . . . . . .";
    const char* kickPush = "x . . . . . . x x . . . . . . .";
    song.tracks.push_back(DrumTrack("kick", Drum::Kick, 0.5f, 0.0f, {
        kick, kick, kick, kickPush, kick, kick, kick, kickPush,
        kick, kick, kick, kickPush, kick, kick, kick, kickPush,
    }));
    const char* snare = ". . . . x . . . . . . . x . . .";
    const char* snareRoll = ". . . . x . . . x . x . x x x x";
    song.tracks.push_back(DrumTrack("snare", Drum::Snare, 0.35f, 0.1f, {
        snare, snare, snare, snare, snare, snare, snare, snareRoll,
        snare, snare, snare, snare, snare, snare, snare, snareRoll,
    }));
    const char* hats = "x . o . x . o . x . o . x . o .";
    song.tracks.push_back(DrumTrack("hats", Drum::ClosedHat, 0.18f, -0.2f, {
        hats, hats, hats, hats, hats, hats, hats, hats,
        hats, hats, hats, hats, hats, hats, hats, hats,
    }));
    return song;
}

Song MysteryLevelSong()
{
    // Twelve bars at 90 beats a minute (32 seconds):
    //   Am F Dm E | Am F Bb E | Dm Am F E  (the flute enters in the fifth bar).
    Song song;
    song.name = "mystery level";
    song.bpm = 90.0;
    song.loops = true;
    song.seed = 0x3e7;

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
    const char* bellAm = "A4 C5 E5 A5 E5 C5 B4 C5";
    const char* bellF = "F4 A4 C5 E5 C5 A4 G4 A4";
    const char* bellDm = "D4 F4 A4 C5 A4 F4 E4 F4";
    const char* bellE = "E4 G#4 B4 D5 B4 G#4 F4 G#4";
    const char* bellBb = "Bb3 D4 F4 A4 F4 D4 C4 D4";
    Track bells = ToneTrack("bells", bell, 2, 0.3f, 0.3f, {
        bellAm, bellF, bellDm, bellE, bellAm, bellF, bellBb, bellE, bellDm, bellAm, bellF, bellE,
    });
    bells.echo = {0.75f, 0.35f, 0.5f};
    song.tracks.push_back(bells);

    const char* padAm = "A3+C4+E4 - - -";
    const char* padF = "F3+A3+C4 - - -";
    const char* padDm = "F3+A3+D4 - - -";
    const char* padE = "E3+G#3+B3 - - -";
    const char* padBb = "F3+Bb3+D4 - - -";
    song.tracks.push_back(ToneTrack("pad", Strings(900.0f, 0.8f, 1.2f), 1, 0.3f, 0.0f, {
        padAm, padF, padDm, padE, padAm, padF, padBb, padE, padDm, padAm, padF, padE,
    }));

    Instrument deep = Bass(Wave::Triangle, 0.0f, 0.95f);
    deep.envelope = {0.01f, 1.5f, 0.5f, 0.3f};
    song.tracks.push_back(ToneTrack("bass", deep, 1, 0.38f, 0.0f, {
        "A1 - - -", "F1 - - -", "D2 - - -", "E1 - - -", "A1 - - -", "F1 - - -",
        "Bb1 - - -", "E1 - - -", "D2 - - -", "A1 - - -", "F1 - - -", "E1 - - -",
    }));

    const char* tom = "x . . . . . o . . . . . . . . .";
    const char* tomTurn = "x . . . . . o . . . . . o . o .";
    song.tracks.push_back(DrumTrack("tom", Drum::Tom, 0.4f, 0.0f, {
        tom, tom, tom, tomTurn, tom, tom, tom, tomTurn, tom, tom, tom, tomTurn,
    }));
    const char* shaker = ". . o . x . o . . . o . x . o .";
    song.tracks.push_back(DrumTrack("shaker", Drum::Shaker, 0.2f, 0.4f, {
        shaker, shaker, shaker, shaker, shaker, shaker, shaker, shaker, shaker, shaker, shaker, shaker,
    }));
    return song;
}

Song DriveLevelSong()
{
    // Twenty bars at 150 beats a minute (32 seconds): an intro of bass, drums and arpeggio,
    //   Em Em C D | Em Em C D Em Em C B | C D Em Em C D B B  (B leads back to Em).
    Song song;
    song.name = "drive level";
    song.bpm = 150.0;
    song.loops = true;
    song.seed = 0xd21;

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
    song.tracks.push_back(lead);

    Instrument chip;
    chip.wave = Wave::Square;
    chip.duty = 0.125f;
    chip.envelope = {0.002f, 0.08f, 0.3f, 0.03f};
    chip.gate = 0.6f;
    const char* arpEm = "E4 B4 G4 B4 E5 B4 G4 B4 E4 B4 G4 B4 E5 B4 G4 B4";
    const char* arpC = "C4 G4 E4 G4 C5 G4 E4 G4 C4 G4 E4 G4 C5 G4 E4 G4";
    const char* arpD = "D4 A4 F#4 A4 D5 A4 F#4 A4 D4 A4 F#4 A4 D5 A4 F#4 A4";
    const char* arpB = "B3 F#4 D#4 F#4 B4 F#4 D#4 F#4 B3 F#4 D#4 F#4 B4 F#4 D#4 F#4";
    Track arpeggio = ToneTrack("arpeggio", chip, 4, 0.16f, 0.4f, {
        arpEm, arpEm, arpC, arpD,
        arpEm, arpEm, arpC, arpD, arpEm, arpEm, arpC, arpB,
        arpC, arpD, arpEm, arpEm, arpC, arpD, arpB, arpB,
    });
    arpeggio.echo = {0.5f, 0.3f, 0.5f};
    song.tracks.push_back(arpeggio);

    const char* bassEm = "E2 E2 E3 E2 D3 E2 B2 E2";
    const char* bassC = "C2 C2 C3 C2 B2 C2 G2 C2";
    const char* bassD = "D2 D2 D3 D2 C3 D2 A2 D2";
    const char* bassB = "B1 B1 B2 B1 A2 B1 F#2 B1";
    song.tracks.push_back(ToneTrack("bass", Bass(Wave::Saw, 900.0f, 0.75f), 2, 0.42f, 0.0f, {
        bassEm, bassEm, bassC, bassD,
        bassEm, bassEm, bassC, bassD, bassEm, bassEm, bassC, bassB,
        bassC, bassD, bassEm, bassEm, bassC, bassD, bassB, bassB,
    }));

    const char* kick = "x . . . x . . x x . . . x . . .";
    song.tracks.push_back(DrumTrack("kick", Drum::Kick, 0.6f, 0.0f, {
        kick, kick, kick, kick, kick, kick, kick, kick, kick, kick,
        kick, kick, kick, kick, kick, kick, kick, kick, kick, kick,
    }));
    const char* snare = ". . . . x . . . . . . . x . . .";
    const char* snareFill = ". . . . x . . . x . x . x x x x";
    song.tracks.push_back(DrumTrack("snare", Drum::Snare, 0.35f, 0.1f, {
        snare, snare, snare, snareFill,
        snare, snare, snare, snare, snare, snare, snare, snareFill,
        snare, snare, snare, snare, snare, snare, snare, snareFill,
    }));
    // At the end of each phrase the closed hats stop for an open one to ring.
    const char* hats = "x o x o x o x o x o x o x o x o";
    const char* hatsEnd = "x o x o x o x o x o x o x o . .";
    song.tracks.push_back(DrumTrack("hats", Drum::ClosedHat, 0.16f, -0.25f, {
        hats, hats, hats, hatsEnd, hats, hats, hats, hats, hats, hats,
        hats, hatsEnd, hats, hats, hats, hats, hats, hats, hats, hatsEnd,
    }));
    const char* none = ". . . . . . . . . . . . . . . .";
    const char* open = ". . . . . . . . . . . . . . x .";
    song.tracks.push_back(DrumTrack("open hat", Drum::OpenHat, 0.16f, -0.25f, {
        none, none, none, open, none, none, none, none, none, none,
        none, open, none, none, none, none, none, none, none, open,
    }));
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
