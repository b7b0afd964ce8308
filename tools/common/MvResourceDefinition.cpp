#include "MvResourceDefinition.h"

#include "MvAssert.h"
#include "MvResourceReader.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <map>
#include <memory>

namespace {

struct DocDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

// Keeps the first error libxml2 reports into userData (an xmlError); the later ones of a
// broken file mostly follow from it.
void KeepFirstError(void* userData, xmlError* error)
{
    xmlError* first = static_cast<xmlError*>(userData);
    if (first->code == XML_ERR_OK && error != nullptr && error->level >= XML_ERR_ERROR)
        xmlCopyError(error, first);
}

// Where the reader puts what it finds.
struct DefinitionLists {
    std::vector<MvSpriteDefinition>* sprites;
    std::vector<MvTileDefinition>* tiles;
    std::vector<MvFontDefinition>* fonts;
    std::vector<MvTextDefinition>* texts;
    std::vector<MvBinaryDefinition>* binaries;
    std::vector<MvDefinedResource>* order;
    std::vector<std::string>* warnings;
};

// The word for a kind in messages.
const char* KindWord(MvDefinedKind kind)
{
    switch (kind) {
    case MvDefinedKind::Sprite: return "sprite";
    case MvDefinedKind::Tile: return "tile";
    case MvDefinedKind::Font: return "font";
    case MvDefinedKind::Text: return "text";
    case MvDefinedKind::Binary: return "binary";
    }
    return "resource";
}

// Character codes are 16-bit, so a start index or space code outside this range could
// never be met.
const int32_t MaxCharacterCode = 65535;

// Walks the parsed document and reports the first problem with the file name and line.
class DefinitionReader {
public:
    DefinitionReader(const std::string& path, const DefinitionLists& lists)
        : path_(path), lists_(lists), warnings_(lists.warnings)
    {
    }

    bool ReadResources(xmlNode* root, std::string* error);

private:
    // Reads one child of <resources> into its kind's list; sets *kind, *name, *id and
    // *line for the checks on repeats.
    bool ReadResource(xmlNode* node, MvDefinedKind* kind, std::string* name, int32_t* id, int* line);
    // Reads node with read into a new entry of list, of the given kind, and adds it to the
    // file order, even when read fails; sets *name and *id from what was read.
    template <typename Definition>
    bool ReadInto(xmlNode* node, MvDefinedKind kind, bool (DefinitionReader::*read)(xmlNode*, Definition*),
                  std::vector<Definition>* list, std::string* name, int32_t* id);
    bool ReadSprite(xmlNode* node, MvSpriteDefinition* sprite);
    bool ReadAction(xmlNode* node, MvActionDefinition* action);
    bool ReadFrame(xmlNode* node, MvFrameDefinition* frame);
    bool ReadTile(xmlNode* node, MvTileDefinition* tile);
    bool ReadFont(xmlNode* node, MvFontDefinition* font);
    bool ReadText(xmlNode* node, MvTextDefinition* text);
    bool ReadBinary(xmlNode* node, MvBinaryDefinition* binary);
    // A required attribute naming a file (a picture or data): present and not empty.
    bool RequiredPath(xmlNode* node, const char* name, std::string* value);
    // Fails when node holds anything but white space and comments.
    bool NoChildren(xmlNode* node);

    // The element children of node, after checking that everything else in it is
    // white space or a comment.
    bool Children(xmlNode* node, std::vector<xmlNode*>* elements);
    // Fails unless node is the element the caller expects, naming what it holds.
    bool Expect(xmlNode* node, const char* name, const char* within);
    // Fails on any attribute of node that is not in allowed.
    bool CheckAttributes(xmlNode* node, std::initializer_list<const char*> allowed);
    // The attribute's text; false when it is missing.
    bool Text(xmlNode* node, const char* name, std::string* value);
    bool RequiredName(xmlNode* node, const char* name, std::string* value);
    bool RequiredInt(xmlNode* node, const char* name, int32_t* value);
    // Leaves *value unchanged when the attribute is missing; *present (when given) says
    // whether it was there.
    bool OptionalInt(xmlNode* node, const char* name, int32_t minimum, int32_t* value, bool* present = nullptr);
    bool ParseInt(xmlNode* node, const char* name, const std::string& text, int32_t minimum, int32_t* value,
                  int32_t maximum = INT32_MAX);

