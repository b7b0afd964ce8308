// Collision bit maps: their layout as images make them, their comparison at every word
// alignment, and the maps that actions hand out for their frames and scaled copies.

#include "ResourceTestSupport.h"

#include "MvAction.h"
#include "MvCollisionMask.h"
#include "MvFailedCheck.h"
#include "MvRle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using restest::CreateFrame;
using restest::MakeAction;

const MvFixed kOne = MvFixed::FromInt(1);
const MvFixed kTwo = MvFixed::FromInt(2);

// Cells of width x height, clear but for the dots (column, row).
std::vector<std::vector<bool>> Cells(int width, int height, const std::vector<std::pair<int, int>>& dots)
{
    std::vector<std::vector<bool>> cells(height, std::vector<bool>(width));
    for (const auto& d : dots)
        cells[d.second][d.first] = true;
    return cells;
}

// A map of the picture's size with a bit for every set cell.
std::unique_ptr<MvCollisionMask> MaskOf(const std::vector<std::vector<bool>>& cells)
{
    const int height = static_cast<int>(cells.size());
    const int width = height == 0 ? 0 : static_cast<int>(cells[0].size());
    std::unique_ptr<MvCollisionMask> mask(new MvCollisionMask(width, height, kOne, kOne));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (cells[y][x])
                mask->SetSpan(y, x, x);
    return mask;
}

// The words of every row, one after another.
std::vector<uint32_t> Words(const MvCollisionMask& mask)
{
    std::vector<uint32_t> words;
    for (int i = 0; i < mask.Rows(); ++i)
        words.insert(words.end(), mask.Row(i), mask.Row(i) + mask.WordsPerRow());
    return words;
}

