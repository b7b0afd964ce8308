#include "MvResource.h"

#include "MvAssert.h"
#include "MvResourceReader.h"
#include "MvResourceWriter.h"

MvResource::MvResource() : id_(0) { }

MvResource::~MvResource() { }

MvSpriteResource* MvResource::AsSpriteResource() { return nullptr; }
MvTileResource* MvResource::AsTileResource() { return nullptr; }
MvCanvasResource* MvResource::AsCanvasResource() { return nullptr; }
MvFontResource* MvResource::AsFontResource() { return nullptr; }
MvTextDataResource* MvResource::AsTextDataResource() { return nullptr; }
MvBinaryDataResource* MvResource::AsBinaryDataResource() { return nullptr; }

void MvResource::AddScaleCache(MvFixed, MvFixed) { }

bool MvResource::HasScaleCache(MvFixed, MvFixed) const { return false; }

void MvResource::ClearScaleCache() { }

void MvResource::Save(MvResourceWriter&) const { MvAssert(!"this kind of resource cannot be saved"); }

MvCollisionMask* MvResource::GetCollisionMask(MvSceneNode*, int) { return nullptr; }

void MvResource::SetIdentity(const char* name, int32_t id)
{
    MvAssert(name != nullptr);
    name_ = name;
    id_ = id;
}

bool MvResource::ReadIdentity(MvResourceReader& reader)
{
    std::string name;
    int32_t id = 0;
    if (!reader.ReadName(&name) || !reader.ReadInt32(&id))
        return false;
    name_ = name;
    id_ = id;
    return true;
}

void MvResource::SaveIdentity(MvResourceWriter& writer) const
{
    writer.WriteName(name_.c_str());
    writer.WriteInt32(id_);
}
