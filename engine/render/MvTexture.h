#ifndef MV_TEXTURE_H
#define MV_TEXTURE_H

#include <cstdint>

/// One OpenGL texture holding one image, shared by the references (MvTextureRef) that
/// the images drawing it keep. The texture manager makes it with one reference and
/// deletes it, with its OpenGL name, when the last reference goes. A scaled texture holds
/// a resampled copy of an image too large for the driver's largest texture.
class MvTexture {
public:
    /// A texture over the OpenGL name with no references yet. The manager makes them.
    MvTexture(uint32_t name, bool scaled);

    MvTexture(const MvTexture&) = delete;
    MvTexture& operator=(const MvTexture&) = delete;

    /// Counts one more reference.
    void AddReference();
    /// Counts one reference less; returns true when it was the last one. Asserts there was
    /// one.
    bool DropReference();

    /// Number of references counted now.
    int ReferenceCount() const;
    /// The OpenGL texture name.
    uint32_t Name() const;
    /// True when the texture holds a resampled copy of its image.
    bool IsScaled() const;

private:
    int referenceCount_;
    uint32_t name_;
    bool scaled_;
};

inline int MvTexture::ReferenceCount() const { return referenceCount_; }
inline uint32_t MvTexture::Name() const { return name_; }
inline bool MvTexture::IsScaled() const { return scaled_; }

#endif
