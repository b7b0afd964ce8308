#ifndef SPRITES_FILE_EDIT_H
#define SPRITES_FILE_EDIT_H

// One-field edits of a built resource file, for tests of what a program does with a file
// that loads but is not what it expects. Fields are found by walking the file's records
// (type, size, payload) and, inside a sprite record, its name, id and action names, so
// the edits follow the file wherever its contents move.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class SpritesFileEdit {
public:
    // The bytes of the file at path; empty when it cannot be read.
    explicit SpritesFileEdit(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

    // Gives the sprite with id a new id. False when there is no such sprite.
    bool SetSpriteId(int32_t id, int32_t newId)
    {
        const size_t at = SpriteIdOffset(id);
        return at != 0 && Put(at, static_cast<uint32_t>(newId));
    }

    // Changes the type code of the record of the sprite with id.
    bool SetSpriteRecordType(int32_t id, uint32_t type)
    {
        const size_t at = SpriteIdOffset(id);
        for (const Record& record : Records())
            if (record.payload < at && at < record.payload + record.size)
                return Put(record.payload - 8, type);
        return false;
    }

    // Replaces the last letter of the name of the action called name of sprite id.
    bool RenameAction(int32_t id, const std::string& name)
    {
        const size_t at = ActionNameOffset(id, name);
        if (at == 0)
            return false;
        bytes_[at + name.size() - 1] = bytes_[at + name.size() - 1] == 'x' ? 'y' : 'x';
        return true;
    }

    // Gives the action called name of sprite id a new id.
    bool SetActionId(int32_t id, const std::string& name, int32_t newId)
    {
        const size_t at = ActionNameOffset(id, name);
        return at != 0 && Put(at + name.size() + 1, static_cast<uint32_t>(newId));
    }

    // Sets the delta of frame 0 of the action called name of sprite id.
    bool SetFirstFrameDelta(int32_t id, const std::string& name, int32_t dx, int32_t dy)
    {
        const size_t at = ActionNameOffset(id, name);
        if (at == 0)
            return false;
        // After the name: the action id, the frame count, then the frame: flags (16 bits),
        // offset, size and delta (32 bits each).
        const size_t delta = at + name.size() + 1 + 4 + 4 + 2 + 4 * 4;
        return Put(delta, static_cast<uint32_t>(dx)) && Put(delta + 4, static_cast<uint32_t>(dy));
    }

    // Writes the bytes to path; false when that fails.
    bool Write(const std::string& path) const
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
        return static_cast<bool>(out);
    }

private:
    // The record codes of the file format (MvResourceTypeCode); the end-to-end tests read
    // files without linking the engine.
    enum : uint32_t { EndCode = 1, SpriteCode = 2 };

    struct Record {
        uint32_t type;
        size_t payload; // offset of the payload
        size_t size;
    };

    uint32_t U32(size_t at) const
    {
        uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | bytes_[at + static_cast<size_t>(i)];
        return value;
    }

    bool Put(size_t at, uint32_t value)
    {
        if (at + 4 > bytes_.size())
            return false;
        for (int i = 0; i < 4; ++i)
            bytes_[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
        return true;
    }

    // The records before the end record: after "MOVO", the version name and three tallies.
    std::vector<Record> Records() const
    {
        std::vector<Record> records;
        if (bytes_.size() < 4 || std::memcmp(bytes_.data(), "MOVO", 4) != 0)
            return records;
        size_t at = 4;
        while (at < bytes_.size() && bytes_[at] != 0)
            ++at;
        at += 1 + 3 * 4;
        while (at + 8 <= bytes_.size() && U32(at) != EndCode) {
            const Record record{U32(at), at + 8, U32(at + 4)};
            if (record.payload + record.size > bytes_.size())
                break;
            records.push_back(record);
            at = record.payload + record.size;
        }
        return records;
    }

    // Where the id of the sprite with id lies (after its name); 0 when there is none.
    size_t SpriteIdOffset(int32_t id) const
    {
        for (const Record& record : Records()) {
            if (record.type != SpriteCode)
                continue;
            const size_t nameEnd = static_cast<size_t>(
                std::find(bytes_.begin() + static_cast<long>(record.payload), bytes_.end(), 0) - bytes_.begin());
            if (nameEnd + 5 <= record.payload + record.size && U32(nameEnd + 1) == static_cast<uint32_t>(id))
                return nameEnd + 1;
        }
        return 0;
    }

    // Where the name of the action called name of sprite id starts; 0 when there is none.
    size_t ActionNameOffset(int32_t id, const std::string& name) const
    {
        const size_t idAt = SpriteIdOffset(id);
        for (const Record& record : Records()) {
            if (idAt == 0 || idAt < record.payload || idAt >= record.payload + record.size)
                continue;
            // The action count follows the id; then each action: its zero-terminated name
            // after the frames of the one before.
            const std::string needle = name + '\0';
            const auto first = bytes_.begin() + static_cast<long>(idAt + 8);
            const auto last = bytes_.begin() + static_cast<long>(record.payload + record.size);
            const auto found = std::search(first, last, needle.begin(), needle.end());
            return found == last ? 0 : static_cast<size_t>(found - bytes_.begin());
        }
        return 0;
    }

    std::vector<uint8_t> bytes_;
};

#endif
