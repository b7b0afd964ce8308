#ifndef STAGE_READINGS_H
#define STAGE_READINGS_H

// What a game test reads off the current stage (GameState::engine) to see what the player
// would see: the text of a label, where a node is drawn, the colour of a pixel.

#include "GameState.h"
#include "MvAction.h"
#include "MvChildCursor.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvStage.h"

#include <SDL.h>

#include <cstdint>
#include <string>

// The characters the label named labelName shows, one per glyph in text order, a blank
// for a hidden glyph; "<none>" when there is no such label.
inline std::string Shown(const char* labelName)
{
    MvSceneNode* group = GameState::engine->SceneTree()->FindByName(labelName);
    if (group == nullptr)
        return "<none>";
    std::string shown;
    for (MvChildCursor cursor = group->Children(); !cursor.Done(); cursor.Next()) {
        MvSpriteNode* glyph = cursor.Node()->AsSprite();
        shown += glyph->IsShown(0) ? std::string(glyph->CurrentAction()->Name()).substr(4) : " ";
    }
    return shown;
}

// Window 0 x of node: its position plus that of every ancestor.
inline int ScreenX(MvSceneNode* node)
{
    int x = 0;
    for (; node != nullptr; node = node->Parent())
        x += node->PosX(0);
    return x;
}

// The colour of pixel (x, y) of a 32-bit surface, without its top byte.
inline uint32_t SurfacePixel(const SDL_Surface* surface, int x, int y)
{
    return static_cast<const uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x] & 0xffffff;
}

#endif
