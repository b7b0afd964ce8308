#include "MvTileResource.h"

#include "MvAssert.h"
#include "MvLog.h"
#include "MvPaintTarget.h"
#include "MvResourceReader.h"
#include "MvResourceWriter.h"

namespace {

const std::string TileTypeName = "Tile";

// How orientation o reads block 0 of a tile of size N: pixel (x, y) of the tile in that
// orientation is block pixel (sx, sy) with
//   sx = startX * (N - 1) + x * columnX + y * rowX,
//   sy = startY * (N - 1) + x * columnY + y * rowY.
// Orientations 0 to 3 turn clockwise by o quarter turns (y pointing down); 4 to 7 are
// 0 to 3 mirrored top to bottom.
struct OrientationWalk {
    int startX, startY;
    int columnX, columnY; // block step for x + 1
    int rowX, rowY;       // block step for y + 1
};

const OrientationWalk Walks[8] = {
    {0, 0, 1, 0, 0, 1},   // 0: (x, y)
    {0, 1, 0, -1, 1, 0},  // 1: (y, N-1-x)
    {1, 1, -1, 0, 0, -1}, // 2: (N-1-x, N-1-y)
    {1, 0, 0, 1, -1, 0},  // 3: (N-1-y, x)
    {0, 1, 1, 0, 0, -1},  // 4: (x, N-1-y)
    {1, 1, 0, -1, -1, 0}, // 5: (N-1-y, N-1-x)
    {1, 0, -1, 0, 0, 1},  // 6: (N-1-x, y)
    {0, 0, 0, 1, 1, 0},   // 7: (y, x)
};

// Index in a size x size block of the first pixel the walk visits, and its steps in
// pixels for x + 1 and for y + 1.
void WalkInPixels(const OrientationWalk& walk, int size, int* start, int* column, int* row)
{
    *start = walk.startY * (size - 1) * size + walk.startX * (size - 1);
    *column = walk.columnY * size + walk.columnX;
    *row = walk.rowY * size + walk.rowX;
}

} // namespace

MvTileResource::MvTileResource(uint32_t size, MvResourceReader& reader) : blocks_{nullptr, nullptr, nullptr, nullptr}
{
    (void)size;
    blocks_[0] = new MvPixelBlock;
    if (!ReadIdentity(reader))
        return;
    MvLog("Creating tile resource '%s' id=%d\n", Name(), Id());
    const long blockStart = reader.Offset();
    if (!blocks_[0]->Read(reader))
        return;
    if (blocks_[0]->Width() != blocks_[0]->Height()) {
        reader.FailAt(blockStart + 4, "tile '%s' is %d x %d pixels, but a tile must be square", Name(),
                      blocks_[0]->Width(), blocks_[0]->Height());
        // Leave no block that the square walks could read past.
        delete blocks_[0];
        blocks_[0] = new MvPixelBlock;
    }
}

MvTileResource::MvTileResource(const char* name, const MvPaintTarget& source, int x, int y, int size)
    : blocks_{nullptr, nullptr, nullptr, nullptr}
{
    SetIdentity(name, 0);
    blocks_[0] = new MvPixelBlock;
    blocks_[0]->CreateFromImage(source, x, y, size, size);
}

MvTileResource::~MvTileResource()
{
    ClearScaleCache();
    DeleteBlocks(blocks_);
}

void MvTileResource::DeleteBlocks(MvPixelBlock** slots)
{
    for (int i = 0; i < 4; ++i) {
        delete slots[i];
        slots[i] = nullptr;
    }
}

int MvTileResource::Type() const { return MvTileResourceCode; }

const std::string& MvTileResource::TypeName() const { return TileTypeName; }

MvTileResource* MvTileResource::AsTileResource() { return this; }

void MvTileResource::ComputeBounds(const MvTransform& xform, MvIntRect* bounds) const
{
    blocks_[0]->ComputeBounds(xform, bounds);
}

const MvPixelBlock* MvTileResource::Turned(MvPixelBlock** slots, int turn)
{
    MvAssert(turn >= 0 && turn <= 3 && slots[0] != nullptr);
    if (slots[turn] != nullptr)
        return slots[turn];
    // Row i of the turned copy is what the orientation's walk visits from its start plus
    // i row steps, one column step apart.
    const MvPixelBlock& tile = *slots[0];
    const int size = tile.Width();
    MvPixelBlock* turned = new MvPixelBlock;
    turned->Create(size, size, tile.HasAlpha());
    int start, column, row;
    WalkInPixels(Walks[turn], size, &start, &column, &row);
    const MvColor* const source = tile.Pixels();
    MvColor* out = turned->Pixels();
    for (int i = 0; i < size; ++i) {
        int at = start + i * row;
        for (int j = 0; j < size; ++j, at += column)
            *out++ = source[at];
    }
    slots[turn] = turned;
    return turned;
}