    bool Fail(xmlNode* node, const std::string& what);
    void Warn(int line, const std::string& what);
    std::string At(int line) const;

    std::string path_;
    DefinitionLists lists_;
    std::vector<std::string>* warnings_;
    std::string error_;
};

std::string DefinitionReader::At(int line) const { return path_ + ":" + std::to_string(line) + ": "; }

bool DefinitionReader::Fail(xmlNode* node, const std::string& what)
{
    if (error_.empty())
        error_ = At(static_cast<int>(xmlGetLineNo(node))) + what;
    return false;
}

void DefinitionReader::Warn(int line, const std::string& what) { warnings_->push_back(At(line) + "warning: " + what); }

bool DefinitionReader::Children(xmlNode* node, std::vector<xmlNode*>* elements)
{
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
        switch (child->type) {
        case XML_ELEMENT_NODE:
            elements->push_back(child);
            break;
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
            break;
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE: {
            const char* text = reinterpret_cast<const char*>(child->content);
            for (; text != nullptr && *text != '\0'; ++text) {
                if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r')
                    return Fail(child, std::string("unexpected text inside <") +
                                           reinterpret_cast<const char*>(node->name) + ">");
            }
            break;
        }
        default:
            return Fail(child, std::string("unexpected content inside <") + reinterpret_cast<const char*>(node->name) +
                                   ">");
        }
    }
    return true;
}

bool DefinitionReader::Expect(xmlNode* node, const char* name, const char* within)
{
    if (node->ns == nullptr && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0)
        return true;
    return Fail(node, std::string("unknown element <") + reinterpret_cast<const char*>(node->name) + "> inside <" +
                          within + ">; expected <" + name + ">");
}

bool DefinitionReader::CheckAttributes(xmlNode* node, std::initializer_list<const char*> allowed)
{
    for (xmlAttr* attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
        bool known = false;
        for (const char* name : allowed)
            known = known || (attribute->ns == nullptr &&
                              std::strcmp(reinterpret_cast<const char*>(attribute->name), name) == 0);
        if (!known)
            return Fail(node, std::string("unknown attribute '") + reinterpret_cast<const char*>(attribute->name) +
                                  "' on <" + reinterpret_cast<const char*>(node->name) + ">");
    }
    return true;
}

bool DefinitionReader::Text(xmlNode* node, const char* name, std::string* value)
{
    xmlChar* text = xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>(name));
    if (text == nullptr)
        return false;
    *value = reinterpret_cast<const char*>(text);
    xmlFree(text);
    return true;
}

bool DefinitionReader::RequiredName(xmlNode* node, const char* name, std::string* value)
{
    if (!Text(node, name, value))
        return Fail(node, std::string("<") + reinterpret_cast<const char*>(node->name) + "> lacks the attribute '" +
                              name + "'");
    if (value->size() > MvResourceReader::MaxNameLength)
        return Fail(node, std::string("the ") + name + " '" + value->substr(0, 20) + "...' is longer than " +
                              std::to_string(MvResourceReader::MaxNameLength) + " characters");
    for (char c : *value) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7E)
            return Fail(node, std::string("the ") + name + " '" + *value +
                                  "' holds a character that is not printable ASCII");
    }
    return true;
}

bool DefinitionReader::ParseInt(xmlNode* node, const char* name, const std::string& text, int32_t minimum,
                                int32_t* value, int32_t maximum)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(begin, &end, 10);
    const bool digits = !text.empty() && (std::isdigit(static_cast<unsigned char>(text[0])) ||
                                          ((text[0] == '-' || text[0] == '+') && text.size() > 1 &&
                                           std::isdigit(static_cast<unsigned char>(text[1]))));
    if (!digits || errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX)
        return Fail(node, std::string("the attribute ") + name + "=\"" + text + "\" is not a 32-bit integer");
    if (parsed < minimum)
        return Fail(node, std::string("the attribute ") + name + "=\"" + text + "\" is below " +
                              std::to_string(minimum));
    if (parsed > maximum)
        return Fail(node, std::string("the attribute ") + name + "=\"" + text + "\" is above " +
                              std::to_string(maximum));
    *value = static_cast<int32_t>(parsed);
    return true;
}

