#include "SpriteTag.h"

#include "MvAssert.h"

void SetTag(MvSceneNode* node, const SpriteTag& tag)
{
    MvAssert(node != nullptr);
    // The node only stores the address to compare it later; it never writes through it.
    node->SetUserData(const_cast<SpriteTag*>(&tag));
}

bool HasTag(const MvSceneNode* node, const SpriteTag& tag)
{
    MvAssert(node != nullptr);
    return node->UserData() == &tag;
}
