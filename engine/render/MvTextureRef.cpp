#include "MvTextureRef.h"

#include "MvAssert.h"
#include "MvTexture.h"
#include "MvTextureManager.h"

MvTextureRef::MvTextureRef(MvTexture* texture, float s0, float t0, float s1, float t1, const MvIntRect& texels)
    : texture_(texture), s0_(s0), t0_(t0), s1_(s1), t1_(t1), texelRect_(texels)
{
    MvAssert(texture_ != nullptr);
    texture_->AddReference();
}

MvTextureRef::MvTextureRef(const MvTextureRef& other)
    : texture_(other.texture_), s0_(other.s0_), t0_(other.t0_), s1_(other.s1_), t1_(other.t1_),
      texelRect_(other.texelRect_)
{
    texture_->AddReference();
}

MvTextureRef::~MvTextureRef() { MvTextureManager::Instance()->ReleaseTexture(texture_); }

uint32_t MvTextureRef::Name() const { return texture_->Name(); }

bool MvTextureRef::IsScaled() const { return texture_->IsScaled(); }
