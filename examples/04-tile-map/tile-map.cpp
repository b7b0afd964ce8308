// Tile map: a map laid out from a few square tiles, each shown in one of eight orientations.
//
// MvTileNode shows a tile resource with its top-left corner at the node's position, turned
// clockwise by (orientation mod 4) quarter turns and, for orientations 4 to 7, mirrored top
// to bottom. Look at the table Keys: the map is rows of characters, each naming a tile and
// an orientation, so one shore picture makes all four sides of the lake (and, mirrored,
// varies them) and one corner picture its four corners. The grass takes an orientation
// from its place, so a single picture covers the field without showing a pattern; the
// water steps through the eight orientations, which makes it shimmer. On the board at the
// bottom the arrow tile stands in all eight, and a copy scaled by 2 turns to the next one
// every half second while its number's arrow lights up.

#include "ExampleRun.h"

#include <movo/Movo.h>

#include <cstdio>
#include <string>

namespace {

const int ScreenWidth = 640;
const int ScreenHeight = 480;
const int TileSize = 32;
const int MapColumns = 20;
const int MapRows = 15;

// One character a tile: '.' grass, '~' water, the others as Keys says.
const char* const Map[MapRows] = {
    "....................",
    "....................",
    "....................",
    ".....r-----------7..",
    ".....|...........|..",
    ".....|.1nNnNnN2..|..",
    ".....|.[~~~~~~]..|..",
    ".....|.{~~~~~~}..|..",
    ".....|.[~~~~~~]..|..",
    ".....|.{~~~~~~}..|..",
    ".....|.4uUuUuU3..|..",
    ".....|...........|..",
    "-----J...........L--",
    "......=#=#=#=#=#....",
    "......=#=#=#=#=#....",
};

// The shore is drawn with grass at the top and water at the bottom, the shore corner as the
// lake's top-left corner, the path from top to bottom, the path corner joining the bottom
// to the right. Orientations 4 to 7 mirror: 6 is 0 mirrored left to right, and so on.
struct Key {
    char symbol;
    const char* tile;
    int orientation;
};
const Key Keys[] = {
    {'n', "Shore", 0},       {'N', "Shore", 6},       {']', "Shore", 1},       {'}', "Shore", 5},
    {'u', "Shore", 2},       {'U', "Shore", 4},       {'[', "Shore", 3},       {'{', "Shore", 7},
    {'1', "ShoreCorner", 0}, {'2', "ShoreCorner", 1}, {'3', "ShoreCorner", 2}, {'4', "ShoreCorner", 3},
    {'|', "Path", 0},        {'-', "Path", 1},        {'r', "PathCorner", 0},  {'7', "PathCorner", 1},
    {'J', "PathCorner", 2},  {'L', "PathCorner", 3},  {'=', "Board", 0},       {'#', "Board", 6},
};

// Tiles with transparent pixels, laid on the map's tiles at a column and row.
struct Thing {
    const char* tile;
    int column, row, orientation;
};
const Thing Things[] = {
    {"Flowers", 1, 5, 0},  {"Flowers", 3, 9, 3},  {"Flowers", 12, 1, 5},  {"Flowers", 19, 8, 2},
    {"Flowers", 18, 10, 6}, {"Flowers", 1, 12, 1}, {"Flowers", 17, 14, 4}, {"Flowers", 9, 2, 7},
    {"Flowers", 11, 11, 2}, {"Flowers", 2, 2, 4},  {"Flowers", 14, 12, 1}, {"Rock", 2, 7, 0},
    {"Rock", 19, 3, 6},     {"Rock", 15, 11, 0},   {"Bush", 3, 4, 0},      {"Bush", 19, 5, 6},
    {"Bush", 0, 10, 6},     {"Bush", 15, 2, 0},    {"Bush", 16, 12, 0},    {"Bush", 3, 13, 6},
    {"Bush", 18, 14, 0},    {"Bush", 6, 11, 6},    {"LilyPad", 9, 7, 0},   {"LilyPad", 12, 8, 3},
    {"LilyPad", 10, 9, 6},  {"LilyPad", 13, 6, 5},
};

const int LegendColumn = 8; // the first of the eight arrows, on the board's top row
const int LegendRow = 13;

// A new tile node showing the named tile in orientation at a column and row of the map.
MvTileNode* AddTile(MvStage* stage, const char* name, int column, int row, int orientation)
{
    MvTileNode* node = new MvTileNode(stage->Vault()->FindTileResource(name), orientation);
    stage->SceneTree()->InsertNode(nullptr, node);
    node->MoveTo(column * TileSize, row * TileSize);
    return node;
}

MvSpriteNode* AddSprite(MvStage* stage, const char* name, int x, int y)
{
    MvSpriteNode* node = new MvSpriteNode(stage->Vault()->FindSpriteResource(name));
    stage->SceneTree()->InsertNode(nullptr, node);
    node->MoveTo(x, y);
    return node;
}

} // namespace