void MvTileResource::Draw(const MvPaintTarget& paintInfo, const MvTransform& xform, int orientation,
                          const MvColorXform& cform, const MvIntRect& clip, int quality, int openGLZ) const
{
    MvAssert(orientation >= 0 && orientation <= 7);
    if (paintInfo.IsOpenGL()) {
        // One texture of the tile as read serves every orientation and scale.
        blocks_[0]->DrawOpenGL(paintInfo, xform, cform, clip, orientation, openGLZ);
        return;
    }
    const int turn = orientation & 3;
    const bool mirrored = orientation > 3;
    if (xform.HasScale()) {
        ScaleCacheEntry* cached = FindScaleCache(xform.xScale, xform.yScale);
        if (cached != nullptr) {
            MvTransform unscaled = xform;
            unscaled.xScale = MvFixed::FromRaw(MvFixedOne);
            unscaled.yScale = MvFixed::FromRaw(MvFixedOne);
            Turned(cached->blocks, turn)->Draw(paintInfo, unscaled, mirrored, cform, clip, quality, openGLZ);
            return;
        }
    }
    Turned(blocks_, turn)->Draw(paintInfo, xform, mirrored, cform, clip, quality, openGLZ);
}

bool MvTileResource::HitTest(int orientation, int x, int y) const
{
    MvAssert(orientation >= 0 && orientation <= 7);
    const int size = Size();
    if (x < 0 || x >= size || y < 0 || y >= size)
        return false;
    const MvPixelBlock& tile = *blocks_[0];
    if (!tile.HasAlpha())
        return true;
    int start, column, row;
    WalkInPixels(Walks[orientation], size, &start, &column, &row);
    return tile.Pixels()[start + x * column + y * row].alpha != 0;
}

MvTileResource::ScaleCacheEntry* MvTileResource::FindScaleCache(MvFixed xScale, MvFixed yScale) const
{
    for (int i = 0; i < scaleCache_.Count(); ++i) {
        ScaleCacheEntry& entry = scaleCache_[i];
        if (entry.xScale == xScale && entry.yScale == yScale)
            return &entry;
    }
    return nullptr;
}

void MvTileResource::AddScaleCache(MvFixed xScale, MvFixed yScale)
{
    // Tiles are only scaled uniformly, which keeps the scaled copy square and turnable.
    MvAssert(xScale == yScale);
    MvAssert(xScale > 0);
    if (HasScaleCache(xScale, yScale)) {
        MvLog("Scale %f %f already cached in tile resource.\n", xScale.ToDouble(), yScale.ToDouble());
        return;
    }
    const MvTransform xform = MvTransform::Scaled(xScale, yScale);
    MvIntRect bounds;
    blocks_[0]->ComputeBounds(xform, &bounds);
    MvAssert(bounds.left == 0 && bounds.top == 0);
    const int width = bounds.Width();
    const int height = bounds.Height();
    MvPixelBlock* scaled = new MvPixelBlock;
    scaled->Create(width, height, blocks_[0]->HasAlpha());
    if (width > 0 && height > 0) {
        MvPaintTarget memory(scaled->Pixels(), width, height);
        blocks_[0]->Draw(memory, xform, false, MvColorXform(), MvMakeRect(0, 0, width - 1, height - 1),
                         MvPixelBlock::QualityBest, 0);
    }
    ScaleCacheEntry entry;
    entry.xScale = xScale;
    entry.yScale = yScale;
    entry.blocks[0] = scaled;
    entry.blocks[1] = entry.blocks[2] = entry.blocks[3] = nullptr;
    scaleCache_.Append(entry);
}

bool MvTileResource::HasScaleCache(MvFixed xScale, MvFixed yScale) const
{
    return FindScaleCache(xScale, yScale) != nullptr;
}

void MvTileResource::ClearScaleCache()
{
    for (int i = 0; i < scaleCache_.Count(); ++i)
        DeleteBlocks(scaleCache_[i].blocks);
    scaleCache_.Clear();
}

void MvTileResource::Save(MvResourceWriter& writer) const
{
    writer.BeginRecord(MvTileResourceCode);
    SaveIdentity(writer);
    if (!blocks_[0]->Write(writer.Stream()))
        writer.NoteFailure();
    writer.AddTallies(blocks_[0]->PixelCount(), 0, 0);
    writer.EndRecord();
}
