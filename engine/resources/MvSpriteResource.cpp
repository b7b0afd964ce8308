#include "MvSpriteResource.h"

#include "MvAction.h"
#include "MvAssert.h"
#include "MvLog.h"
#include "MvResourceReader.h"
#include "MvResourceWriter.h"
#include "MvSpriteNode.h"

namespace {

const std::string SpriteTypeName = "Sprite";

// The smallest stored action: an empty name, the id and a frame count of 0.
const long MinActionBytes = 9;

} // namespace

MvSpriteResource::MvSpriteResource(const char* name) { SetIdentity(name, 0); }

MvSpriteResource::MvSpriteResource(uint32_t size, MvResourceReader& reader)
{
    (void)size;
    ReadSprite(reader);
}

MvSpriteResource::~MvSpriteResource()
{
    for (int i = 0; i < actions_.Count(); ++i)
        delete actions_[i];
}

bool MvSpriteResource::ReadSprite(MvResourceReader& reader)
{
    if (!ReadIdentity(reader))
        return false;
    MvLog("Sprite or Font resource '%s' id=%d\n", Name(), Id());
    const long countOffset = reader.Offset();
    uint32_t count = 0;
    if (!reader.ReadUint32(&count))
        return false;
    if (count > static_cast<unsigned long>(reader.Remaining() / MinActionBytes))
        return reader.FailAt(countOffset, "sprite '%s' has %u actions, more than the %ld bytes left can hold", Name(),
                             count, reader.Remaining());
    actionsByName_.reserve(count);
    actionsById_.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        MvAction* action = new MvAction;
        if (!action->Read(reader)) {
            delete action;
            return false;
        }
        AppendAction(action);
    }
    return true;
}

int MvSpriteResource::Type() const { return MvSpriteResourceCode; }

const std::string& MvSpriteResource::TypeName() const { return SpriteTypeName; }

MvSpriteResource* MvSpriteResource::AsSpriteResource() { return this; }

void MvSpriteResource::AddScaleCache(MvFixed xScale, MvFixed yScale)
{
    for (int i = 0; i < actions_.Count(); ++i)
        actions_[i]->AddScaleCache(xScale, yScale);
}

bool MvSpriteResource::HasScaleCache(MvFixed xScale, MvFixed yScale) const
{
    MvAssert(actions_.Count() > 0);
    return actions_[0]->HasScaleCache(xScale, yScale);
}

void MvSpriteResource::ClearScaleCache()
{
    for (int i = 0; i < actions_.Count(); ++i)
        actions_[i]->ClearScaleCache();
}

void MvSpriteResource::Save(MvResourceWriter& writer) const
{
    writer.BeginRecord(MvSpriteResourceCode);
    SaveSprite(writer);
    writer.EndRecord();
}

void MvSpriteResource::SaveSprite(MvResourceWriter& writer) const
{
    SaveIdentity(writer);
    writer.WriteUint32(static_cast<uint32_t>(actions_.Count()));
    for (int i = 0; i < actions_.Count(); ++i)
        actions_[i]->Save(writer);
}

MvCollisionMask* MvSpriteResource::GetCollisionMask(MvSceneNode* node, int window)
{
    if (node == nullptr)
        return nullptr;
    MvSpriteNode* sprite = node->AsSprite();
    MvAssert(sprite != nullptr && sprite->SpriteResource() == this);
    if (sprite == nullptr || sprite->SpriteResource() != this)
        return nullptr;
    const MvTransform& own = sprite->Xform(window);
    const MvTransform& screen = sprite->ScreenXform(window);
    MvAction* action = sprite->CurrentAction();
    // A composite scale of exactly 1.0 (a scaled node under a parent that undoes the
    // scale) shows the frames themselves and needs no cached copy.
    if (own.HasScale() && screen.HasScale() && !HasScaleCache(screen.xScale, screen.yScale)) {
        MvLogError("ERROR: Collision only allowed with cahed sprites!\n");
        MvLogError("SpriteResource '%s' for Action '%s' Frame %d scale %f, %f\n", Name(), action->Name(),
                   sprite->CurrentFrame(), screen.xScale.ToDouble(), screen.yScale.ToDouble());
        MvAssert(!"collision of a scaled sprite needs its scale cached");
        return nullptr;
    }
    return action->GetCollisionMask(screen.xScale, screen.yScale, sprite->CurrentFrame());
}

MvAction* MvSpriteResource::FindAction(const char* name) const
{
    MvAssert(name != nullptr);
    auto found = actionsByName_.find(name);
    return found == actionsByName_.end() ? nullptr : found->second;
}

MvAction* MvSpriteResource::FindAction(int32_t id) const
{
    auto found = actionsById_.find(id);
    return found == actionsById_.end() ? nullptr : found->second;
}

MvCanvasResource* MvSpriteResource::MakeCanvas(const char* actionName, int frame, int* hotX, int* hotY) const
{
    const MvAction* action = FindAction(actionName);
    return action == nullptr ? nullptr : action->MakeCanvas(frame, hotX, hotY);
}

MvCanvasResource* MvSpriteResource::MakeCanvas(int32_t actionId, int frame, int* hotX, int* hotY) const
{
    const MvAction* action = FindAction(actionId);
    return action == nullptr ? nullptr : action->MakeCanvas(frame, hotX, hotY);
}

void MvSpriteResource::AppendAction(MvAction* action)
{
    MvAssert(action != nullptr);
    actions_.Append(action);
    actionsByName_.emplace(action->Name(), action);
    actionsById_.emplace(action->Id(), action);
}

void MvSpriteResource::Draw(const MvPaintTarget& paintInfo, const char* actionName, int frame, const MvTransform& xform,
                            const MvColorXform& cform, const MvIntRect& clip, int openGLZ) const
{
    const MvAction* action = FindAction(actionName);
    if (action == nullptr) {
        MvLogError("WARING MvSpriteResource::Draw failed to find action %s\n", actionName);
        return;
    }
    action->Draw(paintInfo, frame, xform, cform, clip, openGLZ);
}
