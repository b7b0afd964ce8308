#include "MvSpriteResource.h"

#include "MvAction.h"
#include "MvAssert.h"
#include "MvLog.h"
#include "MvResourceReader.h"
#include "MvResourceWriter.h"

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
        MvLog("WARING MvSpriteResource::Draw failed to find action %s\n", actionName);
        return;
    }
    action->Draw(paintInfo, frame, xform, cform, clip, openGLZ);
}
