#ifndef RESOURCE_TEST_SUPPORT_H
#define RESOURCE_TEST_SUPPORT_H

// Helpers shared by the tests of run-length encoded images and resources: pictures drawn
// as text, frames and sprites made from them, byte-exact file building, log capture.

#include "MvAction.h"
#include "MvColor.h"
#include "MvDebugOutput.h"
#include "MvLoadPool.h"
#include "MvLogCapture.h"
#include "MvMemoryStream.h"
#include "MvPaintTarget.h"
#include "MvResourceVault.h"
#include "MvResourceWriter.h"
#include "MvRle.h"
#include "MvSpriteResource.h"
#include "MvSurfacePen.h"
#include "PaletteColors.h"
#include "ScreenFormat.h"
#include "SurfacePtr.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace restest {

// A 32-bit surface with alpha in bits 24-31 and red, green, blue in 16, 8, 0.
inline SurfacePtr MakeArgbSurface(int width, int height)
{
    return MakeSurface(width, height, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
}

// A surface holding the picture, one string per row, one character per pixel.
inline SurfacePtr MakePicture(const std::vector<std::string>& rows)
{
    const int width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    SurfacePtr surface = MakeArgbSurface(width, static_cast<int>(rows.size()));
    for (size_t y = 0; y < rows.size(); ++y) {
        EXPECT_EQ(rows[y].size(), static_cast<size_t>(width));
        uint8_t* line = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < width; ++x) {
            const MvColor c = PaletteColor(rows[y][x]);
            const uint32_t word = uint32_t(c.alpha) << 24 | uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
            std::memcpy(line + 4 * x, &word, 4);
        }
    }
    return surface;
}

// A picture of the given size drawn from a pseudo-random sequence: transparent holes,
// opaque and translucent pixels.
inline std::vector<std::string> RandomPicture(std::mt19937& random, int width, int height)
{
    const std::string palette = "....RGB123abd";
    std::vector<std::string> rows(height, std::string(width, '.'));
    for (std::string& row : rows)
        for (char& c : row)
            c = palette[random() % palette.size()];
    return rows;
}

// Encodes the whole picture into frame with the given hot spot and delta.
inline void CreateFrame(MvRle* frame, const std::vector<std::string>& rows, int hotX, int hotY, int deltaX = 0,
                        int deltaY = 0)
{
    SurfacePtr surface = MakePicture(rows);
    MvPaintTarget source(surface.get());
    frame->Create(source, 0, 0, surface->w, surface->h, hotX, hotY, deltaX, deltaY);
}

struct FrameDraft {
    std::vector<std::string> rows;
    int hotX;
    int hotY;
    int deltaX;
    int deltaY;
};

struct ActionDraft {
    const char* name;
    int32_t id;
    std::vector<FrameDraft> frames;
};

inline MvAction* MakeAction(const ActionDraft& draft)
{
    MvAction* action = new MvAction(draft.name);
    action->SetIdentity(draft.name, draft.id);
    if (!draft.frames.empty())
        action->SetFrameCount(static_cast<int>(draft.frames.size()));
    for (size_t i = 0; i < draft.frames.size(); ++i) {
        const FrameDraft& f = draft.frames[i];
        CreateFrame(action->FrameAt(static_cast<int>(i)), f.rows, f.hotX, f.hotY, f.deltaX, f.deltaY);
    }
    return action;
}

// A sprite resource built the way the encoder builds one.
inline MvSpriteResource* MakeSprite(const char* name, int32_t id, const std::vector<ActionDraft>& actions)
{
    MvSpriteResource* sprite = new MvSpriteResource(name);
    sprite->SetIdentity(name, id);
    for (const ActionDraft& draft : actions)
        sprite->AppendAction(MakeAction(draft));
    return sprite;
}

// A whole resource file holding the resources, as the writer makes it.
inline std::vector<uint8_t> SaveFile(const std::vector<const MvResource*>& resources)
{
    MvMemoryStream stream;
    MvResourceWriter writer(stream.Stream());
    writer.BeginFile();
    for (const MvResource* resource : resources)
        resource->Save(writer);
    EXPECT_TRUE(writer.EndFile());
    return stream.Bytes();
}

