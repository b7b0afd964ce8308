#ifndef LABELS_H
#define LABELS_H

#include <string>

// Text on screen, drawn with one glyph sprite per character instead of a font. A label
// is a named group node in the "text" layer, scaled by 1.2, holding the glyphs of its
// non-space characters in text order, 7 layout pixels apart; counters are labels whose
// glyphs are re-selected when their value changes, and some labels are padded with
// leading zeros so that a counter keeps the glyph count it was made with. While a level
// scrolls the whole "text" layer follows the hero, so the labels stay put on screen.
// A character without a glyph still gets its sprite, hidden, so that it shows as a blank
// and the k-th glyph keeps matching the k-th character.

// The characters the game's labels show: the digits of its counters and the capitals of
// its fixed texts. The glyph sprite has one action per character, "char" and the
// character ("charA").
constexpr const char* LabelCharacters = "0123456789ABCDEFGHILMNOPQRSTUVWXY";

// The name of the glyph sprite's action showing c.
std::string GlyphActionName(char c);

// The text with leading zeros added to the minimum length of the label name: 4 for
// "time", 8 for "pointsscored", 3 for "Defeated" and "flags", none for any other name.
std::string AddLeadingZeros(const char* text, const char* labelName);

// Makes label labelName under the "text" layer of GameState::engine: one glyph per
// non-space character of the zero-padded text, glyph i at (originX + x + 7 i, originY + y).
// Asserts there is a stage with a "text" layer and glyph sprite 58, and that the name is new.
void CreateLabel(int x, int y, const char* text, const char* labelName);

// Makes label labelName as CreateLabel does and moves it so that its glyphs are centred on
// the screen, wherever the "text" layer is. Asserts as CreateLabel.
void CreateCentredLabel(const char* text, const char* labelName);

// Shows the zero-padded text on label labelName, child k taking character k; spaces,
// characters beyond the glyphs and glyphs beyond the text are left as they are. Does
// nothing when there is no stage or no such label.
void UpdateLabel(const char* text, const char* labelName);

// The decimal text of value: a leading minus sign when negative, no leading zeros.
std::string NumberToText(int value);

// Moves the "text" layer to the hero's x (keeping its y) while originX - 5 < hero x <
// rightBound + 3, so that the labels stay fixed on a scrolling level. Does nothing
// without a stage, a "text" layer or a hero ("track").
void FollowHeroWithText();

// The menu's tick: shows the chosen level on the "levelnumber" label, if there is one.
void MenuTick();

#endif
