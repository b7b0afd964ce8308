// movo-splash: draws the engine's two splash pictures, the logo ("splash") and the line of
// text under it ("splashText"), and writes them as a resource file with the engine's own
// writer. The build compiles that file into the program (see CMakeLists.txt here).
//
// Both pictures are drawn from shapes in this file, four samples a pixel in each direction
// for smooth edges. They are fully opaque and every colour channel spans more than half
// its range, so each row is one run and every channel is stored in 8 bits: the file then
// has exactly the size the stage expects, which the program checks before it succeeds.

#include "MvAction.h"
#include "MvColor.h"
#include "MvPaintTarget.h"
#include "MvResourceWriter.h"
#include "MvRle.h"
#include "MvSpriteResource.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

const int LogoWidth = 320;
const int LogoHeight = 163;
const int TextWidth = 239;
const int TextHeight = 47;
const long ExpectedFileSize = 191182;
const int Supersampling = 4;

struct Rgb {
    double r, g, b;
};

Rgb Mix(const Rgb& a, const Rgb& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Shared palette: a deep night-blue background, a warm emblem and a cool wordmark.
const Rgb BackgroundTop = {8, 12, 34};
const Rgb BackgroundBottom = {22, 30, 74};
const Rgb EmblemInner = {255, 196, 64};
const Rgb EmblemOuter = {230, 60, 110};
const Rgb WordLeft = {110, 230, 255};
const Rgb WordRight = {190, 120, 255};
const Rgb Ink = {244, 246, 255};

// Distance from p to the segment a-b.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    const double ex = px - (ax + t * dx), ey = py - (ay + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

struct Stroke {
    double ax, ay, bx, by;
};

// A letter of the wordmark: straight strokes and rings, each drawn with a round pen.
struct Glyph {
    std::vector<Stroke> strokes;
    bool ring;
};

// The wordmark's letters in a cell 36 wide and 60 high, pen radius 6.
const double GlyphWidth = 36;
const double GlyphHeight = 60;
const double Pen = 6;

Glyph LetterM()
{
    return {{{6, 54, 6, 6}, {6, 6, 18, 34}, {18, 34, 30, 6}, {30, 6, 30, 54}}, false};
}
Glyph LetterO() { return {{}, true}; }
Glyph LetterV() { return {{{4, 6, 18, 54}, {18, 54, 32, 6}}, false}; }

// Distance from (x, y), in cell coordinates, to the letter's pen line.
double GlyphDistance(const Glyph& glyph, double x, double y)
{
    double d = 1e9;
    for (const Stroke& s : glyph.strokes)
        d = std::min(d, SegmentDistance(x, y, s.ax, s.ay, s.bx, s.by));
    if (glyph.ring) {
        // An upright ellipse through the cell, measured roughly by its normalised radius.
        const double rx = GlyphWidth / 2 - Pen, ry = GlyphHeight / 2 - Pen;
        const double nx = (x - GlyphWidth / 2) / rx, ny = (y - GlyphHeight / 2) / ry;
        const double r = std::sqrt(nx * nx + ny * ny);
        d = std::min(d, std::fabs(r - 1.0) * std::min(rx, ry));
    }
    return d;
}

// A 5 x 7 bitmap font for the line of text: one string a row, '#' is ink.
struct BitmapGlyph {
    char c;
    const char* rows[7];
};

const BitmapGlyph BitmapFont[] = {
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
};

const BitmapGlyph* FindBitmapGlyph(char c)
{
    for (const BitmapGlyph& g : BitmapFont)
        if (g.c == c)
            return &g;
    return nullptr;
}

// A picture in the engine's pixel layout, painted by a function that gives the colour of
// a point; each pixel averages Supersampling^2 points.
struct Picture {
    int width;
    int height;
    std::vector<MvColor> pixels;

    Picture(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}

    void Paint(const std::function<Rgb(double, double)>& shade)
    {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                Rgb sum = {0, 0, 0};
                for (int sy = 0; sy < Supersampling; ++sy) {
                    for (int sx = 0; sx < Supersampling; ++sx) {
                        const Rgb c = shade(x + (sx + 0.5) / Supersampling, y + (sy + 0.5) / Supersampling);
                        sum.r += c.r;
                        sum.g += c.g;
                        sum.b += c.b;
                    }
                }
                const double n = Supersampling * Supersampling;
                MvColor& p = pixels[static_cast<size_t>(y) * width + x];
                p.Set(static_cast<uint8_t>(std::lround(std::clamp(sum.r / n, 0.0, 255.0))),
                      static_cast<uint8_t>(std::lround(std::clamp(sum.g / n, 0.0, 255.0))),
                      static_cast<uint8_t>(std::lround(std::clamp(sum.b / n, 0.0, 255.0))), 255);
            }
        }
    }
};