bool DefinitionReader::RequiredInt(xmlNode* node, const char* name, int32_t* value)
{
    std::string text;
    if (!Text(node, name, &text))
        return Fail(node, std::string("<") + reinterpret_cast<const char*>(node->name) + "> lacks the attribute '" +
                              name + "'");
    return ParseInt(node, name, text, INT32_MIN, value);
}

bool DefinitionReader::OptionalInt(xmlNode* node, const char* name, int32_t minimum, int32_t* value, bool* present)
{
    std::string text;
    const bool there = Text(node, name, &text);
    if (present != nullptr)
        *present = there;
    return !there || ParseInt(node, name, text, minimum, value);
}

bool DefinitionReader::ReadResources(xmlNode* root, std::string* error)
{
    bool ok = root != nullptr;
    if (!ok)
        error_ = path_ + ": the file holds no element";
    else if (root->ns != nullptr || std::strcmp(reinterpret_cast<const char*>(root->name), "resources") != 0)
        ok = Fail(root, std::string("the top element is <") + reinterpret_cast<const char*>(root->name) +
                            ">; expected <resources>");
    std::vector<xmlNode*> children;
    ok = ok && CheckAttributes(root, {}) && Children(root, &children);
    // Lookups go by kind, so repeats only matter within one kind.
    std::map<MvDefinedKind, std::map<int32_t, int>> idLines;
    std::map<MvDefinedKind, std::map<std::string, int>> nameLines;
    for (size_t i = 0; ok && i < children.size(); ++i) {
        MvDefinedKind kind = MvDefinedKind::Sprite;
        std::string name;
        int32_t id = 0;
        int line = 0;
        ok = ReadResource(children[i], &kind, &name, &id, &line);
        if (!ok)
            break;
        const std::string word = KindWord(kind);
        auto idLine = idLines[kind].emplace(id, line);
        if (!idLine.second)
            Warn(line, word + " id " + std::to_string(id) + " is also used on line " +
                           std::to_string(idLine.first->second) + "; lookups by id find only the first");
        auto nameLine = nameLines[kind].emplace(name, line);
        if (!nameLine.second)
            Warn(line, word + " name '" + name + "' is also used on line " + std::to_string(nameLine.first->second) +
                           "; lookups by name find only the first");
        if (kind == MvDefinedKind::Sprite && lists_.sprites->back().actions.empty())
            Warn(line, "sprite '" + name + "' has no actions");
        if (kind == MvDefinedKind::Text && !lists_.texts->back().fromFile && lists_.texts->back().text.empty())
            Warn(line, "text '" + name + "' is empty");
    }
    if (!ok)
        *error = error_;
    return ok;
}

bool DefinitionReader::ReadResource(xmlNode* node, MvDefinedKind* kind, std::string* name, int32_t* id, int* line)
{
    const char* element = reinterpret_cast<const char*>(node->name);
    const bool plain = node->ns == nullptr;
    auto is = [&](const char* expected) { return plain && std::strcmp(element, expected) == 0; };
    bool ok = false;
    if (is("sprite"))
        ok = ReadInto(node, MvDefinedKind::Sprite, &DefinitionReader::ReadSprite, lists_.sprites, name, id);
    else if (is("tile"))
        ok = ReadInto(node, MvDefinedKind::Tile, &DefinitionReader::ReadTile, lists_.tiles, name, id);
    else if (is("font"))
        ok = ReadInto(node, MvDefinedKind::Font, &DefinitionReader::ReadFont, lists_.fonts, name, id);
    else if (is("text"))
        ok = ReadInto(node, MvDefinedKind::Text, &DefinitionReader::ReadText, lists_.texts, name, id);
    else if (is("binary"))
        ok = ReadInto(node, MvDefinedKind::Binary, &DefinitionReader::ReadBinary, lists_.binaries, name, id);
    else
        return Fail(node, std::string("unknown element <") + element +
                              "> inside <resources>; expected <sprite>, <tile>, <font>, <text> or <binary>");
    *kind = lists_.order->back().kind;
    *line = static_cast<int>(xmlGetLineNo(node));
    return ok;
}

