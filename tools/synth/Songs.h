#ifndef SONGS_H
#define SONGS_H

// The game's music, written as sequencer data: three looping level tracks of distinct
// mood and the short jingle played when the hero dies.

#include "Sequencer.h"

Song SkyLevelSong();      // level 1: bright and heroic, C major, a march with brass and strings
Song MysteryLevelSong();  // level 2: mysterious, A minor, bells and a flute over a slow pad
Song DriveLevelSong();    // level 3: driving and tense, E minor, fast bass and pulse lead
Song DeathJingle();       // a falling line that settles on a C minor chord

#endif
