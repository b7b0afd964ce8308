#ifndef MV_RESOURCE_TYPE_CODE_H
#define MV_RESOURCE_TYPE_CODE_H

#include <cstdint>

/// @file
/// The resource type codes, shared by the file format and the resource classes.

/// Type codes of the records of a resource file and of the resource kinds.
enum MvResourceTypeCode : uint32_t {
    MvResourceEndCode = 1, ///< the end record of a file; no resource has it
    MvSpriteResourceCode = 2, ///< MvSpriteResource
    MvTileResourceCode = 3, ///< MvTileResource
    MvCanvasResourceCode = 4, ///< made at run time only, never read from a file
    MvFontResourceCode = 5, ///< MvFontResource
    MvBoxResourceCode = 6, ///< made at run time only, never read from a file
    MvTextDataResourceCode = 7, ///< MvTextDataResource
    MvBinaryDataResourceCode = 8 ///< MvBinaryDataResource
};

#endif