Rgb Background(double y, double height) { return Mix(BackgroundTop, BackgroundBottom, y / height); }

// Coverage of a pen line at distance d: 1 inside, 0 outside (the supersampling smooths it).
bool Inked(double d, double radius) { return d <= radius; }

// The logo: a round emblem holding a stylised sprite frame and a play mark, and the
// wordmark MOVO beside it with a soft shadow, on a vertical gradient.
Rgb LogoShade(double x, double y)
{
    Rgb c = Background(y, LogoHeight);

    // Emblem: a disc with a radial warm gradient and a light rim.
    const double cx = 66, cy = 81, radius = 54;
    const double dx = x - cx, dy = y - cy;
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r <= radius + 3 && r > radius)
        c = Mix(c, Ink, 0.55);
    if (r <= radius) {
        c = Mix(EmblemInner, EmblemOuter, (dx * 0.4 + dy * 0.9) / radius * 0.5 + 0.5);
        // A sprite frame: the corners of a square outline.
        const double fx = std::fabs(dx), fy = std::fabs(dy);
        if (std::fabs(std::max(fx, fy) - 30) <= 2.5 && std::min(fx, fy) >= 14)
            c = Ink;
        // A play mark: a triangle pointing right.
        const double tx = dx + 6, ty = dy;
        if (tx >= -12 && tx <= 20 && std::fabs(ty) <= (20 - tx) * 0.62)
            c = Ink;
    }

    // Wordmark MOVO with a shadow offset by (3, 4).
    const Glyph letters[4] = {LetterM(), LetterO(), LetterV(), LetterO()};
    const double left = 136, top = 51, advance = GlyphWidth + 9;
    for (int pass = 0; pass < 2; ++pass) {
        const double ox = pass == 0 ? 3 : 0, oy = pass == 0 ? 4 : 0;
        for (int i = 0; i < 4; ++i) {
            const double gx = x - left - i * advance - ox, gy = y - top - oy;
            if (gx < -Pen || gx > GlyphWidth + Pen || gy < -Pen || gy > GlyphHeight + Pen)
                continue;
            if (Inked(GlyphDistance(letters[i], gx, gy), Pen)) {
                if (pass == 0)
                    c = Mix(c, {0, 0, 0}, 0.55);
                else
                    c = Mix(WordLeft, WordRight, (x - left) / (4 * advance));
            }
        }
    }

    // An underline below the wordmark fading out to the right.
    if (y >= 124 && y < 127 && x >= 136 && x < 306)
        c = Mix(Mix(WordLeft, WordRight, (x - 136) / 170), c, (x - 136) / 200);
    return c;
}

// The line of text: "2-D SPRITE ENGINE" in rounded bitmap letters on the logo's
// background colour, centred.
Rgb TextShade(double x, double y)
{
    static const char* const Line = "2-D SPRITE ENGINE";
    const double scale = 2.0;
    const int length = static_cast<int>(std::strlen(Line));
    const double cell = 6 * scale;
    const double lineWidth = length * cell - scale;
    const double left = (TextWidth - lineWidth) / 2, top = (TextHeight - 7 * scale) / 2;

    Rgb c = Mix(BackgroundBottom, BackgroundTop, y / TextHeight * 0.5);
    const int index = static_cast<int>(std::floor((x - left) / cell));
    if (index < 0 || index >= length)
        return c;
    const BitmapGlyph* glyph = FindBitmapGlyph(Line[index]);
    if (!glyph)
        return c;
    // Each ink dot is a rounded square, so diagonal strokes look joined and smooth.
    const double lx = (x - left - index * cell) / scale, ly = (y - top) / scale;
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col) {
            if (glyph->rows[row][col] != '#')
                continue;
            const double ex = std::max(std::fabs(lx - (col + 0.5)) - 0.3, 0.0);
            const double ey = std::max(std::fabs(ly - (row + 0.5)) - 0.3, 0.0);
            if (ex * ex + ey * ey <= 0.28 * 0.28)
                return Ink;
        }
    }
    return c;
}

