#include "Labels.h"

#include "GameNames.h"
#include "GameState.h"
#include "HeroAndLayer.h"
#include "MvAssert.h"
#include "MvChildCursor.h"
#include "MvFixed.h"
#include "MvResourceVault.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"
#include "MvStage.h"
#include "SpriteIds.h"

#include <cstdio>
#include <cstring>

namespace {

const int GlyphAdvance = 7;
const int32_t LabelScaleRaw = 78643; // 1.2 in 16.16, rounded

struct ZeroPadding {
    const char* labelName;
    int minimumLength;
};

const ZeroPadding ZeroPaddings[] = {
    {TimeLabelName, 4},
    {PointsLabelName, 8},
    {DefeatedLabelName, 3},
    {FlagsLabelName, 3},
};

// Shows the glyph of character c on sprite, or hides the sprite when there is none.
void ShowGlyph(MvSpriteNode* sprite, char c)
{
    const std::string action = GlyphActionName(c);
    if (sprite->SpriteResource()->FindAction(action.c_str()) != nullptr) {
        sprite->SelectAction(action.c_str());
        sprite->SetShown(true, -1);
    } else {
        sprite->SetShown(false, -1);
    }
}

} // namespace

std::string GlyphActionName(char c) { return std::string("char") + c; }

std::string AddLeadingZeros(const char* text, const char* labelName)
{
    MvAssert(text != nullptr && labelName != nullptr);
    std::string padded(text);
    for (const ZeroPadding& padding : ZeroPaddings) {
        if (std::strcmp(labelName, padding.labelName) == 0) {
            int missing = padding.minimumLength - static_cast<int>(padded.size());
            if (missing > 0)
                padded.insert(0, static_cast<size_t>(missing), '0');
            break;
        }
    }
    return padded;
}

void CreateLabel(int x, int y, const char* text, const char* labelName)
{
    MvAssert(GameState::engine != nullptr);
    MvSceneTree* tree = GameState::engine->SceneTree();
    MvSceneNode* layer = tree->FindByName(TextLayerName);
    MvAssert(layer != nullptr);

    MvSceneNode* group = new MvSceneNode;
    group->SetScaling(MvFixed::FromRaw(LabelScaleRaw), MvFixed::FromRaw(LabelScaleRaw), -1);
    tree->InsertNode(layer, group);
    group->SetName(labelName);

    const std::string padded = AddLeadingZeros(text, labelName);
    MvSpriteResource* glyphs = nullptr;
    for (size_t i = 0; i < padded.size(); ++i) {
        if (padded[i] == ' ')
            continue;
        if (glyphs == nullptr) {
            glyphs = GameState::engine->Vault()->FindSpriteResource(kSpriteGlyphs);
            MvAssert(glyphs != nullptr);
        }
        MvSpriteNode* glyph = new MvSpriteNode(glyphs);
        glyph->MoveTo(GameState::originX + x + GlyphAdvance * static_cast<int>(i), GameState::originY + y, -1);
        tree->InsertNode(group, glyph);
        ShowGlyph(glyph, padded[i]);
    }
}

void CreateCentredLabel(const char* text, const char* labelName)
{
    CreateLabel(0, 0, text, labelName);
    MvSceneTree* tree = GameState::engine->SceneTree();
    MvSceneNode* label = tree->FindByName(labelName);
    MvAssert(label != nullptr);
    // The glyphs' bounds on the screen tell how far the label is from the centre; the
    // label's group is moved in its unscaled layer, so screen pixels and moves agree.
    tree->Recompute();
    const MvIntRect& bounds = label->SubtreeBounds(0);
    const MvIntRect& screen = GameState::engine->ScreenRect();
    label->MoveBy((screen.left + screen.right - bounds.left - bounds.right) / 2,
                  (screen.top + screen.bottom - bounds.top - bounds.bottom) / 2, -1);
}

void UpdateLabel(const char* text, const char* labelName)
{
    if (GameState::engine == nullptr)
        return;
    MvSceneNode* group = GameState::engine->SceneTree()->FindByName(labelName);
    if (group == nullptr)
        return;
    const std::string padded = AddLeadingZeros(text, labelName);
    size_t k = 0;
    for (MvChildCursor cursor = group->Children(); !cursor.Done() && k < padded.size(); cursor.Next(), ++k) {
        if (padded[k] == ' ')
            continue;
        MvSpriteNode* glyph = cursor.Node()->AsSprite();
        MvAssert(glyph != nullptr);
        ShowGlyph(glyph, padded[k]);
    }
}

std::string NumberToText(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

void FollowHeroWithText()
{
    HeroAndLayer scene;
    if (!scene.Find(TextLayerName))
        return;
    const int heroX = scene.hero->PosX(0);
    if (GameState::originX - 5 < heroX && heroX < GameState::rightBound + 3)
        scene.layer->MoveTo(heroX, scene.layer->PosY(0), -1);
}

void MenuTick() { UpdateLabel(NumberToText(GameState::chosenLevel).c_str(), LevelNumberLabelName); }
