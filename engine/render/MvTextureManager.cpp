#include "MvTextureManager.h"

#include "MvAssert.h"
#include "MvFixed.h"
#include "MvLog.h"
#include "MvTexture.h"
#include "MvTextureRef.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstring>
#include <new>

namespace {

MvTextureManager* theManager = nullptr;
int sizeLimit = 0;

// Guard bytes around the staging buffer, checked after it was filled.
const char FrontGuard[4] = {'f', 'i', 'r', 'e'};
const char BackGuard[4] = {'m', 'o', 'v', 'o'};

// The texels an upload is assembled in: width x height RGBA texels (4 bytes each, red
// first) between the guard bytes, all zero at first.
class StagingBuffer {
public:
    StagingBuffer(int width, int height) : width_(width), height_(height)
    {
        const size_t texelBytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
        bytes_ = new (std::nothrow) uint8_t[texelBytes + sizeof FrontGuard + sizeof BackGuard]();
        MvAssert(bytes_ != nullptr);
        std::memcpy(bytes_, FrontGuard, sizeof FrontGuard);
        std::memcpy(bytes_ + sizeof FrontGuard + texelBytes, BackGuard, sizeof BackGuard);
    }
    ~StagingBuffer() { delete[] bytes_; }
    StagingBuffer(const StagingBuffer&) = delete;
    StagingBuffer& operator=(const StagingBuffer&) = delete;

    uint8_t* Texel(int x, int y) { return Texels() + (static_cast<size_t>(y) * width_ + x) * 4; }
    uint8_t* Texels() { return bytes_ + sizeof FrontGuard; }

    // Asserts nothing was written outside the texels.
    void CheckGuards() const
    {
        const size_t texelBytes = static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4;
        MvAssert(std::memcmp(bytes_, FrontGuard, sizeof FrontGuard) == 0);
        MvAssert(std::memcmp(bytes_ + sizeof FrontGuard + texelBytes, BackGuard, sizeof BackGuard) == 0);
    }

private:
    int width_;
    int height_;
    uint8_t* bytes_;
};

inline void PutTexel(uint8_t* texel, const MvColor& c)
{
    texel[0] = c.red;
    texel[1] = c.green;
    texel[2] = c.blue;
    texel[3] = c.alpha;
}

// The image placed at texel (1, 1) of buffer, its edge pixels repeated once around it.
// The buffer is at least (width + 2) x (height + 2).
void FillBordered(StagingBuffer& buffer, const MvColor* pixels, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        const MvColor* row = pixels + static_cast<size_t>(y) * width;
        uint8_t* texel = buffer.Texel(1, y + 1);
        for (int x = 0; x < width; ++x, texel += 4)
            PutTexel(texel, row[x]);
    }
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    std::memcpy(buffer.Texel(1, 0), buffer.Texel(1, 1), rowBytes);
    std::memcpy(buffer.Texel(1, height + 1), buffer.Texel(1, height), rowBytes);
    for (int y = 0; y <= height + 1; ++y) {
        std::memcpy(buffer.Texel(0, y), buffer.Texel(1, y), 4);
        std::memcpy(buffer.Texel(width + 1, y), buffer.Texel(width, y), 4);
    }
}

// The image resampled over the whole textureWidth x textureHeight buffer by nearest
// neighbour, stepping through the source in 16.16 steps of width / textureWidth and
// height / textureHeight.
void FillResampled(StagingBuffer& buffer, int textureWidth, int textureHeight, const MvColor* pixels, int width,
                   int height)
{
    // Steps are 16.16 values: at most 32767 source pixels per texel.
    MvAssert(width / textureWidth < 32768 && height / textureHeight < 32768);
    const int64_t xStep = MvFixed::FromDouble(static_cast<double>(width) / textureWidth).Raw();
    const int64_t yStep = MvFixed::FromDouble(static_cast<double>(height) / textureHeight).Raw();
    int64_t ySource = 0;
    for (int y = 0; y < textureHeight; ++y, ySource += yStep) {
        // The step is rounded to the nearest 1/65536, so the last rows and columns could
        // land one past the image; they take its last.
        int sourceRow = static_cast<int>(ySource >> 16);
        if (sourceRow >= height)
            sourceRow = height - 1;
        const MvColor* row = pixels + static_cast<size_t>(sourceRow) * width;
        uint8_t* texel = buffer.Texel(0, y);
        int64_t xSource = 0;
        for (int x = 0; x < textureWidth; ++x, xSource += xStep, texel += 4) {
            int sourceColumn = static_cast<int>(xSource >> 16);
            if (sourceColumn >= width)
                sourceColumn = width - 1;
            PutTexel(texel, row[sourceColumn]);
        }
    }
}

} // namespace

MvTextureManager::MvTextureManager() : textureCount_(0) { }

MvTextureManager::~MvTextureManager()
{
    MvAssert(textureCount_ == 0);
    MvLog("MvTextureManager destructor.\n");
}