// Checks that the picture is stored as the file size requires: every colour channel
// spans at least 128 values (8 bits a channel).
bool HasFullRanges(const Picture& picture, const char* name)
{
    int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
    for (const MvColor& p : picture.pixels) {
        const int v[3] = {p.red, p.green, p.blue};
        for (int k = 0; k < 3; ++k) {
            low[k] = std::min(low[k], v[k]);
            high[k] = std::max(high[k], v[k]);
        }
    }
    for (int k = 0; k < 3; ++k) {
        if (high[k] - low[k] < 128) {
            std::fprintf(stderr, "movo-splash: picture '%s' channel %d spans only %d values (128 needed)\n", name, k,
                         high[k] - low[k] + 1);
            return false;
        }
    }
    return true;
}

// A sprite resource of one action "NONE" (id 2) holding picture as its only frame, hot
// spot at the top-left corner, no delta.
MvSpriteResource* MakeSprite(const char* name, int32_t id, Picture& picture)
{
    MvSpriteResource* sprite = new MvSpriteResource(name);
    sprite->SetIdentity(name, id);
    MvAction* action = new MvAction("NONE");
    action->SetIdentity("NONE", 2);
    action->SetFrameCount(1);
    MvPaintTarget source(picture.pixels.data(), picture.width, picture.height);
    action->FrameAt(0)->Create(source, 0, 0, picture.width, picture.height, 0, 0, 0, 0);
    sprite->AppendAction(action);
    return sprite;
}

void PrintHelp()
{
    std::printf("Usage: movo-splash OUTPUT\n"
                "Draws the engine's splash pictures (\"splash\", id 3, and \"splashText\", id 1, each with\n"
                "one action \"NONE\", id 2) and writes them as a resource file to OUTPUT.\n"
                "The file must come out at exactly %ld bytes; otherwise nothing is kept and the\n"
                "exit code is 1.\n",
                ExpectedFileSize);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintHelp();
        return 0;
    }
    if (argc != 2) {
        PrintHelp();
        return 2;
    }
    const char* path = argv[1];

    Picture logo(LogoWidth, LogoHeight);
    logo.Paint(LogoShade);
    Picture text(TextWidth, TextHeight);
    text.Paint(TextShade);
    if (!HasFullRanges(logo, "splash") || !HasFullRanges(text, "splashText"))
        return 1;

    MvSpriteResource* sprites[2] = {MakeSprite("splash", 3, logo), MakeSprite("splashText", 1, text)};

    SDL_RWops* stream = SDL_RWFromFile(path, "wb");
    if (!stream) {
        std::fprintf(stderr, "movo-splash: cannot open '%s' for writing: %s\n", path, SDL_GetError());
        delete sprites[0];
        delete sprites[1];
        return 1;
    }
    MvResourceWriter writer(stream);
    writer.BeginFile();
    for (MvSpriteResource* sprite : sprites)
        sprite->Save(writer);
    bool ok = writer.EndFile();
    const long size = SDL_RWtell(stream);
    SDL_RWclose(stream);
    delete sprites[0];
    delete sprites[1];

    if (!ok) {
        std::fprintf(stderr, "movo-splash: writing '%s' failed\n", path);
        std::remove(path);
        return 1;
    }
    if (size != ExpectedFileSize) {
        std::fprintf(stderr, "movo-splash: '%s' came out at %ld bytes instead of %ld\n", path, size, ExpectedFileSize);
        std::remove(path);
        return 1;
    }
    std::printf("movo-splash: wrote '%s' (%ld bytes)\n", path, size);
    return 0;
}
