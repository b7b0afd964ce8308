#ifndef MV_RESOURCE_VAULT_H
#define MV_RESOURCE_VAULT_H

#include "MvFixed.h"
#include "MvGrowArray.h"

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <string>

class MvBinaryDataResource;
class MvFontResource;
class MvLoadPool;
class MvResource;
class MvResourceReader;
class MvSpriteResource;
class MvTextDataResource;
class MvTileResource;

/// Holds the resources a program draws or uses: it reads one resource file (from a path or
/// from memory), turns each record into a resource through the factory, keeps them in file
/// order together with any added by hand, and finds them by type and name or by type and
/// id (the first match in list order wins). All image storage of the file lies in three
/// load pools kept for the vault's life, which grow with what the records take, never
/// past the file's tallies. The file is
/// untrusted input: a malformed one is refused with one message and leaves the vault as it
/// was; pointers handed out stay valid until the vault is destroyed.
class MvResourceVault {
public:
    /// An empty vault without pools.
    MvResourceVault();
    /// Deletes every resource, first to last, then the pools.
    virtual ~MvResourceVault();

    MvResourceVault(const MvResourceVault&) = delete;
    MvResourceVault& operator=(const MvResourceVault&) = delete;

    /// Loads the resource file at path (asserted not null). Returns false with a message
    /// when the file cannot be opened or is malformed, or when the vault already holds a
    /// file; the vault is then unchanged. A record of a type the factory does not know
    /// ends the load early: the resources before it stay and the result is true.
    bool LoadDatFile(const char* path);
    /// As LoadDatFile, from size bytes at data (asserted size >= 0), which need to stay
    /// valid only during the call.
    bool LoadDatFileFromMemory(const void* data, int size);
    /// Why the last load of this vault failed, in one line naming the file, such as
    /// `cannot open 'a.dat': No such file or directory`; empty after a load that succeeded
    /// and before the first.
    const std::string& LoadError() const;

    /// The resource of that kind with that exact name or id, or null (and the lookup is
    /// noted for LastFailedLookup). A resource found by type code must have the matching
    /// typed view (asserted).
    ///@{
    MvSpriteResource* FindSpriteResource(const char* name) const;
    MvSpriteResource* FindSpriteResource(int32_t id) const;
    MvTileResource* FindTileResource(const char* name) const;
    MvTileResource* FindTileResource(int32_t id) const;
    MvFontResource* FindFontResource(const char* name) const;
    MvFontResource* FindFontResource(int32_t id) const;
    MvTextDataResource* FindTextDataResource(const char* name) const;
    MvTextDataResource* FindTextDataResource(int32_t id) const;
    MvBinaryDataResource* FindBinaryDataResource(const char* name) const;
    MvBinaryDataResource* FindBinaryDataResource(int32_t id) const;
    ///@}

    /// The first resource, in list order, whose type code (or type name) and exact name
    /// (or id) match; null if none (and the lookup is noted for LastFailedLookup). Asserts
    /// the texts are not null.
    ///@{
    MvResource* FindResource(int type, const char* name) const;
    MvResource* FindResource(int type, int32_t id) const;
    MvResource* FindResource(const char* typeName, const char* name) const;
    ///@}

    /// What the most recent lookup that found nothing, in any vault, asked for, such as
    /// `sprite resource "hero"` or `tile resource id 20`; "none" while every lookup found
    /// its resource. Code that is handed a null resource names it in its assertion, so a
    /// program that goes on with a failed lookup learns which one.
    static const char* LastFailedLookup();

    /// Takes resource (asserted not null) at the end of the list; the vault owns it.
    void AppendResource(MvResource* resource);

    /// Number of resources.
    int ResourceCount() const;
    /// Resource index in list order. Asserts 0 <= index < ResourceCount().
    MvResource* ResourceAt(int index) const;

    /// AddScaleCache on every resource in list order.
    virtual void AddScaleCache(MvFixed xScale, MvFixed yScale);
    /// ClearScaleCache on every resource in list order.
    virtual void ClearScaleCache();

    /// True once a file has been loaded (its pools are held).
    bool HasLoadedFile() const;
    /// Bytes the load pools of the loaded file hold; 0 without one.
    size_t LoadPoolBytes() const;

private:
    bool ReadStream(SDL_RWops* stream, const char* fileName);
    bool ReadInto(MvResourceReader& reader);

    MvGrowArray<MvResource*> resources_;
    std::string loadError_;
    MvLoadPool* pixelPool_;
    MvLoadPool* linePool_;
    MvLoadPool* segmentPool_;
};

inline int MvResourceVault::ResourceCount() const { return resources_.Count(); }
inline MvResource* MvResourceVault::ResourceAt(int index) const { return resources_[index]; }
inline const std::string& MvResourceVault::LoadError() const { return loadError_; }
inline bool MvResourceVault::HasLoadedFile() const { return pixelPool_ != nullptr; }

#endif
