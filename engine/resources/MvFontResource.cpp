#include "MvFontResource.h"

#include "MvAction.h"
#include "MvAssert.h"
#include "MvLog.h"
#include "MvPaintTarget.h"
#include "MvResourceReader.h"
#include "MvResourceWriter.h"
#include "MvRle.h"
#include "MvSurfacePen.h"
#include "MvTextNode.h"

#include <climits>

namespace {

const std::string FontTypeName = "Font";

// A glyph cell larger than this on either side could not be written as an image: its
// offsets and size would leave the range the stored form allows.
const int MaxCellSide = MvRle::MaxWrittenOffset;

// Advances from a file may be any 32-bit values, so sums are made wide and then held to
// the range of the int they are returned in.
int ClampToInt(int64_t value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

MvFontResource::MvFontResource(uint32_t size, MvResourceReader& reader)
    : MvSpriteResource(""), startIndex_(0), spaceCode_(0), spaceWidth_(1), fontType_(FixedCells), complete_(true)
{
    (void)size;
    if (!ReadSprite(reader))
        return;
    int32_t startIndex = 0, spaceCode = 0;
    uint16_t fontType = 0;
    reader.ReadInt32(&startIndex);
    const long typeOffset = reader.Offset();
    reader.ReadUint16(&fontType);
    reader.ReadInt32(&spaceCode);
    if (reader.Failed())
        return;
    if (fontType != FixedCells && fontType != MarkedCells) {
        reader.FailAt(typeOffset, "font '%s' has font type %u, but a font type is 0 or 1", Name(),
                      static_cast<unsigned>(fontType));
        return;
    }
    startIndex_ = startIndex;
    spaceCode_ = spaceCode;
    fontType_ = fontType;
    MvLog("startindex=%d type=%d\n", startIndex_, fontType_);
    ComputeSpaceWidth();
}

MvFontResource::MvFontResource(const char* name, const MvPaintTarget& image, int startIndex, int spaceCode,
                               uint16_t fontType, int length)
    : MvSpriteResource(name), startIndex_(startIndex), spaceCode_(spaceCode), spaceWidth_(1), fontType_(fontType),
      complete_(true)
{
    MvAssert(fontType == FixedCells || fontType == MarkedCells);
    MvAssert(fontType != FixedCells || length >= 1);
    MvAction* glyphs = new MvAction("NONE");
    const MvSurfacePen pen(image);
    const int width = image.Width();
    const int height = image.Height();
    // Glyphs span the rows below the marker row, or all rows of a fixed font; an image
    // without such rows cannot be cut (and an image needs a row to be scanned).
    const int glyphHeight = fontType == MarkedCells ? height - 1 : height;
    if (glyphHeight <= 0) {
        MvLogError("Font '%s': the %d x %d image has no rows for glyphs\n", Name(), width, height);
        complete_ = false;
    } else if (fontType == MarkedCells) {
        // Row 0 alternates runs of markers (visible pixels) and cells (transparent runs);
        // a cell spans every row below the markers.
        int x = 0;
        while (x < width) {
            x += pen.CountVisibleInRow(0, x, width - 1);
            if (x >= width)
                break;
            const int cellWidth = pen.CountTransparentInRow(0, x, width - 1);
            AddGlyph(glyphs, image, pen, x, 1, cellWidth, glyphHeight);
            x += cellWidth;
        }
        if (glyphs->FrameCount() == 0) {
            MvLogError("Font '%s': the top row of the %d x %d image marks no glyph cells\n", Name(), width, height);
            complete_ = false;
        }
    } else {
        // A debugger may resume past the length check: no division by zero then.
        const int cellWidth = length >= 1 ? width / length : 0;
        for (int i = 0; i < length; ++i)
            AddGlyph(glyphs, image, pen, i * cellWidth, 0, cellWidth, glyphHeight);
    }
    AppendAction(glyphs);
    ComputeSpaceWidth();
}

void MvFontResource::AddGlyph(MvAction* glyphs, const MvPaintTarget& image, const MvSurfacePen& pen, int x, int y,
                              int width, int height)
{
    const int index = glyphs->FrameCount();
    glyphs->SetFrameCount(index + 1);
    // Test what MvRle::Create asserts on, so that a picture which cannot become an image
    // costs a message and the glyph rather than the program.
    if (width > MaxCellSide || height > MaxCellSide) {
        MvLogError("Font '%s': glyph %d (the cell at column %d) is %d x %d pixels, more than %d on a side\n", Name(),
                   index, x, width, height, MaxCellSide);
        complete_ = false;
        return;
    }
    const int right = x + width - 1;
    for (int row = y; row < y + height; ++row) {
        int runs = 0;
        for (int col = x; col <= right;) {
            col += pen.CountTransparentInRow(row, col, right);
            if (col > right)
                break;
            const int run = pen.CountVisibleInRow(row, col, right);
            ++runs;
            if (run > MvRle::MaxSegmentLength || runs > MvRle::MaxCreatedSegmentsPerRow) {
                if (run > MvRle::MaxSegmentLength)
                    MvLogError("Font '%s': glyph %d (the cell at column %d) has a run of %d visible pixels in image "
                               "row %d, more than %d\n",
                               Name(), index, x, run, row, static_cast<int>(MvRle::MaxSegmentLength));
                else
                    MvLogError("Font '%s': glyph %d (the cell at column %d) has more than %d runs of visible pixels "
                               "in image row %d\n",
                               Name(), index, x, static_cast<int>(MvRle::MaxCreatedSegmentsPerRow), row);
                complete_ = false;
                return;
            }
            col += run;
        }
    }
    glyphs->FrameAt(index)->Create(image, x, y, width, height, x, y, width, height);
}

void MvFontResource::ComputeSpaceWidth()
{
    const int count = GlyphCount();
    int64_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum += Glyphs()->FrameAt(i)->DeltaX();
    // The average of 32-bit values fits 32 bits; a font without glyphs keeps the least
    // width rather than dividing by zero.
    const int64_t average = count > 0 ? sum / count : 1;
    spaceWidth_ = average < 1 ? 1 : static_cast<int>(average);
}

int MvFontResource::Type() const { return MvFontResourceCode; }

const std::string& MvFontResource::TypeName() const { return FontTypeName; }

MvFontResource* MvFontResource::AsFontResource() { return this; }

void MvFontResource::Save(MvResourceWriter& writer) const
{
    writer.BeginRecord(MvFontResourceCode);
    SaveSprite(writer);
    writer.WriteInt32(startIndex_);
    writer.WriteUint16(fontType_);
    writer.WriteInt32(spaceCode_);
    writer.EndRecord();
}

MvCollisionMask* MvFontResource::GetCollisionMask(MvSceneNode* node, int window)
{
    MvTextNode* text = node != nullptr ? node->AsTextNode() : nullptr;
    if (text == nullptr)
        return MvSpriteResource::GetCollisionMask(node, window);
    MvAssert(text->FontResource() == this);
    if (text->FontResource() != this)
        return nullptr;
    const MvTransform& screen = text->ScreenXform(window);
    if (screen.HasScale()) {
        MvLogError("Text node '%s' in font '%s' is drawn at scale %f, %f: only text at scale 1 collides\n",
                   text->Name(), Name(), screen.xScale.ToDouble(), screen.yScale.ToDouble());
        return nullptr;
    }
    return text->CollisionMask(window);
}

const MvAction* MvFontResource::Glyphs() const { return ActionCount() > 0 ? ActionAt(0) : nullptr; }

int MvFontResource::GlyphCount() const
{
    const MvAction* glyphs = Glyphs();
    return glyphs == nullptr ? 0 : glyphs->FrameCount();
}

int64_t MvFontResource::IndexOf(uint16_t code) const
{
    const int64_t index = static_cast<int64_t>(code) - startIndex_;
    return index >= 0 && index < GlyphCount() ? index : -1;
}

int MvFontResource::TextWidth(const uint16_t* text) const
{
    if (text == nullptr)
        return 0;
    int64_t width = 0;
    for (; *text != 0; ++text)
        width += GlyphWidth(*text);
    return ClampToInt(width);
}

int MvFontResource::TextWidth(const uint16_t* text, int count) const
{
    MvAssert(count >= 0);
    if (text == nullptr)
        return 0;
    int64_t width = 0;
    for (int i = 0; i < count && text[i] != 0; ++i)
        width += GlyphWidth(text[i]);
    return ClampToInt(width);
}

int MvFontResource::GlyphWidth(uint16_t code) const
{
    if (code == spaceCode_)
        return spaceWidth_;
    const int64_t index = IndexOf(code);
    return index < 0 ? 0 : Glyphs()->FrameAt(static_cast<int>(index))->DeltaX();
}

bool MvFontResource::HasGlyph(uint16_t code) const { return IndexOf(code) >= 0; }

int MvFontResource::GlyphIndex(uint16_t code) const
{
    const int64_t index = IndexOf(code);
    MvAssert(index >= 0);
    return static_cast<int>(index);
}

void MvFontResource::DrawGlyph(const MvPaintTarget& paintInfo, uint16_t code, const MvTransform& xform,
                               const MvColorXform& cform, const MvIntRect& clip, int openGLZ) const
{
    if (code == spaceCode_)
        return;
    const int64_t index = IndexOf(code);
    if (index < 0)
        return;
    Glyphs()->Draw(paintInfo, static_cast<int>(index), xform, cform, clip, openGLZ);
}
