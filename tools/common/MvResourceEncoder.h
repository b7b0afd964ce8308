#ifndef MV_RESOURCE_ENCODER_H
#define MV_RESOURCE_ENCODER_H

#include "MvPngImage.h"
#include "MvResourceDefinition.h"

#include <map>
#include <string>
#include <vector>

class MvResourceVault;
class MvRle;

// Turns a resource definition with its PNG pictures and data files into a resource file
// in the engine's format, and a C++ header of the resource ids. Sprite frames are cut
// from their pictures and encoded with MvRle::Create, tiles and fonts are made by the
// engine's own constructors from pictures, texts and binary data by the engine's file
// loaders; the resources are collected in a vault and written through their own Save, so
// the file is exactly what the loader reads. Everything the engine would refuse, assert
// on or quietly leave out (a rectangle outside its picture, runs too long or too many, a
// font cell that cannot become a glyph, a zero byte in a text) is found first and
// reported with the definition's file and line, so a bad definition never yields a file
// that does not hold what it says.
class MvResourceEncoder {
public:
    // What one run of the encoder reads and writes. headerPath and imageDir may be empty:
    // no header is written, and pictures are found next to the definition.
    struct Options {
        std::string definitionPath;
        std::string outputPath;
        std::string headerPath;
        std::string imageDir;
    };

    // Encodes definition, finding pictures in imageDir (the definition's folder when
    // empty). The definition must outlive the encoder.
    MvResourceEncoder(const MvResourceDefinition& definition, const std::string& imageDir);

    // Appends one resource per resource of the definition to vault (asserted not null),
    // in definition order. Returns false and sets error (asserted not null) at the first
    // resource that cannot be made; the resources built so far stay in the vault.
    // Doubtful but usable inputs (a fixed font picture whose width leaves columns over)
    // add a message to warnings when it is given.
    bool Build(MvResourceVault* vault, std::string* error, std::vector<std::string>* warnings = nullptr);

    // The path an image attribute names: absolute as written, otherwise inside the
    // picture folder.
    std::string PicturePath(const std::string& image) const;
    // The path a text or binary file attribute names: absolute as written, otherwise
    // inside the definition's folder.
    std::string DataPath(const std::string& file) const;

    // Writes every resource of vault, in list order, as a resource file at path. Returns
    // false and sets error (naming the file) when it cannot be written; no file is left.
    static bool WriteResourceFile(const MvResourceVault& vault, const std::string& path, std::string* error);

    // The header of resource ids for definition: one constant per resource, in
    // definition order, and, in a namespace per sprite, one per action. headerPath gives
    // the include guard.
    static std::string HeaderText(const MvResourceDefinition& definition, const std::string& headerPath);

    // The whole tool: loads the definition, builds, writes the resource file and the
    // header. Returns false with one message in error; warnings about doubtful
    // definitions are appended to warnings (asserted not null) either way.
    static bool Run(const Options& options, std::string* error, std::vector<std::string>* warnings);

private:
    bool BuildSprite(const MvSpriteDefinition& definition, MvResourceVault* vault, std::string* error);
    bool BuildTile(const MvTileDefinition& definition, MvResourceVault* vault, std::string* error);
    bool BuildFont(const MvFontDefinition& definition, MvResourceVault* vault, std::string* error,
                   std::vector<std::string>* warnings);
    bool BuildText(const MvTextDefinition& definition, MvResourceVault* vault, std::string* error);
    bool BuildBinary(const MvBinaryDefinition& definition, MvResourceVault* vault, std::string* error);
    // "FILE:LINE: " of the definition.
    std::string At(int line) const;
    // "FILE:LINE: KIND 'NAME': ", the start of a message about one resource.
    std::string Where(int line, const char* kind, const std::string& name) const;
    bool EncodeFrame(const MvSpriteDefinition& sprite, const MvActionDefinition& action, int index, MvRle* frame,
                     std::string* error);
    const MvPngImage* Picture(const std::string& path, std::string* why);
    // The picture at path for the resource that where names; null, with error set to
    // where and the reason, when it cannot be read.
    const MvPngImage* PictureFor(const std::string& where, const std::string& path, std::string* error);

    const MvResourceDefinition& definition_;
    std::string pictureFolder_;
    std::map<std::string, MvPngImage> pictures_;
};

#endif