template <typename Definition>
bool DefinitionReader::ReadInto(xmlNode* node, MvDefinedKind kind,
                                bool (DefinitionReader::*read)(xmlNode*, Definition*), std::vector<Definition>* list,
                                std::string* name, int32_t* id)
{
    Definition definition{};
    const bool ok = (this->*read)(node, &definition);
    *name = definition.name;
    *id = definition.id;
    list->push_back(std::move(definition));
    lists_.order->push_back(MvDefinedResource{kind, static_cast<int>(list->size()) - 1});
    return ok;
}

bool DefinitionReader::RequiredPath(xmlNode* node, const char* name, std::string* value)
{
    if (!Text(node, name, value))
        return Fail(node, std::string("<") + reinterpret_cast<const char*>(node->name) + "> lacks the attribute '" +
                              name + "'");
    if (value->empty())
        return Fail(node, std::string("the attribute ") + name + "=\"\" names no file");
    return true;
}

bool DefinitionReader::NoChildren(xmlNode* node)
{
    std::vector<xmlNode*> children;
    if (!Children(node, &children))
        return false;
    if (!children.empty())
        return Fail(children[0], std::string("<") + reinterpret_cast<const char*>(node->name) + "> holds no elements");
    return true;
}

bool DefinitionReader::ReadTile(xmlNode* node, MvTileDefinition* tile)
{
    tile->line = static_cast<int>(xmlGetLineNo(node));
    tile->id = 0;
    tile->x = tile->y = tile->size = 0;
    tile->hasSize = false;
    tile->opaque = false;
    if (!CheckAttributes(node, {"name", "id", "image", "x", "y", "size", "alpha"}) ||
        !RequiredName(node, "name", &tile->name) || !RequiredInt(node, "id", &tile->id) ||
        !RequiredPath(node, "image", &tile->image) || !NoChildren(node) || !OptionalInt(node, "x", 0, &tile->x) ||
        !OptionalInt(node, "y", 0, &tile->y) || !OptionalInt(node, "size", 1, &tile->size, &tile->hasSize))
        return false;
    std::string alpha;
    if (Text(node, "alpha", &alpha)) {
        if (alpha != "auto" && alpha != "no")
            return Fail(node, "the attribute alpha=\"" + alpha + "\" is neither \"auto\" nor \"no\"");
        tile->opaque = alpha == "no";
    }
    return true;
}

bool DefinitionReader::ReadFont(xmlNode* node, MvFontDefinition* font)
{
    font->line = static_cast<int>(xmlGetLineNo(node));
    font->id = 0;
    font->fontType = 0;
    font->startIndex = 32;
    font->spaceCode = 32;
    font->length = 0;
    int32_t fontType = 0;
    bool hasLength = false;
    std::string typeText;
    if (!CheckAttributes(node, {"name", "id", "image", "type", "start", "space", "length"}) ||
        !RequiredName(node, "name", &font->name) || !RequiredInt(node, "id", &font->id) ||
        !RequiredPath(node, "image", &font->image) || !NoChildren(node))
        return false;
    if (!Text(node, "type", &typeText))
        return Fail(node, "<font> lacks the attribute 'type' (0: cells of equal width, 1: cells marked in the top "
                          "row)");
    if (!ParseInt(node, "type", typeText, 0, &fontType, 1) ||
        !OptionalInt(node, "start", 0, &font->startIndex) || !OptionalInt(node, "space", 0, &font->spaceCode) ||
        !OptionalInt(node, "length", 1, &font->length, &hasLength))
        return false;
    if (font->startIndex > MaxCharacterCode)
        return Fail(node, "the start index start=\"" + std::to_string(font->startIndex) +
                              "\" is above the largest character code " + std::to_string(MaxCharacterCode));
    if (font->spaceCode > MaxCharacterCode)
        return Fail(node, "the space code space=\"" + std::to_string(font->spaceCode) +
                              "\" is above the largest character code " + std::to_string(MaxCharacterCode));
    font->fontType = static_cast<uint16_t>(fontType);
    if (fontType == 0 && !hasLength)
        return Fail(node, "a font of type 0 needs the attribute 'length', its number of glyphs");
    if (fontType == 1 && hasLength)
        return Fail(node, "the attribute 'length' applies to fonts of type 0 only; type 1 counts the cells its "
                          "top row marks");
    return true;
}