int main(int argc, char** argv)
{
    ExampleRun run(argc, argv);

    SDL_Surface* screen = run.OpenWindow(ScreenWidth, ScreenHeight);
    MvStage* stage = new MvStage(screen);

    const std::string dataFile = run.DataFile("tile-map.dat");
    if (!stage->Vault()->LoadDatFile(dataFile.c_str())) {
        std::fprintf(stderr, "tile-map: cannot load %s\n", dataFile.c_str());
        delete stage;
        SDL_Quit();
        return 1;
    }

    // The map, row by row. Nodes of equal depth are drawn in the order they were inserted,
    // so what comes later lies on top.
    MvTileNode* water[MapColumns * MapRows];
    int waterCount = 0;
    for (int row = 0; row < MapRows; ++row) {
        for (int column = 0; column < MapColumns; ++column) {
            const char symbol = Map[row][column];
            if (symbol == '.') {
                AddTile(stage, "Grass", column, row, (column * 5 + row * 3 + column * row) % 8);
            } else if (symbol == '~') {
                water[waterCount++] = AddTile(stage, "Water", column, row, 0);
            } else {
                for (const Key& key : Keys)
                    if (key.symbol == symbol)
                        AddTile(stage, key.tile, column, row, key.orientation);
            }
        }
    }
    for (const Thing& thing : Things)
        AddTile(stage, thing.tile, thing.column, thing.row, thing.orientation);

    // The legend: the arrow in every orientation, the numbers under it, and a copy twice
    // the size whose pixels stay sharp (nearest sampling).
    MvTileNode* arrows[8];
    for (int orientation = 0; orientation < 8; ++orientation)
        arrows[orientation] = AddTile(stage, "Arrow", LegendColumn + orientation, LegendRow, orientation);
    AddSprite(stage, "Digits", LegendColumn * TileSize, (LegendRow + 1) * TileSize + 6);
    MvTileNode* bigArrow = AddTile(stage, "Arrow", LegendColumn - 2, LegendRow, 0);
    bigArrow->SetScaling(MvFixed::FromInt(2), MvFixed::FromInt(2));
    bigArrow->SetQuality(MvPixelBlock::QualityNearest);

    AddSprite(stage, "Title", 18, 16);
    AddSprite(stage, "Subtitle", 20, 54);

    MvColorXform gold; // white becomes gold, the dark outline stays dark
    gold.Set(255, 0, 216, 0, 96, 0, 255);

    while (run.Running()) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            run.Watch(event);

        // Setters compare before they store, so a tile is redrawn only when its
        // orientation or colour really changes.
        const int frame = run.Frame();
        for (int i = 0; i < waterCount; ++i)
            water[i]->SetOrientation((frame / 24 + i * 3) % 8);
        const int shown = frame / 30 % 8;
        bigArrow->SetOrientation(shown);
        for (int orientation = 0; orientation < 8; ++orientation)
            arrows[orientation]->SetColorXform(orientation == shown ? gold : MvColorXform());

        stage->Draw(true);
        run.FrameDone(stage);
    }

    delete stage;
    SDL_Quit();
    return run.ExitCode();
}