MvTextureManager* MvTextureManager::Instance()
{
    if (theManager == nullptr)
        theManager = new MvTextureManager();
    return theManager;
}

MvTextureManager* MvTextureManager::Current() { return theManager; }

void MvTextureManager::SetSizeLimit(int limit)
{
    MvAssert(limit == 0 || limit >= 2);
    sizeLimit = limit;
}

int MvTextureManager::SizeLimit() { return sizeLimit; }

int MvTextureManager::MaxTextureSize()
{
    GLint driverMax = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &driverMax);
    if (sizeLimit != 0 && sizeLimit < driverMax)
        return sizeLimit;
    return driverMax;
}

bool MvTextureManager::ChooseTextureSize(int maxSize, int width, int height, int* textureWidth, int* textureHeight)
{
    MvAssert(maxSize >= 2 && width >= 0 && height >= 0);
    MvAssert(textureWidth != nullptr && textureHeight != nullptr);
    *textureWidth = maxSize;
    *textureHeight = maxSize;
    // In 64 bits: an image side near INT_MAX plus its border must not wrap.
    if (int64_t(width) + 2 > maxSize || int64_t(height) + 2 > maxSize)
        return true;
    while (*textureWidth > 2 && *textureWidth / 2 >= width + 2)
        *textureWidth /= 2;
    while (*textureHeight > 2 && *textureHeight / 2 >= height + 2)
        *textureHeight /= 2;
    return false;
}

MvTextureRef* MvTextureManager::NewTexture(const MvColor* pixels, int width, int height)
{
    MvAssert(pixels != nullptr && width >= 1 && height >= 1);
    const int maxSize = MaxTextureSize();
    MvAssert(maxSize >= 2);
    int textureWidth, textureHeight;
    const bool scaled = ChooseTextureSize(maxSize, width, height, &textureWidth, &textureHeight);

    GLuint name = 0;
    {
        StagingBuffer buffer(textureWidth, textureHeight);
        if (scaled)
            FillResampled(buffer, textureWidth, textureHeight, pixels, width, height);
        else
            FillBordered(buffer, pixels, width, height);
        buffer.CheckGuards();

        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureWidth, textureHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     buffer.Texels());
        MvAssert(glGetError() == GL_NO_ERROR);
    }

    MvTexture* texture = new MvTexture(name, scaled);
    MvTextureRef* ref;
    if (scaled) {
        ref = new MvTextureRef(texture, 0.0f, 0.0f, 1.0f, 1.0f, MvMakeRect(0, 0, textureWidth - 1, textureHeight - 1));
    } else {
        const float w = static_cast<float>(textureWidth);
        const float h = static_cast<float>(textureHeight);
        ref = new MvTextureRef(texture, 1.0f / w, 1.0f / h, (width + 1) / w, (height + 1) / h,
                               MvMakeRect(1, 1, width, height));
    }
    MvLog("Texture %d created\n", static_cast<int>(name));
    ++textureCount_;
    return ref;
}

void MvTextureManager::UpdateTexture(const MvTextureRef& texture, const MvColor* pixels, int width, int height)
{
    MvAssert(pixels != nullptr && width >= 1 && height >= 1);
    glBindTexture(GL_TEXTURE_2D, texture.Name());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (texture.IsScaled()) {
        GLint textureWidth = 0, textureHeight = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &textureWidth);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &textureHeight);
        MvAssert(textureWidth >= 1 && textureHeight >= 1);
        StagingBuffer buffer(textureWidth, textureHeight);
        FillResampled(buffer, textureWidth, textureHeight, pixels, width, height);
        buffer.CheckGuards();
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, textureWidth, textureHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                        buffer.Texels());
    } else {
        const MvIntRect& texels = texture.TexelRect();
        MvAssert(width == texels.Width() && height == texels.Height());
        // The border goes up with the image: border texels left from the old pixels
        // would bleed the old edge colours into the new picture under linear filtering.
        StagingBuffer buffer(width + 2, height + 2);
        FillBordered(buffer, pixels, width, height);
        buffer.CheckGuards();
        glTexSubImage2D(GL_TEXTURE_2D, 0, texels.left - 1, texels.top - 1, width + 2, height + 2, GL_RGBA,
                        GL_UNSIGNED_BYTE, buffer.Texels());
    }
    MvAssert(glGetError() == GL_NO_ERROR);
}

void MvTextureManager::ReleaseTexture(MvTexture* texture)
{
    MvAssert(texture != nullptr);
    if (!texture->DropReference())
        return;
    const GLuint name = texture->Name();
    glDeleteTextures(1, &name);
    delete texture;
    --textureCount_;
    MvAssert(textureCount_ >= 0);
    MvLog("Texture %d deleting. Count=%d\n", static_cast<int>(name), textureCount_);
    if (textureCount_ == 0 && this == theManager) {
        theManager = nullptr;
        delete this;
    }
}