bool DefinitionReader::ReadText(xmlNode* node, MvTextDefinition* text)
{
    text->line = static_cast<int>(xmlGetLineNo(node));
    text->id = 0;
    text->fromFile = false;
    if (!CheckAttributes(node, {"name", "id", "file"}) || !RequiredName(node, "name", &text->name) ||
        !RequiredInt(node, "id", &text->id))
        return false;
    std::string file;
    text->fromFile = Text(node, "file", &file);
    if (text->fromFile && !RequiredPath(node, "file", &text->file))
        return false;
    // The content is the text exactly as written, line breaks included; comments are
    // left out and elements refused.
    bool blank = true;
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
        switch (child->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (child->content != nullptr)
                text->text += reinterpret_cast<const char*>(child->content);
            break;
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
            break;
        case XML_ELEMENT_NODE:
            return Fail(child, "<text> holds no elements; write markup characters as &lt; and &amp;");
        default:
            return Fail(child, "unexpected content inside <text>");
        }
    }
    for (char c : text->text)
        blank = blank && (c == ' ' || c == '\t' || c == '\n' || c == '\r');
    if (text->fromFile) {
        if (!blank)
            return Fail(node, "<text> takes its text from the attribute 'file' or from its content, not both");
        text->text.clear();
    }
    return true;
}

bool DefinitionReader::ReadBinary(xmlNode* node, MvBinaryDefinition* binary)
{
    binary->line = static_cast<int>(xmlGetLineNo(node));
    binary->id = 0;
    return CheckAttributes(node, {"name", "id", "file"}) && RequiredName(node, "name", &binary->name) &&
           RequiredInt(node, "id", &binary->id) && RequiredPath(node, "file", &binary->file) && NoChildren(node);
}

bool DefinitionReader::ReadSprite(xmlNode* node, MvSpriteDefinition* sprite)
{
    sprite->line = static_cast<int>(xmlGetLineNo(node));
    std::vector<xmlNode*> children;
    if (!CheckAttributes(node, {"name", "id"}) || !RequiredName(node, "name", &sprite->name) ||
        !RequiredInt(node, "id", &sprite->id) || !Children(node, &children))
        return false;
    std::map<int32_t, int> idLines;
    std::map<std::string, int> nameLines;
    for (xmlNode* child : children) {
        MvActionDefinition action;
        if (!Expect(child, "action", "sprite") || !ReadAction(child, &action))
            return false;
        auto id = idLines.emplace(action.id, action.line);
        if (!id.second)
            Warn(action.line, "action id " + std::to_string(action.id) + " of sprite '" + sprite->name +
                                  "' is also used on line " + std::to_string(id.first->second) +
                                  "; lookups by id find only the first");
        auto name = nameLines.emplace(action.name, action.line);
        if (!name.second)
            Warn(action.line, "action name '" + action.name + "' of sprite '" + sprite->name +
                                  "' is also used on line " + std::to_string(name.first->second) +
                                  "; lookups by name find only the first");
        sprite->actions.push_back(std::move(action));
    }
    return true;
}

