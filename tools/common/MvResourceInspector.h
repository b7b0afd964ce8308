#ifndef MV_RESOURCE_INSPECTOR_H
#define MV_RESOURCE_INSPECTOR_H

#include "MvPngImage.h"
#include "MvResourceVault.h"

#include <cstdint>
#include <string>
#include <vector>

// Shows what a resource file holds: its version and tallies, every resource (type, id,
// name) with what matters of its kind (a tile's size and pixel bytes; a font's type,
// glyph count, start index and space; the first lines of a text; the length and first
// bytes of binary data), the actions of sprites and fonts with their frames (size, offset
// from the hot spot, delta; a glyph's delta is its advance), and a contact sheet picture
// of every frame. The file is read by the
// engine's own loader, so a file the inspector shows is one the game can load, and a
// corrupt file gets the loader's message. The header is read once more on its own, since
// the vault does not keep the version and tallies.
class MvResourceInspector {
public:
    // Where one frame lies on the contact sheet: its top-left pixel.
    struct SheetCell {
        int resource; // index in the vault
        int action;   // index in the sprite
        int frame;    // index in the action
        int x;
        int y;
    };

    // Pixels between frames on the sheet, and the width after which a line of frames wraps
    // (a wider frame gets a line of its own).
    enum { SheetGap = 2, SheetWrapWidth = 1024 };
    // How much of text and binary data the listing shows: the first lines of a text, each
    // cut after so many characters, and the first bytes of binary data.
    enum { PreviewLines = 3, PreviewLineLength = 60, PreviewBytes = 16 };

    MvResourceInspector();

    // Loads the resource file at path. Returns false with the loader's message in error
    // (asserted not null) when it cannot. Loader warnings (a record of an unknown kind
    // ends the file early) are kept in Warnings(). Asserts nothing was loaded before.
    bool Load(const std::string& path, std::string* error);

    // The listing of the loaded file, one line per item, indented by level.
    std::string Listing() const;

    // Where each frame with pixels goes on the contact sheet: every action starts a new
    // line, frames follow left to right in order. Sets the sheet's size (at least 1 x 1).
    void LayoutSheet(std::vector<SheetCell>* cells, int* width, int* height) const;
    // The contact sheet: every frame's pixels at its cell, transparent elsewhere.
    MvPngImage ContactSheet() const;
    // Writes the contact sheet as a PNG file; false with error naming the file.
    bool WriteContactSheet(const std::string& path, std::string* error) const;

    const MvResourceVault& Vault() const;
    const std::string& Version() const;
    uint32_t PixelTally() const;
    uint32_t LineTally() const;
    uint32_t SegmentTally() const;
    const std::vector<std::string>& Warnings() const;

private:
    std::string path_;
    std::string version_;
    uint32_t pixelTally_;
    uint32_t lineTally_;
    uint32_t segmentTally_;
    std::vector<std::string> warnings_;
    MvResourceVault vault_;
};

inline const MvResourceVault& MvResourceInspector::Vault() const { return vault_; }
inline const std::string& MvResourceInspector::Version() const { return version_; }
inline uint32_t MvResourceInspector::PixelTally() const { return pixelTally_; }
inline uint32_t MvResourceInspector::LineTally() const { return lineTally_; }
inline uint32_t MvResourceInspector::SegmentTally() const { return segmentTally_; }
inline const std::vector<std::string>& MvResourceInspector::Warnings() const { return warnings_; }

#endif
