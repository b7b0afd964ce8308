#ifndef MV_SPRITE_NODE_H
#define MV_SPRITE_NODE_H

#include "MvDrawableNode.h"

#include <cstdint>

class MvAction;
class MvResource;
class MvSpriteResource;

/// The node that shows a sprite: one frame of one action of a sprite resource, placed,
/// scaled and tinted like any node. Actions are picked by name or id and the animation
/// advances with Step, which also moves the node by the shown frame's delta. All pixel
/// work (drawing, bounds, hit tests) is left to the resource's action; the node only
/// supplies the action, the frame and its per-window composite transforms. The resource
/// is not owned and must outlive the node. Selecting the action or frame already shown
/// costs nothing and causes no redraw, so the game may select every tick.
class MvSpriteNode : public MvDrawableNode {
public:
    /// A detached node showing frame 0 of the resource's first action. Asserts resource is
    /// not null (naming the vault's last failed lookup, the likely source of a null) and
    /// has at least one action.
    explicit MvSpriteNode(MvSpriteResource* resource);

    /// Releases nothing of its own: the resource and its actions stay the vault's.
    ~MvSpriteNode() override;

    /// The node itself.
    MvSpriteNode* AsSprite() override;

    /// Shows the action of that exact name. Asserts the resource has it, naming both
    /// (nothing changes then). The same action changes nothing; otherwise the node is invalidated in every
    /// window and the frame is kept, clamped to the new action's frames.
    void SelectAction(const char* name);

    /// SelectAction of name followed by ".ROT<ddd>", degrees brought into 0..359 and written
    /// with three digits ("Walk.Right" and -90 give "Walk.Right.ROT270").
    void SelectActionRotated(const char* name, int degrees);

    /// As SelectAction, with the resource's action of that id.
    void SelectActionById(int id);

    /// Shows frame i of the current action, invalidating every window when it differs.
    /// Asserts 0 <= i < FrameCount().
    void SelectFrame(int i);

    /// Moves the node in every window by the shown frame's delta (times the node's own
    /// scale where it has one, rounded with RoundToInt), then shows the next frame,
    /// wrapping to 0. Asserts the node is in a tree and its action has frames.
    void Step();

    /// A new detached sprite node on the same resource at the same action and frame;
    /// placement, colours, depth, shown flags, name, id and user data are not copied.
    MvSceneNode* Clone() override;

    /// True, with the node appended to hits, when a visible pixel of the unscaled current
    /// frame lies under screen point (x, y) of window. A node that is hidden there, covers
    /// nothing there (empty bounds) or whose composite alpha is 0 is never hit. flags has no
    /// effect here.
    bool TestPoint(int x, int y, int flags, MvGrowArray<MvSceneNode*>* hits, int window) override;

    /// The rectangle the unscaled current frame covers under the window's screen transform
    /// (the scale cache is not used); empty for an action without frames.
    void QueryBoundingBox(MvIntRect* out, int window) override;

    /// True when the current frame, as the bounds take it (through the scale cache), covers
    /// no pixel under the window's screen transform. Asserts 0 <= window < MvWindowCount.
    bool CoversNothing(int window) override;

    /// The sprite resource, as a resource.
    MvResource* Resource() override;

    /// Index of the shown frame (-1 when the action has no frames).
    int CurrentFrame() const;
    /// Number of frames of the current action.
    int FrameCount() const;
    /// The action shown, one of the resource's.
    MvAction* CurrentAction() const;
    /// The sprite resource shown (not owned).
    MvSpriteResource* SpriteResource() const;

protected:
    /// The base transform, then bounds[window]: the rectangle the current frame covers
    /// under the screen transform (through the action's scale cache when it applies).
    void ComputeTransform(int window) override;

    /// Paints the current frame, clipped to clip, under the window's screen transform and
    /// composite colour transform. An action without frames paints nothing.
    void Paint(MvPaintTarget* paintInfo, const MvIntRect& clip, int window) override;

private:
    /// Shows action (asserted not null) as SelectAction describes.
    void ShowAction(MvAction* action);

    MvSpriteResource* resource_;
    MvAction* action_;
    int32_t frame_;
};

inline int MvSpriteNode::CurrentFrame() const { return frame_; }
inline MvAction* MvSpriteNode::CurrentAction() const { return action_; }
inline MvSpriteResource* MvSpriteNode::SpriteResource() const { return resource_; }

#endif
