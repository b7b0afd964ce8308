#include "MvAction.h"

#include "MvAssert.h"
#include "MvCanvasResource.h"
#include "MvLog.h"
#include "MvPaintTarget.h"
#include "MvResourceReader.h"
#include "MvResourceWriter.h"
#include "MvRle.h"

namespace {

// The smallest stored frame: the header of an image without rows.
const long MinFrameBytes = 34;

} // namespace

MvAction::MvAction() : id_(0) { }

MvAction::MvAction(const char* name) : id_(0)
{
    MvAssert(name != nullptr);
    name_ = name;
}

MvAction::~MvAction()
{
    ClearScaleCache();
    for (int i = 0; i < frames_.Count(); ++i)
        delete frames_[i];
}

void MvAction::SetIdentity(const char* name, int32_t id)
{
    MvAssert(name != nullptr);
    name_ = name;
    id_ = id;
}

bool MvAction::Read(MvResourceReader& reader)
{
    MvAssert(frames_.Count() == 0);
    std::string name;
    int32_t id = 0;
    uint32_t frameCount = 0;
    if (!reader.ReadName(&name) || !reader.ReadInt32(&id))
        return false;
    const long countOffset = reader.Offset();
    if (!reader.ReadUint32(&frameCount))
        return false;
    if (frameCount > static_cast<unsigned long>(reader.Remaining() / MinFrameBytes))
        return reader.FailAt(countOffset, "action '%s' has %u frames, more than the %ld bytes left can hold",
                             name.c_str(), frameCount, reader.Remaining());
    name_ = name;
    id_ = id;
    MvLog("Action '%s' id=%d numFrames=%d\n", name_.c_str(), id_, static_cast<int>(frameCount));
    for (uint32_t i = 0; i < frameCount; ++i) {
        MvRle* frame = new MvRle;
        frames_.Append(frame);
        frame->Read(reader);
        if (reader.Failed())
            return false;
    }
    return true;
}

void MvAction::Save(MvResourceWriter& writer) const
{
    writer.WriteName(name_.c_str());
    writer.WriteInt32(id_);
    writer.WriteUint32(static_cast<uint32_t>(frames_.Count()));
    for (int i = 0; i < frames_.Count(); ++i) {
        const MvRle* frame = frames_[i];
        if (!frame->Write(writer.Stream()))
            writer.NoteFailure();
        writer.AddTallies(frame->PixelCount(), frame->Height(), frame->SegmentCount());
    }
}

void MvAction::SetFrameCount(int count)
{
    MvAssert(count > frames_.Count());
    MvAssert(scaleCache_.Count() == 0);
    while (frames_.Count() < count)
        frames_.Append(new MvRle);
}

const MvAction::ScaleCacheEntry* MvAction::FindScaleCache(MvFixed xScale, MvFixed yScale) const
{
    for (int i = 0; i < scaleCache_.Count(); ++i) {
        const ScaleCacheEntry& entry = scaleCache_[i];
        if (entry.xScale == xScale && entry.yScale == yScale)
            return &entry;
    }
    return nullptr;
}

void MvAction::Draw(const MvPaintTarget& paintInfo, int frame, const MvTransform& xform, const MvColorXform& cform,
                    const MvIntRect& clip, int openGLZ) const
{
    if (frames_.Count() == 0)
        return;
    const MvRle* image = FrameAt(frame);
    if (xform.HasScale() && !paintInfo.IsOpenGL()) {
        if (const ScaleCacheEntry* entry = FindScaleCache(xform.xScale, xform.yScale)) {
            MvTransform unscaled = xform;
            unscaled.xScale = unscaled.yScale = MvFixed::FromRaw(MvFixedOne);
            entry->frames[frame]->Draw(paintInfo, unscaled, cform, clip, openGLZ);
            return;
        }
    }
    image->Draw(paintInfo, xform, cform, clip, openGLZ);
}

void MvAction::ComputeBounds(int frame, const MvTransform& xform, MvIntRect* bounds) const
{
    MvAssert(bounds != nullptr);
    if (frames_.Count() == 0) {
        bounds->SetEmpty();
        return;
    }
    const MvRle* image = FrameAt(frame);
    if (xform.HasScale()) {
        if (const ScaleCacheEntry* entry = FindScaleCache(xform.xScale, xform.yScale)) {
            MvTransform unscaled = xform;
            unscaled.xScale = unscaled.yScale = MvFixed::FromRaw(MvFixedOne);
            entry->frames[frame]->ComputeBounds(unscaled, bounds);
            return;
        }
    }
    image->ComputeBounds(xform, bounds);
}

bool MvAction::HitTest(int frame, int x, int y) const { return FrameAt(frame)->HitTest(x, y); }

MvCollisionMask* MvAction::GetCollisionMask(MvFixed xScale, MvFixed yScale, int frame) const
{
    MvAssert(frame >= 0 && frame < frames_.Count());
    if (frame < 0 || frame >= frames_.Count())
        frame = 0;
    if (frames_.Count() == 0)
        return nullptr;
    const MvFixed one = MvFixed::FromRaw(MvFixedOne);
    if (xScale == one && yScale == one)
        return frames_[frame]->GetCollisionMask(xScale, yScale);
    const ScaleCacheEntry* entry = FindScaleCache(xScale, yScale);
    MvAssert(entry != nullptr);
    if (entry == nullptr)
        return nullptr;
    return entry->frames[frame]->GetCollisionMask(xScale, yScale);
}

MvCanvasResource* MvAction::MakeCanvas(int frame, int* hotX, int* hotY) const
{
    const MvRle* image = FrameAt(frame);
    MvCanvasResource* canvas = new MvCanvasResource("fromSprite", image->Width(), image->Height(), true);
    image->Unpack(canvas->Pixels(), image->Width(), hotX, hotY);
    return canvas;
}

bool MvAction::HasScaleCache(MvFixed xScale, MvFixed yScale) const { return FindScaleCache(xScale, yScale) != nullptr; }

void MvAction::AddScaleCache(MvFixed xScale, MvFixed yScale)
{
    MvAssert(xScale > 0 && yScale > 0);
    if (HasScaleCache(xScale, yScale)) {
        MvLog("Scale %f %f already cached in MvAction (used by sprite resource).\n", xScale.ToDouble(),
              yScale.ToDouble());
        return;
    }
    MvRle** copies = new MvRle*[frames_.Count()];
    for (int i = 0; i < frames_.Count(); ++i)
        copies[i] = frames_[i]->MakeScaledCopy(xScale, yScale);
    AddScaleCacheEntry(xScale, yScale, copies);
}

void MvAction::AddScaleCacheEntry(MvFixed xScale, MvFixed yScale, MvRle** frames)
{
    MvAssert(frames != nullptr);
    MvAssert(!HasScaleCache(xScale, yScale));
    ScaleCacheEntry entry;
    entry.xScale = xScale;
    entry.yScale = yScale;
    entry.frames = frames;
    scaleCache_.Append(entry);
}

const MvRle* MvAction::CachedFrameAt(MvFixed xScale, MvFixed yScale, int frame) const
{
    MvAssert(frame >= 0 && frame < frames_.Count());
    const ScaleCacheEntry* entry = FindScaleCache(xScale, yScale);
    return entry == nullptr ? nullptr : entry->frames[frame];
}

void MvAction::ClearScaleCache()
{
    for (int i = 0; i < scaleCache_.Count(); ++i) {
        ScaleCacheEntry& entry = scaleCache_[i];
        for (int f = 0; f < frames_.Count(); ++f)
            delete entry.frames[f];
        delete[] entry.frames;
    }
    scaleCache_.Clear();
}
