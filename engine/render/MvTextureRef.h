#ifndef MV_TEXTURE_REF_H
#define MV_TEXTURE_REF_H

#include "MvIntRect.h"

#include <cstdint>

class MvTexture;

/// What an image keeps of its OpenGL texture: one counted reference to the texture plus
/// where the image lies in it, as texture coordinates of its top-left (s0, t0) and
/// bottom-right (s1, t1) corners and as a texel rectangle. Destroying the reference
/// releases it; the last reference deletes the texture (MvTextureManager).
class MvTextureRef {
public:
    /// A reference to texture with the image's corners and texel rectangle; takes one
    /// reference. Asserts texture is not null.
    MvTextureRef(MvTexture* texture, float s0, float t0, float s1, float t1, const MvIntRect& texels);
    /// Another reference to the same texture and place; takes one reference.
    MvTextureRef(const MvTextureRef& other);
    /// Releases the reference through the texture manager.
    ~MvTextureRef();

    MvTextureRef& operator=(const MvTextureRef&) = delete;

    /// The texture referred to.
    MvTexture* Texture() const;
    /// The texture's OpenGL name.
    uint32_t Name() const;
    /// Texture coordinates of the image's top-left corner.
    ///@{
    float S0() const;
    float T0() const;
    ///@}
    /// Texture coordinates of the image's bottom-right corner.
    ///@{
    float S1() const;
    float T1() const;
    ///@}
    /// Where the image's pixels lie in the texture.
    const MvIntRect& TexelRect() const;
    /// True when the texture holds a resampled copy of the image.
    bool IsScaled() const;

private:
    MvTexture* texture_;
    float s0_;
    float t0_;
    float s1_;
    float t1_;
    MvIntRect texelRect_;
};

inline MvTexture* MvTextureRef::Texture() const { return texture_; }
inline float MvTextureRef::S0() const { return s0_; }
inline float MvTextureRef::T0() const { return t0_; }
inline float MvTextureRef::S1() const { return s1_; }
inline float MvTextureRef::T1() const { return t1_; }
inline const MvIntRect& MvTextureRef::TexelRect() const { return texelRect_; }

#endif
