#ifndef HERO_AND_LAYER_H
#define HERO_AND_LAYER_H

class MvSceneNode;
class MvSceneTree;

// What most game steps of the play screen start from: the current stage's tree, the hero
// ("track") and one layer found by name. A step runs only when all three are there, so
// the steps also do nothing between screens or on a screen without a hero.
struct HeroAndLayer {
    MvSceneTree* tree;
    MvSceneNode* hero;
    MvSceneNode* layer;

    // Fills the three for the layer named layerName; false, leaving them null, when there
    // is no stage, no hero or no such layer.
    bool Find(const char* layerName);
};

#endif