// The stored form of an image, as MvRle::Write makes it.
inline std::vector<uint8_t> StoredImage(const MvRle& image)
{
    MvMemoryStream stream;
    EXPECT_TRUE(image.Write(stream.Stream()));
    return stream.Bytes();
}

// Little-endian bytes written one field at a time, for files built by hand.
class ByteBuilder {
public:
    ByteBuilder& U8(uint32_t v)
    {
        bytes_.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    ByteBuilder& U16(uint32_t v) { return U8(v).U8(v >> 8); }
    ByteBuilder& U32(uint32_t v) { return U16(v).U16(v >> 16); }
    ByteBuilder& Name(const char* text)
    {
        bytes_.insert(bytes_.end(), text, text + std::strlen(text) + 1);
        return *this;
    }
    ByteBuilder& Raw(const std::vector<uint8_t>& more)
    {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
        return *this;
    }
    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    // Overwrites the 32-bit field at offset.
    void Patch32(size_t offset, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes_[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }

private:
    std::vector<uint8_t> bytes_;
};

// Whether log shows a refused load the way a user must see it: exactly one "Error in
// resource file 'memory block' " line, and message in the text.
inline ::testing::AssertionResult RefusedWithOneMessage(const std::string& log, const std::string& message)
{
    const std::string error = "Error in resource file 'memory block' ";
    const size_t first = log.find(error);
    if (first == std::string::npos)
        return ::testing::AssertionFailure() << "no error line in: " << log;
    if (log.find(error, first + 1) != std::string::npos)
        return ::testing::AssertionFailure() << "more than one error line in: " << log;
    if (log.find(message) == std::string::npos)
        return ::testing::AssertionFailure() << "no \"" << message << "\" in: " << log;
    return ::testing::AssertionSuccess();
}

// Loads file into a fresh vault, which must refuse it the way RefusedWithOneMessage
// describes, keep that message as its load error, and be left as it was: no resource, no
// loaded file, no load pool left current.
// *logText, when given, receives what the load logged.
inline ::testing::AssertionResult FreshVaultRefuses(const std::vector<uint8_t>& file, const std::string& message,
                                                     std::string* logText = nullptr)
{
    MvResourceVault vault;
    bool loaded;
    std::string log;
    {
        MvLogCapture capture(MvLogCapture::QuietStdout);
        loaded = vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size()));
        log = capture.Text();
    }
    if (logText)
        *logText = log;
    if (loaded)
        return ::testing::AssertionFailure() << "the file loaded";
    ::testing::AssertionResult refused = RefusedWithOneMessage(log, message);
    if (!refused)
        return refused;
    if (vault.LoadError().empty() || log.find(vault.LoadError() + "\n") == std::string::npos)
        return ::testing::AssertionFailure() << "the load error \"" << vault.LoadError() << "\" is not the message logged";
    if (vault.ResourceCount() != 0)
        return ::testing::AssertionFailure() << vault.ResourceCount() << " resources kept";
    if (vault.HasLoadedFile())
        return ::testing::AssertionFailure() << "the vault counts a loaded file";
    if (CurrentPixelPool() != nullptr)
        return ::testing::AssertionFailure() << "a pixel pool is left current";
    return ::testing::AssertionSuccess();
}

// Loads every shortened copy of file into a fresh vault: each must be refused and leave the
// vault empty (without a crash, a leak or a sanitizer report); the whole file must load
// with count resources.
inline void ExpectEveryTruncationRefused(const std::vector<uint8_t>& file, int count)
{
    MvLogCapture log(MvLogCapture::QuietStdout);
    for (size_t size = 0; size < file.size(); ++size) {
        MvResourceVault vault;
        EXPECT_FALSE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(size))) << size;
        EXPECT_EQ(0, vault.ResourceCount()) << size;
    }
    MvResourceVault vault;
    EXPECT_TRUE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size())));
    EXPECT_EQ(count, vault.ResourceCount());
}


// Screen formats that painting code must serve alike.
inline const ScreenFormat kScreenFormats[] = {
    {"32-bit", 32, 0x00FF0000, 0x0000FF00, 0x000000FF},
    {"24-bit red at byte 0", 24, 0x000000FF, 0x0000FF00, 0x00FF0000},
    {"16-bit 5-6-5", 16, 0xF800, 0x07E0, 0x001F},
};

