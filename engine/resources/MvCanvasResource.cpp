#include "MvCanvasResource.h"

#include "MvAssert.h"
#include "MvCollisionMask.h"
#include "MvPaintTarget.h"
#include "MvSceneNode.h"
#include "MvWindowCount.h"

#include <vector>

namespace {

const std::string CanvasTypeName = "Canvas";

// Raised by one for every new canvas; its new value is the canvas's id.
int32_t canvasCounter = 0;

} // namespace

MvCanvasResource::MvCanvasResource(const char* name, int width, int height, bool hasAlpha) : userCount_(0)
{
    SetIdentity(name, ++canvasCounter);
    block_.Create(width, height, hasAlpha);
}

MvCanvasResource::~MvCanvasResource()
{
    MvAssert(userCount_ == 0);
    DeleteCollisionMasks();
}

int MvCanvasResource::Type() const { return MvCanvasResourceCode; }

const std::string& MvCanvasResource::TypeName() const { return CanvasTypeName; }

MvCanvasResource* MvCanvasResource::AsCanvasResource() { return this; }

void MvCanvasResource::Draw(const MvPaintTarget& paintInfo, const MvTransform& xform, const MvColorXform& cform,
                            const MvIntRect& clip, int quality, int openGLZ) const
{
    block_.Draw(paintInfo, xform, false, cform, clip, quality, openGLZ);
}

void MvCanvasResource::ComputeBounds(const MvTransform& xform, MvIntRect* bounds) const
{
    block_.ComputeBounds(xform, bounds);
}

bool MvCanvasResource::HitTest(int x, int y) const
{
    if (x < 0 || x >= block_.Width() || y < 0 || y >= block_.Height())
        return false;
    if (!block_.HasAlpha())
        return true;
    return block_.Pixels()[y * block_.Width() + x].alpha != 0;
}

void MvCanvasResource::NotifyChanged()
{
    for (int i = 0; i < users_.Count(); ++i)
        users_[i]->Invalidate(-1);
    block_.RefreshTexture();
    // A solid canvas's maps have every bit set whatever its pixels are.
    if (block_.HasAlpha())
        DeleteCollisionMasks();
}

void MvCanvasResource::AddUser(MvSceneNode* node)
{
    MvAssert(node != nullptr);
    users_.Append(node);
    ++userCount_;
}

void MvCanvasResource::RemoveUser(MvSceneNode* node)
{
    MvAssert(users_.Count() == userCount_);
    int index = 0;
    while (index < users_.Count() && users_[index] != node)
        ++index;
    MvAssert(index < users_.Count());
    if (index == users_.Count())
        return;
    // Close the gap so that the users stay in registration order.
    for (int i = index + 1; i < users_.Count(); ++i)
        users_[i - 1] = users_[i];
    users_.RemoveSwap(users_.Count() - 1);
    --userCount_;
}

void MvCanvasResource::DeleteCollisionMasks()
{
    for (int i = 0; i < collisionMasks_.Count(); ++i)
        delete collisionMasks_[i];
    collisionMasks_.Clear();
}

MvCollisionMask* MvCanvasResource::GetCollisionMask(MvSceneNode* node, int window)
{
    MvAssert(node != nullptr);
    MvAssert(window >= 0 && window < MvWindowCount);
    const MvTransform& own = node->Xform(window);
    for (int i = 0; i < collisionMasks_.Count(); ++i) {
        MvCollisionMask* mask = collisionMasks_[i];
        if (mask->XScale() == own.xScale && mask->YScale() == own.yScale)
            return mask;
    }
    MvCollisionMask* mask = MakeCollisionMask(own.xScale, own.yScale);
    collisionMasks_.Append(mask);
    return mask;
}

MvCollisionMask* MvCanvasResource::MakeCollisionMask(MvFixed xScale, MvFixed yScale) const
{
    const MvTransform xform = MvTransform::Scaled(xScale, yScale);
    MvIntRect bounds;
    block_.ComputeBounds(xform, &bounds);
    const int width = bounds.Width() > 0 ? bounds.Width() : 0;
    const int height = bounds.Height() > 0 ? bounds.Height() : 0;
    MvAssert(width <= MvPixelBlock::MaxSize && height <= MvPixelBlock::MaxSize);
    MvCollisionMask* mask = new MvCollisionMask(width, height, xScale, yScale);
    if (width == 0 || height == 0)
        return mask;

    if (!block_.HasAlpha()) {
        for (int y = 0; y < height; ++y)
            mask->SetSpan(y, 0, width - 1);
        return mask;
    }

    // The pixels as the node shows them: the block's own at 1.0, otherwise the block
    // drawn at the scale by nearest-neighbour sampling, which keeps each pixel's alpha
    // either zero or not.
    const MvColor* source = block_.Pixels();
    std::vector<MvColor> scaled;
    if (xform.HasScale()) {
        MvColor clear;
        clear.Set(0, 0, 0, 0);
        scaled.assign(static_cast<size_t>(width) * static_cast<size_t>(height), clear);
        MvPaintTarget memory(scaled.data(), width, height);
        block_.Draw(memory, xform, false, MvColorXform(), MvMakeRect(0, 0, width - 1, height - 1),
                    MvPixelBlock::QualityNearest, 0);
        source = scaled.data();
    } else {
        MvAssert(width == block_.Width() && height == block_.Height());
    }
    for (int y = 0; y < height; ++y) {
        const MvColor* row = source + static_cast<size_t>(y) * static_cast<size_t>(width);
        int x = 0;
        while (x < width) {
            while (x < width && row[x].alpha == 0)
                ++x;
            const int first = x;
            while (x < width && row[x].alpha != 0)
                ++x;
            if (x > first)
                mask->SetSpan(y, first, x - 1);
        }
    }
    return mask;
}
