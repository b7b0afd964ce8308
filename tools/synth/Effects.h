#ifndef EFFECTS_H
#define EFFECTS_H

// The game's short sound effects, each made directly from oscillators, noise and
// filters. Every effect starts at once (a late start feels like lag) and fades to exact
// silence, so cutting one off with the next on the same channel never clicks.

#include "StereoBuffer.h"

StereoBuffer StompEffect();   // a soft, low thud with a squelch: an enemy flattened
StereoBuffer UnghEffect();    // a short grunt: the hero hurt from the side
StereoBuffer InjuryEffect();  // a falling, dissonant sting: hurt from above by spikes
StereoBuffer BumpEffect();    // a dull knock: the hero's head hits a block
StereoBuffer CoinEffect();    // a bright two-note chime: a flag picked up
StereoBuffer JumpEffect();    // a quick rising sweep: a jump

#endif