// Rows separated by '|': the palette character whose colour, in the surface's format, is
// stored at each pixel; '.' for black, '?' for anything else. Bits outside the colour
// channels (which a 32-bit block copy fills) are not looked at.
inline std::string ShowSurface(const SDL_Surface* surface, const std::string& palette)
{
    const SDL_PixelFormat* f = surface->format;
    std::string text;
    for (int y = 0; y < surface->h; ++y) {
        if (y > 0)
            text += "|";
        for (int x = 0; x < surface->w; ++x) {
            const uint8_t* p = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch + x * f->BytesPerPixel;
            uint32_t stored = 0;
            for (int i = f->BytesPerPixel - 1; i >= 0; --i)
                stored = stored << 8 | p[i];
            stored &= f->Rmask | f->Gmask | f->Bmask;
            char shown = stored == 0 ? '.' : '?';
            for (char c : palette) {
                const MvColor color = PaletteColor(c);
                if (stored == SDL_MapRGB(surface->format, color.red, color.green, color.blue))
                    shown = c;
            }
            text += shown;
        }
    }
    return text;
}

// A screen of one format, cleared to black, with its paint target.
class PaintedScreen {
public:
    PaintedScreen(const ScreenFormat& format, int width, int height)
        : surface_(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, format.bits, format.redMask, format.greenMask,
                                        format.blueMask, 0)),
          target_(surface_.get()), pen_(target_)
    {
    }
    PaintedScreen(int width, int height) : PaintedScreen(kScreenFormats[0], width, height) {}

    const MvPaintTarget& Target() const { return target_; }
    MvIntRect Whole() const { return MvMakeRect(0, 0, surface_->w - 1, surface_->h - 1); }
    // What the screen shows as palette characters (ShowSurface).
    std::string Show(const std::string& palette) const { return ShowSurface(surface_.get(), palette); }
    // The red channel of every pixel, row after row.
    std::vector<int> Reds() const
    {
        std::vector<int> reds;
        for (int y = 0; y < surface_->h; ++y)
            for (int x = 0; x < surface_->w; ++x)
                reds.push_back(pen_.ReadColor(x, y).red);
        return reds;
    }

private:
    SurfacePtr surface_;
    MvPaintTarget target_;
    MvSurfacePen pen_;
};

// Equal geometry, flags (bit 0), runs and pixels.
inline testing::AssertionResult SameImage(const MvRle& a, const MvRle& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.OffsetX() != b.OffsetX() ||
        a.OffsetY() != b.OffsetY() || a.DeltaX() != b.DeltaX() || a.DeltaY() != b.DeltaY() ||
        a.HasAlpha() != b.HasAlpha())
        return testing::AssertionFailure() << "geometry or alpha flag differ";
    for (int k = 0; k < a.Height(); ++k) {
        const MvRleLine& la = a.Row(k);
        const MvRleLine& lb = b.Row(k);
        if (la.segmentCount != lb.segmentCount || la.HasAlpha() != lb.HasAlpha())
            return testing::AssertionFailure() << "row " << k << " differs";
        for (int s = 0; s < la.segmentCount; ++s) {
            const MvRleSegment& sa = la.segments[s];
            const MvRleSegment& sb = lb.segments[s];
            if (sa.start != sb.start || sa.end != sb.end || sa.HasAlpha() != sb.HasAlpha())
                return testing::AssertionFailure() << "row " << k << " segment " << s << " differs";
            for (int i = 0; i < sa.Length(); ++i) {
                if (sa.pixels[i] != sb.pixels[i])
                    return testing::AssertionFailure() << "row " << k << " segment " << s << " pixel " << i;
            }
        }
    }
    return testing::AssertionSuccess();
}

// The runs of an image as text: rows separated by '|', each run "start-end", with '*'
// after a run whose alpha flag is set.
inline std::string Runs(const MvRle& image)
{
    std::string text;
    for (int k = 0; k < image.Height(); ++k) {
        if (k > 0)
            text += "|";
        const MvRleLine& line = image.Row(k);
        for (int s = 0; s < line.segmentCount; ++s) {
            const MvRleSegment& segment = line.segments[s];
            if (s > 0)
                text += " ";
            text += std::to_string(segment.start) + "-" + std::to_string(segment.end);
            if (segment.HasAlpha())
                text += "*";
        }
    }
    return text;
}

} // namespace restest

#endif
