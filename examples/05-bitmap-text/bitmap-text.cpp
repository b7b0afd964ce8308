// Bitmap text: lines in a font cut from one picture, and counters that change as it runs.
//
// A font is a resource like a sprite: bitmap-text.xml cuts it from a picture, one glyph per
// character code, and MvTextNode shows a line of it, the first glyph's top-left corner at
// the node's position. Look at three things. TextWidth says how far a text reaches, which
// centres the title and right-aligns the numbers. SetText changes the text: the frame
// counter calls it every frame with a new number; the clock calls it every frame too, but
// its text changes once a second, and a setter that is given what the node already shows
// costs nothing and repaints nothing. And a text node is a node like any other: scaled
// (the title three times, the wave twice), tinted by a colour transform (every line), moved (the wave, a
// node per letter) and hidden (the blinking cursor and last line).

#include "ExampleRun.h"

#include <movo/Movo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

const int ScreenWidth = 640;
const int ScreenHeight = 480;
const int LabelX = 150;     // the left edge of the board's labels
const int ValueRight = 490; // the right edge of the board's numbers
const int BoardY[3] = {140, 172, 204};
const char Wave[] = "HELLO, TEXT NODES!";
const int WaveY = 250;
const char Typed[] = "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG.";
const int TypedX = 40;
const int TypedY = 330;
const int FramesPerLetter = 4;

// A colour transform that multiplies the glyphs' white-to-blue-grey by a colour.
MvColorXform Tint(int red, int green, int blue)
{
    MvColorXform tint;
    tint.Set(red, 0, green, 0, blue, 0, 255);
    return tint;
}

MvTextNode* AddText(MvStage* stage, MvFontResource* font, const char* text, int x, int y, const MvColorXform& tint)
{
    MvTextNode* node = new MvTextNode(font, text);
    stage->SceneTree()->InsertNode(nullptr, node);
    node->MoveTo(x, y);
    node->SetColorXform(tint);
    return node;
}

// A text placed so that it ends at right.
void SetRightAligned(MvTextNode* node, const char* text, int right, int y)
{
    node->SetText(text);
    node->MoveTo(right - node->TextWidth(), y);
}

} // namespace

int main(int argc, char** argv)
{
    ExampleRun run(argc, argv);

    SDL_Surface* screen = run.OpenWindow(ScreenWidth, ScreenHeight);
    MvStage* stage = new MvStage(screen);
    MvColor night;
    night.Set(0x1b, 0x1f, 0x3b, 255);
    stage->SetBackgroundColor(&night);

    const std::string dataFile = run.DataFile("bitmap-text.dat");
    if (!stage->Vault()->LoadDatFile(dataFile.c_str())) {
        std::fprintf(stderr, "bitmap-text: cannot load %s\n", dataFile.c_str());
        delete stage;
        SDL_Quit();
        return 1;
    }
    MvFontResource* font = stage->Vault()->FindFontResource("Arcade");

    // The title, three times the font's size and centred by its width.
    MvTextNode* title = AddText(stage, font, "BITMAP TEXT", 0, 16, Tint(255, 214, 90));
    title->SetScaling(MvFixed::FromInt(3), MvFixed::FromInt(3));
    title->MoveTo((ScreenWidth - 3 * title->TextWidth()) / 2, 16);
    MvTextNode* subtitle = AddText(stage, font, "ONE PICTURE, ONE GLYPH A CHARACTER", 0, 96, Tint(190, 205, 255));
    subtitle->MoveTo((ScreenWidth - subtitle->TextWidth()) / 2, 96);

    // The board: labels on the left, numbers right-aligned, set in the loop.
    const char* const labels[3] = {"FRAME", "CLOCK", "SCORE"};
    MvTextNode* values[3];
    for (int i = 0; i < 3; ++i) {
        AddText(stage, font, labels[i], LabelX, BoardY[i], Tint(150, 220, 255));
        values[i] = AddText(stage, font, "", ValueRight, BoardY[i], MvColorXform());
    }

    // The wave: a node per letter at twice the size, each placed where the pen of the
    // whole line would be.
    const int waveLength = sizeof Wave - 1;
    MvTextNode* letters[waveLength];
    int letterX[waveLength];
    int x = (ScreenWidth - 2 * MvTextNode(font, Wave).TextWidth()) / 2;
    for (int i = 0; i < waveLength; ++i) {
        const char letter[2] = {Wave[i], '\0'};
        letters[i] = AddText(stage, font, letter, x, WaveY, MvColorXform());
        letters[i]->SetScaling(MvFixed::FromInt(2), MvFixed::FromInt(2));
        letterX[i] = x;
        x += 2 * letters[i]->TextWidth();
    }
    const MvColorXform rainbow[6] = {Tint(255, 110, 110), Tint(255, 180, 90), Tint(255, 235, 110),
                                     Tint(120, 240, 130), Tint(110, 220, 255), Tint(200, 140, 255)};

    MvTextNode* typed = AddText(stage, font, "", TypedX, TypedY, Tint(140, 255, 160));
    MvTextNode* cursor = AddText(stage, font, "_", TypedX, TypedY, Tint(140, 255, 160));
    MvTextNode* footer = AddText(stage, font, "PRESS ESC TO QUIT", 0, 418, Tint(255, 150, 170));
    footer->MoveTo((ScreenWidth - footer->TextWidth()) / 2, 418);
    for (int y : {78, 398}) {
        MvSpriteNode* rule = new MvSpriteNode(stage->Vault()->FindSpriteResource("Rule"));
        stage->SceneTree()->InsertNode(nullptr, rule);
        rule->MoveTo(40, y);
    }

    while (run.Running()) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            run.Watch(event);

        const int frame = run.Frame();
        char number[32];
        std::snprintf(number, sizeof number, "%06d", frame);
        SetRightAligned(values[0], number, ValueRight, BoardY[0]);
        const int seconds = frame / ExampleRun::FramesPerSecond;
        std::snprintf(number, sizeof number, "%02d:%02d", seconds / 60, seconds % 60);
        SetRightAligned(values[1], number, ValueRight, BoardY[1]);
        std::snprintf(number, sizeof number, "%d", frame * frame / 4 * 10);
        SetRightAligned(values[2], number, ValueRight, BoardY[2]);

        for (int i = 0; i < waveLength; ++i) {
            const int rise = static_cast<int>(std::lround(10 * std::sin(frame * 0.12 - i * 0.55)));
            letters[i]->MoveTo(letterX[i], WaveY - rise);
            letters[i]->SetColorXform(rainbow[(i + frame / 8) % 6]);
        }

        // The typewriter: one more letter every few frames, then a pause, then again.
        const int typedLength = sizeof Typed - 1;
        const int cycle = (typedLength + 30) * FramesPerLetter;
        const int shown = std::min(typedLength, frame % cycle / FramesPerLetter);
        typed->SetText(std::string(Typed, shown).c_str());
        cursor->MoveTo(TypedX + typed->TextWidth(), TypedY);
        cursor->SetShown(frame / 15 % 2 == 0);
        footer->SetShown(frame / 40 % 2 == 0);

        stage->Draw(true);
        run.FrameDone(stage);
    }

    delete stage;
    SDL_Quit();
    return run.ExitCode();
}
