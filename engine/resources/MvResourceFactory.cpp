#include "MvResourceFactory.h"

#include "MvAssert.h"
#include "MvBinaryDataResource.h"
#include "MvFontResource.h"
#include "MvLog.h"
#include "MvResource.h"
#include "MvSpriteResource.h"
#include "MvTextDataResource.h"
#include "MvTileResource.h"

namespace {

typedef MvResource* (*MvResourceMaker)(uint32_t size, MvResourceReader& reader);

template <typename Kind>
MvResource* Make(uint32_t size, MvResourceReader& reader)
{
    return new Kind(size, reader);
}

struct MvResourceKindRow {
    uint32_t type;
    MvResourceMaker make;
};

// The kinds a resource file can hold; each kind adds its row here.
const MvResourceKindRow KindTable[] = {
    {MvSpriteResourceCode, Make<MvSpriteResource>},
    {MvTileResourceCode, Make<MvTileResource>},
    {MvFontResourceCode, Make<MvFontResource>},
    {MvTextDataResourceCode, Make<MvTextDataResource>},
    {MvBinaryDataResourceCode, Make<MvBinaryDataResource>},
};

} // namespace

MvResourceFactory* MvResourceFactory::instance_ = nullptr;

MvResourceFactory* MvResourceFactory::Instance()
{
    if (instance_ == nullptr)
        instance_ = new MvResourceFactory;
    return instance_;
}

MvResourceFactory::MvResourceFactory() { }

MvResourceFactory::~MvResourceFactory()
{
    if (instance_ == this)
        instance_ = nullptr;
}

MvResource* MvResourceFactory::Create(uint32_t type, uint32_t size, MvResourceReader& reader)
{
    for (const MvResourceKindRow& row : KindTable) {
        if (row.type == type)
            return row.make(size, reader);
    }
    MvLogError("Warning: could not find resource id=%u in MvResourceFactory\n", type);
    return nullptr;
}
