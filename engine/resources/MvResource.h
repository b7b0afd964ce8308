#ifndef MV_RESOURCE_H
#define MV_RESOURCE_H

#include "MvFixed.h"
#include "MvResourceTypeCode.h"

#include <cstdint>
#include <string>

class MvBinaryDataResource;
class MvCanvasResource;
class MvCollisionMask;
class MvFontResource;
class MvResourceReader;
class MvResourceWriter;
class MvSceneNode;
class MvSpriteResource;
class MvTextDataResource;
class MvTileResource;

/// The base of every resource a vault holds: sprites, tiles, fonts, canvases, text and
/// binary data. It gives each a name, an id, a type code and a type name, typed views
/// that replace down-casts (each kind returns itself from its own view, every other view
/// is null), and the operations the vault, the scene nodes and the resource encoder call
/// without knowing the kind: caching pre-scaled copies, saving a record, and producing a
/// collision bit map. The base versions do nothing or return nothing.
class MvResource {
public:
    /// Empty name, id 0.
    MvResource();
    /// Releases the name.
    virtual ~MvResource();

    MvResource(const MvResource&) = delete;
    MvResource& operator=(const MvResource&) = delete;

    /// The record type code of the kind.
    virtual int Type() const = 0;
    /// The kind's name ("Sprite", "Tile", ...): one constant string per kind.
    virtual const std::string& TypeName() const = 0;

    /// The resource as that kind: itself when it is one, else null.
    ///@{
    virtual MvSpriteResource* AsSpriteResource();
    virtual MvTileResource* AsTileResource();
    virtual MvCanvasResource* AsCanvasResource();
    virtual MvFontResource* AsFontResource();
    virtual MvTextDataResource* AsTextDataResource();
    virtual MvBinaryDataResource* AsBinaryDataResource();
    ///@}

    /// Makes pre-scaled copies for the scale pair, where the kind keeps them.
    virtual void AddScaleCache(MvFixed xScale, MvFixed yScale);
    /// True when copies for exactly this scale pair exist.
    virtual bool HasScaleCache(MvFixed xScale, MvFixed yScale) const;
    /// Deletes every pre-scaled copy.
    virtual void ClearScaleCache();

    /// @name Engine internals
    /// For the resource encoder and the engine's collision test, never for a program: the
    /// writer and the collision bit map are the engine's own types, not installed.
    ///@{

    /// Writes the resource as one record of a resource file. Kinds that cannot be saved
    /// keep this version, which asserts.
    virtual void Save(MvResourceWriter& writer) const;
    /// The collision bit map of what node shows in window, or null for kinds without one.
    virtual MvCollisionMask* GetCollisionMask(MvSceneNode* node, int window);
    ///@}

    /// Sets name (asserted not null) and id.
    void SetIdentity(const char* name, int32_t id);
    /// The name, by which the vault finds the resource.
    const char* Name() const;
    /// The id, by which the vault finds the resource.
    int32_t Id() const;

protected:
    /// @name Engine internals: records
    /// How the engine's kinds read and write their records; the reader and the writer are
    /// the engine's own types, not installed.
    ///@{

    /// Reads the beginning every record payload shares, the name up to its zero byte and
    /// the 32-bit id, and sets them. Returns false (the reader holds the error) when they
    /// are not there.
    bool ReadIdentity(MvResourceReader& reader);
    /// Writes the name with its zero byte and the id, as ReadIdentity reads them.
    void SaveIdentity(MvResourceWriter& writer) const;
    ///@}

private:
    std::string name_;
    int32_t id_;
};

inline const char* MvResource::Name() const { return name_.c_str(); }
inline int32_t MvResource::Id() const { return id_; }

#endif
