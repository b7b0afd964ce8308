#ifndef MV_ACTION_H
#define MV_ACTION_H

#include "MvColorXform.h"
#include "MvFixed.h"
#include "MvGrowArray.h"
#include "MvIntRect.h"
#include "MvTransform.h"

#include <cstdint>
#include <string>

class MvCanvasResource;
class MvCollisionMask;
class MvPaintTarget;
class MvResourceReader;
class MvResourceWriter;
class MvRle;

/// One named animation of a sprite resource, such as walking or standing: an ordered list
/// of frames, each a run-length encoded image with its hot spot and delta. The action
/// draws, bounds and hit-tests a frame on behalf of the sprite node that shows it. It also
/// keeps pre-scaled copies of all its frames for chosen scale pairs, so that a sprite drawn
/// at exactly such a scale costs no more than an unscaled one; scale pairs match only when
/// both 16.16 values are equal.
class MvAction {
public:
    /// No name, id 0, no frames.
    MvAction();
    /// The given name (asserted not null), id 0, no frames.
    explicit MvAction(const char* name);
    /// Empties the scale cache, then deletes the frames.
    ~MvAction();

    MvAction(const MvAction&) = delete;
    MvAction& operator=(const MvAction&) = delete;

    /// Sets the name (asserted not null) and the id.
    void SetIdentity(const char* name, int32_t id);
    /// The name, by which sprite nodes select the action.
    const char* Name() const;
    /// The id, by which sprite nodes select the action.
    int32_t Id() const;
    /// Number of frames.
    int FrameCount() const;

    /// Paints frame index with its hot spot at xform's position, using the cached copy when
    /// xform is scaled by a cached pair and the target is not OpenGL. An action without
    /// frames paints nothing; otherwise asserts a valid index.
    void Draw(const MvPaintTarget& paintInfo, int frame, const MvTransform& xform, const MvColorXform& cform,
              const MvIntRect& clip, int openGLZ) const;

    /// The screen rectangle Draw would cover (through the cache when xform is scaled by a
    /// cached pair, whatever the target). An action without frames gives the empty
    /// rectangle; otherwise asserts a valid index.
    void ComputeBounds(int frame, const MvTransform& xform, MvIntRect* bounds) const;

    /// True when the unscaled frame has a visible pixel at (x, y) from its hot spot.
    /// Asserts a valid index.
    bool HitTest(int frame, int x, int y) const;

    /// A new canvas, owned by the caller, named "fromSprite" with alpha, holding
    /// the pixels of frame (MvRle::Unpack) and transparent black between its runs;
    /// *hotX and *hotY receive the hot spot's place in it. Asserts 0 <= frame <
    /// FrameCount() and the out pointers are not null.
    MvCanvasResource* MakeCanvas(int frame, int* hotX, int* hotY) const;

    /// True when copies for exactly this scale pair are cached.
    bool HasScaleCache(MvFixed xScale, MvFixed yScale) const;
    /// Caches a copy of every frame at the scale pair (MvRle::MakeScaledCopy), so that
    /// drawing, bounds and collision at exactly that pair use the copies. A pair already
    /// cached is logged and left as it is. Asserts both scales are above 0 and what
    /// MakeScaledCopy asserts.
    void AddScaleCache(MvFixed xScale, MvFixed yScale);
    /// Deletes every cached copy and empties the cache.
    void ClearScaleCache();
    /// Number of scale pairs cached.
    int ScaleCacheCount() const;

    /// @name Engine internals
    /// For the engine's loader, painters and collision test and for the resource tools,
    /// never for a program: the reader, the writer, the run-length image and the collision
    /// bit map are the engine's own types, not installed.
    ///@{

    /// Reads name, id, frame count and frames from a resource file. Returns false (the
    /// reader holds the error) when the data is malformed or ends early; the frames read
    /// so far stay and go with the action. Asserts the action has no frames.
    bool Read(MvResourceReader& reader);

    /// Writes name, id, frame count and every frame, and adds each frame's pixels, rows and
    /// segments to the writer's tallies.
    void Save(MvResourceWriter& writer) const;

    /// Frame index. Asserts 0 <= index < FrameCount().
    MvRle* FrameAt(int index) const;

    /// Grows the frame list to count frames, new ones empty at the end, for the encoder to
    /// fill with MvRle::Create. Asserts count > FrameCount() and an empty scale cache.
    void SetFrameCount(int count);

    /// The collision bit map of frame at the scale pair: the frame's own at 1.0 and 1.0,
    /// otherwise its cached copy's; the image makes it on first request and keeps it.
    /// Asserts 0 <= frame < FrameCount() (frame 0 serves when a debugger resumes) and that
    /// a scaled pair is cached (null then).
    MvCollisionMask* GetCollisionMask(MvFixed xScale, MvFixed yScale, int frame) const;

    /// Takes frames, an array made with new[] of FrameCount() copies scaled by the pair,
    /// into the cache; the copies are made by the scaling code. Asserts the pair is not
    /// cached yet and frames is not null.
    void AddScaleCacheEntry(MvFixed xScale, MvFixed yScale, MvRle** frames);
    /// The cached copy of frame at exactly the scale pair, or null when the pair is not
    /// cached. Asserts 0 <= frame < FrameCount().
    const MvRle* CachedFrameAt(MvFixed xScale, MvFixed yScale, int frame) const;
    ///@}

private:
    /// Pre-scaled copies of every frame for one scale pair; the action owns the copies.
    struct ScaleCacheEntry {
        MvFixed xScale;
        MvFixed yScale;
        MvRle** frames; ///< FrameCount() copies; frame i scaled by the pair
    };

    const ScaleCacheEntry* FindScaleCache(MvFixed xScale, MvFixed yScale) const;

    MvGrowArray<ScaleCacheEntry> scaleCache_;
    std::string name_;
    int32_t id_;
    MvGrowArray<MvRle*> frames_;
};

inline const char* MvAction::Name() const { return name_.c_str(); }
inline int32_t MvAction::Id() const { return id_; }
inline int MvAction::FrameCount() const { return frames_.Count(); }
inline int MvAction::ScaleCacheCount() const { return scaleCache_.Count(); }

inline MvRle* MvAction::FrameAt(int index) const
{
    MvAssert(index >= 0 && index < frames_.Count());
    return frames_[index];
}

#endif
