#ifndef MV_SPRITE_RESOURCE_H
#define MV_SPRITE_RESOURCE_H

#include "MvGrowArray.h"
#include "MvResource.h"

#include <cstdint>
#include <string>
#include <unordered_map>

class MvAction;
class MvCanvasResource;
class MvColorXform;
class MvPaintTarget;
class MvTransform;
struct MvIntRect;

/// The picture data of one kind of thing on screen, such as the hero or one kind of enemy:
/// named actions (MvAction), each an ordered list of frames. Sprite nodes show one frame of
/// one action and leave drawing, bounds and hit tests to the action. Actions are kept in
/// file order and found by exact name or by id through two maps; when two actions share a
/// name or an id, the one added first is found and the later one is only reachable by its
/// index.
class MvSpriteResource : public MvResource {
public:
    /// An empty sprite resource (id 0, no actions) for the encoder and for program code.
    /// Asserts name is not null.
    explicit MvSpriteResource(const char* name);

    /// Deletes every action.
    ~MvSpriteResource() override;

    int Type() const override;
    const std::string& TypeName() const override;
    MvSpriteResource* AsSpriteResource() override;

    /// Caches copies of every frame at the scale pair, action by action in order
    /// (MvAction::AddScaleCache, whose message and assertions apply to each). Fonts
    /// inherit it.
    void AddScaleCache(MvFixed xScale, MvFixed yScale) override;
    /// The answer of the first action. Asserts the resource has an action.
    bool HasScaleCache(MvFixed xScale, MvFixed yScale) const override;
    /// Clears the scale cache of every action.
    void ClearScaleCache() override;

    /// The action of that exact name or id, or null.
    ///@{
    MvAction* FindAction(const char* name) const;
    MvAction* FindAction(int32_t id) const;
    ///@}

    /// Takes action (asserted not null) at the end of the list and enters it into the maps
    /// unless its name or id is already there.
    void AppendAction(MvAction* action);

    /// Number of actions.
    int ActionCount() const;
    /// Action index in file order. Asserts 0 <= index < ActionCount().
    MvAction* ActionAt(int index) const;

    /// A new canvas, owned by the caller, holding frame of the action of that name or id
    /// (MvAction::MakeCanvas), with the hot spot's place in it in *hotX and *hotY; null
    /// when there is no such action. Asserts what MvAction::MakeCanvas asserts.
    ///@{
    MvCanvasResource* MakeCanvas(const char* actionName, int frame, int* hotX, int* hotY) const;
    MvCanvasResource* MakeCanvas(int32_t actionId, int frame, int* hotX, int* hotY) const;
    ///@}

    /// Draws frame of the named action; logs a warning and draws nothing when there is no
    /// such action.
    void Draw(const MvPaintTarget& paintInfo, const char* actionName, int frame, const MvTransform& xform,
              const MvColorXform& cform, const MvIntRect& clip, int openGLZ) const;

    /// @name Engine internals
    /// For the engine's loader, the resource encoder and the collision test, never for a
    /// program: the reader, the writer and the collision bit map are the engine's own
    /// types, not installed.
    ///@{

    /// Reads a sprite record's payload (size bytes, not used: the payload is read field by
    /// field). A malformed payload leaves the reader's error set; the resource is then
    /// incomplete and its owner deletes it.
    MvSpriteResource(uint32_t size, MvResourceReader& reader);

    /// Writes one sprite record: name, id, action count and every action.
    void Save(MvResourceWriter& writer) const override;
    /// The collision bit map of the frame that sprite node shows in window, at its
    /// composite scale there. A node scaled by its own transform whose composite scale is
    /// not cached has none: two error lines are logged, an assertion follows and the answer
    /// is null. No node shows nothing: null. Asserts node is a sprite node showing this
    /// resource.
    MvCollisionMask* GetCollisionMask(MvSceneNode* node, int window) override;
    ///@}

protected:
    /// @name Engine internals: records
    /// How sprites and fonts read and write their records.
    ///@{

    /// Reads the payload a sprite record and a font record share: name, id, actions.
    /// Returns false when the reader's error is set.
    bool ReadSprite(MvResourceReader& reader);
    /// Writes what ReadSprite reads.
    void SaveSprite(MvResourceWriter& writer) const;
    ///@}

private:
    MvGrowArray<MvAction*> actions_;
    std::unordered_map<std::string, MvAction*> actionsByName_;
    std::unordered_map<int32_t, MvAction*> actionsById_;
};

inline int MvSpriteResource::ActionCount() const { return actions_.Count(); }
inline MvAction* MvSpriteResource::ActionAt(int index) const { return actions_[index]; }

#endif
