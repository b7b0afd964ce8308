#ifndef MV_RESOURCE_DEFINITION_H
#define MV_RESOURCE_DEFINITION_H

#include <cstdint>
#include <string>
#include <vector>

// One frame of an action as the definition gives it: the rectangle cut from a picture,
// the hot spot relative to the rectangle's top-left corner, and the delta. hasWidth and
// hasHeight are false where the definition leaves the size to the picture.
struct MvFrameDefinition {
    int line;          // line of the <frame> element
    std::string image; // the picture's path as written
    int32_t x, y, width, height;
    bool hasWidth, hasHeight;
    int32_t hotX, hotY;
    int32_t deltaX, deltaY;
};

// One action of a sprite: name, id and frames in order.
struct MvActionDefinition {
    int line;
    std::string name;
    int32_t id;
    std::vector<MvFrameDefinition> frames;
};

// One sprite resource: name, id and actions in order.
struct MvSpriteDefinition {
    int line;
    std::string name;
    int32_t id;
    std::vector<MvActionDefinition> actions;
};

// The contents of a resource definition, the XML file from which the encoder builds a
// resource file: sprites with their actions and frames, in file order. Loading checks the
// whole structure (known elements and attributes, required attributes, integers in range,
// ASCII names the engine can read) and stops at the first problem with one message that
// names the file and the line, so that the encoder never meets a half-valid definition.
// Doubtful but legal contents (repeated names or ids, sprites without actions) load and
// leave a warning.
class MvResourceDefinition {
public:
    // An empty definition.
    MvResourceDefinition();

    // Reads the definition file at path, replacing what was loaded. Returns false and
    // sets error ("FILE:LINE: what is wrong", or "FILE: ..." when no line applies) at the
    // first problem; the definition is then empty. Asserts error is not null.
    bool Load(const std::string& path, std::string* error);

    // The path given to Load.
    const std::string& Path() const;
    // The folder that holds the definition file ("." when the path has none).
    std::string Folder() const;
    const std::vector<MvSpriteDefinition>& Sprites() const;
    // Messages about doubtful contents ("FILE:LINE: warning: ..."), in file order.
    const std::vector<std::string>& Warnings() const;

private:
    std::string path_;
    std::vector<MvSpriteDefinition> sprites_;
    std::vector<std::string> warnings_;
};

inline const std::string& MvResourceDefinition::Path() const { return path_; }
inline const std::vector<MvSpriteDefinition>& MvResourceDefinition::Sprites() const { return sprites_; }
inline const std::vector<std::string>& MvResourceDefinition::Warnings() const { return warnings_; }

#endif
