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

// Walks the parsed document and reports the first problem with the file name and line.
class DefinitionReader {
public:
    DefinitionReader(const std::string& path, std::vector<MvSpriteDefinition>* sprites,
                     std::vector<std::string>* warnings)
        : path_(path), sprites_(sprites), warnings_(warnings)
    {
    }

    bool ReadResources(xmlNode* root, std::string* error);

private:
    bool ReadSprite(xmlNode* node, MvSpriteDefinition* sprite);
    bool ReadAction(xmlNode* node, MvActionDefinition* action);
    bool ReadFrame(xmlNode* node, MvFrameDefinition* frame);

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
    bool ParseInt(xmlNode* node, const char* name, const std::string& text, int32_t minimum, int32_t* value);

    bool Fail(xmlNode* node, const std::string& what);
    void Warn(int line, const std::string& what);
    std::string At(int line) const;

    std::string path_;
    std::vector<MvSpriteDefinition>* sprites_;
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
                                int32_t* value)
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
    std::map<int32_t, int> idLines;
    std::map<std::string, int> nameLines;
    for (size_t i = 0; ok && i < children.size(); ++i) {
        MvSpriteDefinition sprite;
        ok = Expect(children[i], "sprite", "resources") && ReadSprite(children[i], &sprite);
        if (!ok)
            break;
        auto id = idLines.emplace(sprite.id, sprite.line);
        if (!id.second)
            Warn(sprite.line, "sprite id " + std::to_string(sprite.id) + " is also used on line " +
                                  std::to_string(id.first->second) + "; lookups by id find only the first");
        auto name = nameLines.emplace(sprite.name, sprite.line);
        if (!name.second)
            Warn(sprite.line, "sprite name '" + sprite.name + "' is also used on line " +
                                  std::to_string(name.first->second) + "; lookups by name find only the first");
        if (sprite.actions.empty())
            Warn(sprite.line, "sprite '" + sprite.name + "' has no actions");
        sprites_->push_back(std::move(sprite));
    }
    if (!ok)
        *error = error_;
    return ok;
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
    sprites_.clear();
    warnings_.clear();
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

    DefinitionReader reader(path, &sprites_, &warnings_);
    if (!reader.ReadResources(xmlDocGetRootElement(doc.get()), error)) {
        sprites_.clear();
        warnings_.clear();
        return false;
    }
    return true;
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