bool DefinitionReader::ReadAction(xmlNode* node, MvActionDefinition* action)
{
    action->line = static_cast<int>(xmlGetLineNo(node));
    std::vector<xmlNode*> children;
    if (!CheckAttributes(node, {"name", "id"}) || !RequiredName(node, "name", &action->name) ||
        !RequiredInt(node, "id", &action->id) || !Children(node, &children))
        return false;
    for (xmlNode* child : children) {
        MvFrameDefinition frame;
        if (!Expect(child, "frame", "action") || !ReadFrame(child, &frame))
            return false;
        action->frames.push_back(frame);
    }
    return true;
}

bool DefinitionReader::ReadFrame(xmlNode* node, MvFrameDefinition* frame)
{
    frame->line = static_cast<int>(xmlGetLineNo(node));
    frame->x = frame->y = frame->width = frame->height = 0;
    frame->hotX = frame->hotY = frame->deltaX = frame->deltaY = 0;
    std::vector<xmlNode*> children;
    if (!CheckAttributes(node, {"image", "x", "y", "width", "height", "hotx", "hoty", "dx", "dy"}) ||
        !Children(node, &children))
        return false;
    if (!children.empty())
        return Fail(children[0], "<frame> holds no elements");
    if (!Text(node, "image", &frame->image))
        return Fail(node, "<frame> lacks the attribute 'image'");
    if (frame->image.empty())
        return Fail(node, "the attribute image=\"\" names no picture");
    return OptionalInt(node, "x", 0, &frame->x) && OptionalInt(node, "y", 0, &frame->y) &&
           OptionalInt(node, "width", 0, &frame->width, &frame->hasWidth) &&
           OptionalInt(node, "height", 0, &frame->height, &frame->hasHeight) &&
           OptionalInt(node, "hotx", INT32_MIN, &frame->hotX) && OptionalInt(node, "hoty", INT32_MIN, &frame->hotY) &&
           OptionalInt(node, "dx", INT32_MIN, &frame->deltaX) && OptionalInt(node, "dy", INT32_MIN, &frame->deltaY);
}

} // namespace

MvResourceDefinition::MvResourceDefinition() { }

bool MvResourceDefinition::Load(const std::string& path, std::string* error)
{
    MvAssert(error != nullptr);
    path_ = path;
    Clear();
    if (FILE* probe = std::fopen(path.c_str(), "rb"))
        std::fclose(probe);
    else {
        *error = path + ": cannot open the definition: " + std::strerror(errno);
        return false;
    }

    std::unique_ptr<xmlParserCtxt, ContextDeleter> context(xmlNewParserCtxt());
    if (!context) {
        *error = path + ": no memory to parse the definition";
        return false;
    }
    // Network access, external entities and libxml2's own error printing stay off; the
    // first error is kept and reported once, below, with its line.
    xmlError first;
    std::memset(&first, 0, sizeof first);
    xmlSetStructuredErrorFunc(&first, KeepFirstError);
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES;
    std::unique_ptr<xmlDoc, DocDeleter> doc(xmlCtxtReadFile(context.get(), path.c_str(), nullptr, options));
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    const xmlError* problem = first.code != XML_ERR_OK ? &first : xmlCtxtGetLastError(context.get());
    if (!doc || first.code != XML_ERR_OK) {
        std::string what = problem != nullptr && problem->message != nullptr ? problem->message : "not well-formed XML";
        while (!what.empty() && (what.back() == '\n' || what.back() == ' '))
            what.pop_back();
        const int line = problem != nullptr ? problem->line : 0;
        *error = line > 0 ? path + ":" + std::to_string(line) + ": " + what : path + ": " + what;
        xmlResetError(&first);
        return false;
    }
    xmlResetError(&first);

    DefinitionReader reader(path, DefinitionLists{&sprites_, &tiles_, &fonts_, &texts_, &binaries_, &order_,
                                                  &warnings_});
    if (!reader.ReadResources(xmlDocGetRootElement(doc.get()), error)) {
        Clear();
        return false;
    }
    return true;
}

void MvResourceDefinition::Clear()
{
    sprites_.clear();
    tiles_.clear();
    fonts_.clear();
    texts_.clear();
    binaries_.clear();
    order_.clear();
    warnings_.clear();
}

std::string MvResourceDefinition::Folder() const
{
    const size_t slash = path_.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path_.substr(0, slash);
}
