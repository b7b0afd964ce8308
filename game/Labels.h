#ifndef LABELS_H
#define LABELS_H

// Text on screen: labels made of glyph sprites, and the counters they show.

// The menu's tick: refreshes the menu's display of the chosen level.
void MenuTick();

#endif