TEST(MvCollisionMask, ImagesLayTheirRunsOutMostSignificantBitFirst)
{
    struct Case {
        const char* what;
        std::vector<std::string> picture;
        int wordsPerRow;
        std::vector<uint32_t> words;
    };
    const std::string wide40 = "R..............................RR......R"; // columns 0, 31, 32, 39
    const std::string wide64 = std::string(64, 'R');
    const Case cases[] = {
        {"one pixel", {"R"}, 1, {0x80000000u}},
        {"a run inside one word", {"R.RRR"}, 1, {0xB8000000u}},
        {"columns around a word boundary; bits past the width stay clear", {wide40}, 2, {0x80000001u, 0x81000000u}},
        {"a run filling two words exactly", {wide64}, 2, {0xFFFFFFFFu, 0xFFFFFFFFu}},
        {"rows one after another", {"R..", "..R", ".R."}, 1, {0x80000000u, 0x20000000u, 0x40000000u}},
        {"a run crossing into a third word", {"R" + std::string(29, '.') + std::string(41, 'R')}, 3,
         {0x80000003u, 0xFFFFFFFFu, 0xFE000000u}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvRle image;
        // The hot spot and trimming do not matter: the map follows the stored image.
        CreateFrame(&image, c.picture, 0, 0);
        ASSERT_EQ(image.OffsetX(), 0) << "every picture starts with an opaque column";
        MvCollisionMask* mask = image.GetCollisionMask(kOne, kOne);
        ASSERT_NE(mask, nullptr);
        EXPECT_EQ(mask->WordsPerRow(), c.wordsPerRow);
        EXPECT_EQ(mask->Rows(), image.Height());
        EXPECT_EQ(Words(*mask), c.words);
    }
}

TEST(MvCollisionMask, AnImageMakesItsMapOnceAndKeepsIt)
{
    MvRle image;
    CreateFrame(&image, {"RR", ".R"}, 0, 0);
    MvCollisionMask* first = image.GetCollisionMask(kTwo, kOne);
    EXPECT_EQ(image.GetCollisionMask(kTwo, kOne), first);
    EXPECT_EQ(first->XScale(), kTwo);
    EXPECT_EQ(first->YScale(), kOne);

    MvRle empty;
    MvCollisionMask* none = empty.GetCollisionMask(kOne, kOne);
    EXPECT_EQ(none->Rows(), 0);
    EXPECT_EQ(none->WordsPerRow(), 0);
    EXPECT_FALSE(none->IsSet(0, 0));
}

// Maps of random pictures compared at random placements give exactly the answer of a
// pixel-by-pixel search of the shared rectangle: every bit offset inside a word, B above
// and below A, B reaching past A's right edge, and sparse pictures that mostly miss.
TEST(MvCollisionMask, AgreesWithAPixelByPixelSearchOfTheOverlap)
{
    std::mt19937 random(2026);
    int hits = 0;
    int misses = 0;
    for (int round = 0; round < 3000; ++round) {
        const int widthA = 1 + static_cast<int>(random() % 100);
        const int heightA = 1 + static_cast<int>(random() % 5);
        const int widthB = 1 + static_cast<int>(random() % 100);
        const int heightB = 1 + static_cast<int>(random() % 5);
        const unsigned density = 1 + random() % 150; // in thousandths
        auto picture = [&](int w, int h) {
            std::vector<std::vector<bool>> cells(h, std::vector<bool>(w));
            for (auto& row : cells)
                for (size_t x = 0; x < row.size(); ++x)
                    row[x] = random() % 1000 < density;
            return cells;
        };
        const auto cellsA = picture(widthA, heightA);
        const auto cellsB = picture(widthB, heightB);
        const int dx = static_cast<int>(random() % widthA);
        const int dy = static_cast<int>(random() % (heightA + heightB - 1)) - (heightB - 1);

        MvIntRect overlap = MvMakeRect(0, 0, widthA - 1, heightA - 1);
        overlap.ClipTo(MvMakeRect(dx, dy, dx + widthB - 1, dy + heightB - 1));
        bool expected = false;
        for (int y = overlap.top; y <= overlap.bottom; ++y)
            for (int x = overlap.left; x <= overlap.right; ++x)
                expected = expected || (cellsA[y][x] && cellsB[y - dy][x - dx]);

        const auto a = MaskOf(cellsA);
        const auto b = MaskOf(cellsB);
        ASSERT_EQ(a->Collide(dx, dy, overlap, b.get()), expected)
            << "A " << widthA << "x" << heightA << ", B " << widthB << "x" << heightB << " at " << dx << "," << dy;
        ++(expected ? hits : misses);
    }
    EXPECT_GT(hits, 300) << "the rounds should find common pixels often";
    EXPECT_GT(misses, 300) << "and miss often";
}

// Named placements at the word boundaries: B's left edge lies dx columns into A.
TEST(MvCollisionMask, ComparesEachWordOfBOnlyWithTheColumnsItCovers)
{
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> dotsA; // A is 100 x 3
        std::vector<std::pair<int, int>> dotsB; // B is 40 x 3
        int dx;
        int dy;
        bool collide;
    };
    const Case cases[] = {
        {"offset 0, common pixel in the second word", {{35, 1}}, {{35, 1}}, 0, 0, true},
        {"offset 31, B's second word spills into A's third", {{66, 1}}, {{35, 1}}, 31, 0, true},
        {"offset 31, B's first column on A's last bit of word 0", {{31, 0}}, {{0, 0}}, 31, 0, true},
        {"offset 32, words aligned", {{67, 2}}, {{35, 2}}, 32, 0, true},
        {"offset 33, B's last column of word 0 on A's first of word 2", {{64, 0}}, {{31, 0}}, 33, 0, true},
        {"offset 33, common pixel in B's second word", {{68, 1}}, {{35, 1}}, 33, 0, true},
        {"offset 32, B only at its column 0, A at 64 but not 32", {{64, 0}}, {{0, 0}}, 32, 0, false},
        {"offset 33, one column to the left of B's pixel", {{67, 1}}, {{35, 1}}, 33, 0, false},
        {"offset 33, one column to the right of B's pixel", {{69, 1}}, {{35, 1}}, 33, 0, false},
        {"offset 31, B's pixel one row lower than A's", {{66, 1}}, {{35, 2}}, 31, 0, false},
        {"B one row above A: B's row 1 meets A's row 0", {{40, 0}}, {{8, 1}}, 32, -1, true},
        {"B one row above A: B's row 0 lies outside the overlap", {{40, 0}, {41, 1}}, {{8, 0}, {9, 0}}, 32, -1,
         false},
        {"B two rows below A: B's row 0 meets A's row 2", {{5, 2}}, {{0, 0}}, 5, 2, true},
        {"B two rows below A: B's row 1 lies outside the overlap", {{5, 0}, {5, 1}}, {{0, 1}}, 5, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto a = MaskOf(Cells(100, 3, c.dotsA));
        const auto b = MaskOf(Cells(40, 3, c.dotsB));
        MvIntRect overlap = MvMakeRect(0, 0, 99, 2);
        overlap.ClipTo(MvMakeRect(c.dx, c.dy, c.dx + 39, c.dy + 2));
        EXPECT_EQ(a->Collide(c.dx, c.dy, overlap, b.get()), c.collide);
    }
}

// A rectangle wider than A's remaining columns must not make the comparison run on into
// the next row's words: A's row 0 is clear from column 32 on, its row 1 set at column 0.
TEST(MvCollisionMask, NeverReadsPastTheEndOfARow)
{
    std::vector<std::vector<bool>> cellsA(2, std::vector<bool>(64));
    cellsA[0][0] = true;
    cellsA[1][0] = true;
    std::vector<std::vector<bool>> cellsB(1, std::vector<bool>(64));
    cellsB[0][32] = true; // lands on A's column 64, past its width
    const auto a = MaskOf(cellsA);
    const auto b = MaskOf(cellsB);
    EXPECT_FALSE(a->Collide(32, 0, MvMakeRect(32, 0, 95, 0), b.get()));
    EXPECT_FALSE(a->Collide(64, 0, MvMakeRect(64, 0, 127, 0), b.get())) << "B lies wholly right of A";
    EXPECT_FALSE(a->Collide(0, 0, MvMakeRect(0, 0, -1, 0), b.get())) << "an empty overlap";
}

TEST(MvCollisionMask, ActionsHandOutTheMapOfTheFrameAtItsScale)
{
    std::unique_ptr<MvAction> action(MakeAction({"Walk", 1, {{{"R."}, 0, 0, 0, 0}, {{"RR", ".R"}, 0, 0, 0, 0}}}));
    MvCollisionMask* frame1 = action->GetCollisionMask(kOne, kOne, 1);
    EXPECT_EQ(frame1, action->FrameAt(1)->GetCollisionMask(kOne, kOne));
    EXPECT_EQ(Words(*frame1), (std::vector<uint32_t>{0xC0000000u, 0x40000000u}));
    EXPECT_NE(action->GetCollisionMask(kOne, kOne, 0), frame1);

    // Cached copies at 2.0 x 2.0 have maps of their own, recorded at that scale.
    MvRle** copies = new MvRle*[2];
    copies[0] = new MvRle;
    copies[1] = new MvRle;
    CreateFrame(copies[0], {"RR", "RR"}, 0, 0);
    CreateFrame(copies[1], {"RRRR", "RRRR", "..RR", "..RR"}, 0, 0);
    action->AddScaleCacheEntry(kTwo, kTwo, copies);
    MvCollisionMask* scaled = action->GetCollisionMask(kTwo, kTwo, 1);
    EXPECT_EQ(scaled, copies[1]->GetCollisionMask(kTwo, kTwo));
    EXPECT_EQ(scaled->XScale(), kTwo);
    EXPECT_EQ(Words(*scaled), (std::vector<uint32_t>{0xF0000000u, 0xF0000000u, 0x30000000u, 0x30000000u}));
    EXPECT_EQ(action->GetCollisionMask(kOne, kOne, 1), frame1) << "the frame's own map is untouched";
}

TEST(MvCollisionMaskDeathTest, BrokenPreconditionsAreCaught)
{
    MvCollisionMask a(40, 2, kOne, kOne);
    MvCollisionMask b(10, 2, kOne, kOne);
    MvRle image;
    CreateFrame(&image, {"R"}, 0, 0);
    image.GetCollisionMask(kOne, kOne);
    std::unique_ptr<MvAction> action(MakeAction({"Walk", 1, {{{"R"}, 0, 0, 0, 0}}}));

    const MvDeathCase cases[] = {
        {"a negative column offset", [&] { a.Collide(-1, 0, MvMakeRect(0, 0, 5, 1), &b); }, "dx >= 0"},
        {"no other map", [&] { a.Collide(0, 0, MvMakeRect(0, 0, 5, 1), nullptr); }, "other != nullptr"},
        {"A's row 2 does not exist", [&] { a.Collide(0, 1, MvMakeRect(0, 0, 5, 1), &b); }, "i >= 0 && i < rows_"},
        {"B's row 2 does not exist", [&] { a.Collide(0, -1, MvMakeRect(0, 0, 5, 1), &b); }, "i >= 0 && i < rows_"},
        {"Row past the end", [&] { a.Row(2); }, "i >= 0 && i < rows_"},
        {"Row -1", [&] { a.Row(-1); }, "i >= 0 && i < rows_"},
        {"a span past the row", [&] { a.SetSpan(0, 10, 64); },
         "first >= 0 && first <= last && last < 32 * wordsPerRow_"},
        {"a span that ends before it starts", [&] { a.SetSpan(0, 5, 4); },
         "first >= 0 && first <= last && last < 32 * wordsPerRow_"},
        {"a negative width", [] { MvCollisionMask(-1, 1, kOne, kOne); }, "width >= 0 && height >= 0"},
        {"a map belongs to one scale", [&] { image.GetCollisionMask(kTwo, kTwo); },
         "collisionMask_->XScale() == xScale && collisionMask_->YScale() == yScale"},
        {"a frame past the end", [&] { action->GetCollisionMask(kOne, kOne, 1); },
         "frame >= 0 && frame < frames_.Count()"},
        {"frame -1", [&] { action->GetCollisionMask(kOne, kOne, -1); }, "frame >= 0 && frame < frames_.Count()"},
        {"2.0 is not cached", [&] { action->GetCollisionMask(kTwo, kTwo, 0); }, "entry != nullptr"},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
