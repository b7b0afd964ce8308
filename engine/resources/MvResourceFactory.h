#ifndef MV_RESOURCE_FACTORY_H
#define MV_RESOURCE_FACTORY_H

#include <cstdint>

class MvResource;
class MvResourceReader;

/// Turns one record of a resource file into a resource object of the kind its type code
/// names, through a table with one row per kind that files can hold. One instance exists
/// at a time, made on first use by Instance; the loader deletes it after every load, so
/// each load starts with a fresh one.
class MvResourceFactory {
public:
    /// The current instance; makes one when there is none.
    static MvResourceFactory* Instance();

    /// Forgets the instance, so that the next Instance makes a new one.
    virtual ~MvResourceFactory();

    MvResourceFactory(const MvResourceFactory&) = delete;
    MvResourceFactory& operator=(const MvResourceFactory&) = delete;

    /// A new resource read by its kind's reading constructor from the payload of size
    /// bytes at the reader's position; the caller owns it, and checks the reader's error
    /// before using it. For a type code the table does not list, logs a warning and
    /// returns null without reading: file input never stops the program.
    virtual MvResource* Create(uint32_t type, uint32_t size, MvResourceReader& reader);

protected:
    MvResourceFactory();

private:
    static MvResourceFactory* instance_;
};

#endif
