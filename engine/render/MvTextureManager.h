#ifndef MV_TEXTURE_MANAGER_H
#define MV_TEXTURE_MANAGER_H

#include "MvColor.h"

class MvTexture;
class MvTextureRef;

/// Makes, refreshes and deletes the OpenGL textures of the images drawn on the OpenGL
/// path, and counts the live ones. Each image is uploaded once into a texture of the
/// smallest power-of-two size that holds it with a one-texel border of repeated edge
/// pixels, so that linear filtering at its edges blends nothing foreign; an image too
/// large for the driver is resampled to the largest square texture instead of refused.
/// The manager exists while at least one texture does: Instance makes it on first use
/// and releasing the last texture deletes it. All calls need the thread's OpenGL context
/// current.
class MvTextureManager {
public:
    /// The manager when one exists, else null.
    static MvTextureManager* Current();

    /// Number of live textures.
    int TextureCount() const;

    /// The size of the texture for a width x height image when textures may be at most
    /// maxSize texels wide and high: each side is halved from maxSize while half of it
    /// still holds the image side plus its two border texels, stopping at 2. Returns true
    /// (and maxSize x maxSize) when the image and its border do not fit: the texture then
    /// holds a resampled copy. Asserts maxSize >= 2, width, height >= 0 and both outputs
    /// are not null.
    static bool ChooseTextureSize(int maxSize, int width, int height, int* textureWidth, int* textureHeight);

    /// Caps the texture size below the driver's largest (0, the default, means no cap), for
    /// programs that want to bound texture memory: images larger than the cap are
    /// resampled. Applies to textures made afterwards. Asserts limit is 0 or at least 2.
    static void SetSizeLimit(int limit);
    /// The cap set by SetSizeLimit; 0 when there is none.
    static int SizeLimit();

    /// The largest texture side NewTexture uses: the driver's GL_MAX_TEXTURE_SIZE, or the
    /// size limit when that is smaller.
    static int MaxTextureSize();

    /// @name Engine internals
    /// For the engine's images, never for a program: textures are made and released as
    /// images are drawn and destroyed, and the texture types are the engine's own, not
    /// installed.
    ///@{

    /// The manager, made with no textures when there is none.
    static MvTextureManager* Instance();
    /// A new texture of width x height pixels (MvColor rows without padding) and a new
    /// reference to it, the caller's to delete; logs `Texture <name> created`. Asserts
    /// pixels is not null, width and height are at least 1, the driver's largest texture
    /// is at least 2 texels, the staging buffer could be allocated and its guard bytes stay
    /// intact, and OpenGL reports no error.
    MvTextureRef* NewTexture(const MvColor* pixels, int width, int height);
    /// Uploads changed pixels of the image texture holds, of the image's own width and
    /// height, into the texture: resampled over the whole texture when it is scaled, else
    /// into the image's texels and their border. Asserts pixels is not null, the size
    /// matches an unscaled texture's image, and OpenGL reports no error.
    void UpdateTexture(const MvTextureRef& texture, const MvColor* pixels, int width, int height);
    /// Drops one reference to texture; the last one deletes it, and the last texture deletes
    /// the manager. Deleting a texture logs `Texture <name> deleting. Count=<live textures>`.
    /// The references call it. Asserts texture is not null and the count stays >= 0.
    void ReleaseTexture(MvTexture* texture);
    ///@}

private:
    MvTextureManager();
    /// Logs "MvTextureManager destructor.". Asserts no texture is alive.
    ~MvTextureManager();

    MvTextureManager(const MvTextureManager&) = delete;
    MvTextureManager& operator=(const MvTextureManager&) = delete;

    int textureCount_;
};

inline int MvTextureManager::TextureCount() const { return textureCount_; }

#endif
