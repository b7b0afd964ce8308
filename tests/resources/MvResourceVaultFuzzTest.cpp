#include "ResourceTestSupport.h"

#include "MvAction.h"
#include "MvLogSilencer.h"
#include "MvResourceVault.h"
#include "MvRle.h"
#include "MvSpriteResource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

// Damaged resource files: every truncation and thousands of random byte changes of a
// valid multi-resource file must load without a crash, an assertion, a leak or a sanitizer
// report, and must be refused unless the file is still well formed.

namespace {

using namespace restest;

struct ValidFile {
    std::vector<uint8_t> bytes;
    std::vector<size_t> recordStarts; // offset of every record's type code, the end record's last
    int resourceCount;
};

const ValidFile& TheValidFile()
{
    static const ValidFile file = [] {
        std::mt19937 random(7);
        std::vector<std::unique_ptr<MvSpriteResource>> sprites;
        const char* names[] = {"hero", "enemy", "coin", "block", "cloud", "flag"};
        for (int i = 0; i < 6; ++i) {
            std::vector<ActionDraft> actions;
            const int actionCount = 1 + i % 3;
            for (int a = 0; a < actionCount; ++a) {
                ActionDraft draft{a == 0 ? "Stand" : a == 1 ? "Walk" : "Empty", a + 1, {}};
                const int frames = a == 2 ? 0 : 1 + (i + a) % 3;
                for (int f = 0; f < frames; ++f) {
                    const int w = 3 + static_cast<int>(random() % 6), h = 2 + static_cast<int>(random() % 5);
                    draft.frames.push_back({RandomPicture(random, w, h), w / 2, h - 1, f, -f});
                }
                actions.push_back(draft);
            }
            sprites.emplace_back(MakeSprite(names[i], 10 + i, actions));
        }
        // One fully transparent frame.
        sprites.emplace_back(MakeSprite("ghost", 20, {{"NONE", 2, {{{"...", "..."}, 1, 1, 0, 0}}}}));
        std::vector<const MvResource*> resources;
        for (const auto& s : sprites)
            resources.push_back(s.get());

        ValidFile result;
        result.bytes = SaveFile(resources);
        result.resourceCount = static_cast<int>(resources.size());
        size_t at = 4 + 6 + 12;
        for (;;) {
            result.recordStarts.push_back(at);
            const uint32_t type = result.bytes[at] | result.bytes[at + 1] << 8;
            const uint32_t size = result.bytes[at + 4] | result.bytes[at + 5] << 8 | result.bytes[at + 6] << 16 |
                                  uint32_t(result.bytes[at + 7]) << 24;
            if (type == 1)
                break;
            at += 8 + size;
        }
        return result;
    }();
    return file;
}

int Load(MvResourceVault* vault, const std::vector<uint8_t>& bytes, size_t length, MvLogCapture* log)
{
    log->Clear();
    const bool ok = vault->LoadDatFileFromMemory(bytes.data(), static_cast<int>(length));
    if (ok)
        return 1;
    // Refused: exactly one message, and nothing kept.
    const std::string error = "Error in resource file 'memory block' at byte ";
    const size_t first = log->Text().find(error);
    EXPECT_NE(std::string::npos, first);
    EXPECT_EQ(std::string::npos, log->Text().find(error, first + 1));
    EXPECT_EQ(0, vault->ResourceCount());
    EXPECT_FALSE(vault->HasLoadedFile());
    return 0;
}

// Equal names, ids, actions and frames.
testing::AssertionResult SameResources(const MvResourceVault& a, const MvResourceVault& b)
{
    if (a.ResourceCount() != b.ResourceCount())
        return testing::AssertionFailure() << "resource counts differ";
    for (int i = 0; i < a.ResourceCount(); ++i) {
        MvSpriteResource* sa = a.ResourceAt(i)->AsSpriteResource();
        MvSpriteResource* sb = b.ResourceAt(i)->AsSpriteResource();
        if (sa == nullptr || sb == nullptr || std::string(sa->Name()) != sb->Name() || sa->Id() != sb->Id() ||
            sa->ActionCount() != sb->ActionCount())
            return testing::AssertionFailure() << "resource " << i << " differs";
        for (int k = 0; k < sa->ActionCount(); ++k) {
            const MvAction* aa = sa->ActionAt(k);
            const MvAction* ab = sb->ActionAt(k);
            if (std::string(aa->Name()) != ab->Name() || aa->Id() != ab->Id() || aa->FrameCount() != ab->FrameCount())
                return testing::AssertionFailure() << "resource " << i << " action " << k << " differs";
            for (int f = 0; f < aa->FrameCount(); ++f) {
                testing::AssertionResult same = SameImage(*aa->FrameAt(f), *ab->FrameAt(f));
                if (!same)
                    return same << " (resource " << i << " action " << k << " frame " << f << ")";
            }
        }
    }
    return testing::AssertionSuccess();
}

TEST(MvResourceVaultFuzz, EveryTruncationIsRefusedCleanly)
{
    const ValidFile& file = TheValidFile();
    ASSERT_GT(file.bytes.size(), 1000u);
    MvLogCapture log;
    MvLogSilencer quiet;
    for (size_t length = 0; length < file.bytes.size(); ++length) {
        SCOPED_TRACE(length);
        MvResourceVault vault;
        ASSERT_EQ(0, Load(&vault, file.bytes, length, &log));
        // The refused load left the vault as new: the whole file loads into it.
        ASSERT_EQ(1, Load(&vault, file.bytes, file.bytes.size(), &log));
        ASSERT_EQ(file.resourceCount, vault.ResourceCount());
    }
}

// A changed file that still loads must be well formed: either a type code became one the
// factory does not list (the load ends there, keeping what came before), or every
// resource was read, and then saving and reloading what was read gives the same.
TEST(MvResourceVaultFuzz, RandomByteChangesLoadOnlyWhenStillWellFormed)
{
    const ValidFile& file = TheValidFile();
    std::mt19937 random(20240611);
    MvLogCapture log;
    int accepted = 0, refused = 0;
    for (int round = 0; round < 3000; ++round) {
        SCOPED_TRACE(round);
        std::vector<uint8_t> bytes = file.bytes;
        std::vector<size_t> changed;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) {
            const size_t at = random() % bytes.size();
            const uint8_t value = static_cast<uint8_t>(random());
            if (bytes[at] != value) {
                bytes[at] = value;
                changed.push_back(at);
            }
        }
        MvResourceVault vault;
        int loaded;
        {
            MvLogSilencer quiet;
            loaded = Load(&vault, bytes, bytes.size(), &log);
        }
        if (!loaded) {
            ++refused;
            continue;
        }
        ++accepted;
        if (vault.ResourceCount() < file.resourceCount) {
            const size_t typeAt = file.recordStarts[vault.ResourceCount()];
            bool typeChanged = false;
            for (size_t at : changed)
                typeChanged |= at >= typeAt && at < typeAt + 4;
            EXPECT_TRUE(typeChanged) << "a load that ended early without a changed type code";
            const uint32_t type = bytes[typeAt] | bytes[typeAt + 1] << 8 | bytes[typeAt + 2] << 16 |
                                  uint32_t(bytes[typeAt + 3]) << 24;
            EXPECT_TRUE(type != 1 && type != 2) << type;
            EXPECT_TRUE(log.Contains("Warning: could not find resource id=" + std::to_string(type)));
            continue;
        }
        ASSERT_EQ(file.resourceCount, vault.ResourceCount());
        std::vector<const MvResource*> resources;
        for (int i = 0; i < vault.ResourceCount(); ++i)
            resources.push_back(vault.ResourceAt(i));
        MvResourceVault again;
        {
            MvLogSilencer quiet;
            const std::vector<uint8_t> saved = SaveFile(resources);
            ASSERT_EQ(1, Load(&again, saved, saved.size(), &log));
        }
        EXPECT_TRUE(SameResources(vault, again));
    }
    // Both outcomes occur, so neither half of the test is empty.
    EXPECT_GT(accepted, 0);
    EXPECT_GT(refused, 0);
}

} // namespace
