#include "MvStage.h"

#include "MvLog.h"
#include "MvResourceVault.h"
#include "MvSceneTree.h"
#include "MvSplashData.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"

#include <cstdio>
#include <memory>

namespace {

// The engine version the renderer description names.
const int EngineVersionMajor = 2;
const int EngineVersionMinor = 0;
const int EngineVersionPatch = 7;

// The platform the renderer description names.
const char* const PlatformName = "Linux";

// The splash fades in over FadeMillis and is shown until ShowMillis have elapsed; it lies
// above everything at this depth.
const uint32_t SplashFadeMillis = 1000;
const uint32_t SplashShowMillis = 2000;
const int SplashDepth = 5000;
// Pixels between the splash picture and its line of text.
const int SplashTextGap = 20;

// glGetString, looked up at run time so that the engine does not link OpenGL itself.
typedef const unsigned char* (*GetStringFunction)(unsigned int);
const unsigned int GlVendor = 0x1F00;
const unsigned int GlRenderer = 0x1F01;
const unsigned int GlVersion = 0x1F02;

const char* GlString(GetStringFunction getString, unsigned int name)
{
    const unsigned char* text = getString ? getString(name) : nullptr;
    return text ? reinterpret_cast<const char*>(text) : "";
}

} // namespace

MvStage::MvStage(SDL_Surface* screen) : tree_(nullptr), vault_(nullptr), paintTarget_(screen)
{
    MvIntRect whole = MvMakeRect(0, 0, screen->w - 1, screen->h - 1);
    Init(screen, 1, &whole, nullptr);
}

MvStage::MvStage(SDL_Surface* screen, const MvIntRect& window, const MvColor* extraFill)
    : tree_(nullptr), vault_(nullptr), paintTarget_(screen)
{
    Init(screen, 1, &window, extraFill);
}

MvStage::MvStage(SDL_Surface* screen, int nWindows, const MvIntRect* windows, const MvColor* extraFill)
    : tree_(nullptr), vault_(nullptr), paintTarget_(screen)
{
    Init(screen, nWindows, windows, extraFill);
}

MvStage::~MvStage()
{
    // The nodes go first: they show resources of the vaults.
    delete tree_;
    tree_ = nullptr;
    delete vault_;
    vault_ = nullptr;
    // A splash that was never finished must not leak its vault; its nodes went with the tree.
    delete splashVault_;
    splashVault_ = nullptr;
    splashNode_ = nullptr;
    splashTextNode_ = nullptr;
}

void MvStage::Init(SDL_Surface* screen, int nWindows, const MvIntRect* windows, const MvColor* extraFill)
{
    screen_ = screen;
    windowCount_ = nWindows;

    screenBounds_ = MvMakeRect(0, 0, screen->w - 1, screen->h - 1);
    extraBackgroundColor_.Set(0, 0, 0, 255);

    MvAssert(nWindows >= 1 && nWindows <= MvWindowCount);
    MvAssert(windows != nullptr);

    needsFullUpdate_ = extraFill != nullptr;
    if (extraFill) {
        extraBackgroundColor_ = *extraFill;
        if (!IsOpenGL())
            SDL_FillRect(screen_, nullptr, MapColor(extraBackgroundColor_));
    }

    for (int i = 0; i < windowCount_; ++i) {
        fillFlags_[i] = true;
        fillColors_[i].Set(0, 0, 0, 255);
        const MvIntRect& w = windows[i];
        MvAssert(w.IsValid());
        MvAssert(w.left >= 0 && w.top >= 0 && w.right < screen->w && w.bottom < screen->h);
        windowBounds_[i] = w;
        windowBounds_[i].ClipTo(screenBounds_);
        dirtyLists_[i].SetClipRect(windowBounds_[i]);
        dirtyLists_[i].AddRect(windowBounds_[i]);
    }
    for (int i = windowCount_; i < MvWindowCount; ++i) {
        fillFlags_[i] = false;
        fillColors_[i].Set(0, 0, 0, 255);
        windowBounds_[i].SetEmpty();
    }

    for (int i = 0; i < windowCount_; ++i)
        for (int j = i + 1; j < windowCount_; ++j)
            MvAssert(!windowBounds_[i].Overlaps(windowBounds_[j]));

    splashStart_ = 0;
    splashVault_ = nullptr;
    splashNode_ = nullptr;
    splashTextNode_ = nullptr;

    vault_ = new MvResourceVault();
    // The tree places its origin node at each window's top-left corner.
    tree_ = new MvSceneTree(this);
}

void MvStage::Draw(bool updateRect, MvGrowArray<MvIntRect>* rectangles)
{
    MvGrowArray<MvIntRect> localList;

    RecomputeNodes();

    // The frame's rectangles are taken before painting; painting leaves the lists alone.
    MvGrowArray<MvIntRect>& output = rectangles ? *rectangles : localList;
    output.Empty();
    if (needsFullUpdate_) {
        needsFullUpdate_ = false;
        output.Append(screenBounds_);
    } else {
        for (int i = 0; i < windowCount_; ++i)
            for (int k = 0; k < dirtyLists_[i].Count(); ++k)
                output.Append(dirtyLists_[i].At(k));
    }

    for (int i = 0; i < windowCount_; ++i) {
        MvDirtyList& list = dirtyLists_[i];
        // On an OpenGL screen the OpenGL path draws the frame; here it only keeps the
        // dirty lists' bookkeeping.
        if (!IsOpenGL()) {
            Uint32 fill = MapColor(fillColors_[i]);
            for (int k = 0; k < list.Count(); ++k) {
                const MvIntRect& r = list.At(k);
                if (fillFlags_[i]) {
                    SDL_Rect area = ToScreenRect(r);
                    SDL_FillRect(screen_, &area, fill);
                }
                PaintNodes(i, r);
            }
        }
        list.Clear();
    }

    if (updateRect)
        Present(&output);
}

void MvStage::Present(const MvGrowArray<MvIntRect>* rectangles)
{
    if (!rectangles || rectangles->Count() == 0)
        return;
    // The OpenGL path presents by swapping buffers instead; it is not part of this stage yet.
    if (IsOpenGL())
        return;
    int count = rectangles->Count();
    std::unique_ptr<SDL_Rect[]> areas(new SDL_Rect[static_cast<size_t>(count)]);
    for (int i = 0; i < count; ++i)
        areas[i] = ToScreenRect((*rectangles)[i]);
    // Only the display has anything to update; a stage over a memory surface is done once
    // its pixels are painted (and SDL has no display to update without its video system).
    if (screen_ != SDL_GetVideoSurface())
        return;
    SDL_UpdateRects(screen_, count, areas.get());
}

void MvStage::SetBackgroundColor(const MvColor* color)
{
    for (int i = 0; i < windowCount_; ++i)
        SetWindowBackground(i, color);
}

void MvStage::SetWindowBackground(int window, const MvColor* color)
{
    MvAssert(window >= -1 && window < windowCount_);
    if (window == -1) {
        SetBackgroundColor(color);
        return;
    }
    if (color) {
        fillFlags_[window] = true;
        fillColors_[window] = *color;
    } else {
        fillFlags_[window] = false;
        fillColors_[window].Set(0, 0, 0, 255);
    }
    dirtyLists_[window].AddRect(windowBounds_[window]);
}

int MvStage::WindowAt(int x, int y) const
{
    for (int i = 0; i < windowCount_; ++i)
        if (windowBounds_[i].Contains(x, y))
            return i;
    return -1;
}

void MvStage::Dump() const
{
    for (int i = 0; i < windowCount_; ++i) {
        char label[32];
        std::snprintf(label, sizeof label, "window %d", i);
        dirtyLists_[i].Dump(label);
    }
}

void MvStage::RecomputeNodes() { tree_->Recompute(); }

void MvStage::PaintNodes(int window, const MvIntRect& r) { tree_->DrawRect(r, &paintTarget_, window); }

SDL_Rect MvStage::ToScreenRect(const MvIntRect& r) const
{
    int width = r.right - r.left + 1;
    int height = r.bottom - r.top + 1;
    MvAssert(r.left >= 0 && r.top >= 0);
    MvAssert(width > 0 && width <= screen_->w && height > 0 && height <= screen_->h);
    MvAssert(r.left + width <= screen_->w && r.top + height <= screen_->h);
    SDL_Rect area;
    area.x = static_cast<Sint16>(r.left);
    area.y = static_cast<Sint16>(r.top);
    area.w = static_cast<Uint16>(width);
    area.h = static_cast<Uint16>(height);
    return area;
}

Uint32 MvStage::MapColor(const MvColor& c) const { return SDL_MapRGB(screen_->format, c.red, c.green, c.blue); }

void MvStage::DescribeRenderer(std::string* out) const { DescribeRenderer(screen_, out); }

void MvStage::DescribeRenderer(SDL_Surface* screen, std::string* out)
{
    MvAssert(screen != nullptr && out != nullptr);
    char text[512];
    std::snprintf(text, sizeof text, "v%d.%d.%d %dbbp Fullscreen=%d %s ", EngineVersionMajor, EngineVersionMinor,
                  EngineVersionPatch, screen->format->BitsPerPixel, (screen->flags & SDL_FULLSCREEN) ? 1 : 0,
                  PlatformName);
    *out = text;
    if (screen->flags & SDL_OPENGL) {
        GetStringFunction getString = reinterpret_cast<GetStringFunction>(SDL_GL_GetProcAddress("glGetString"));
        std::snprintf(text, sizeof text, "OpenGL render: Vendor: '%s'  Renderer: '%s'  Version: '%s'",
                      GlString(getString, GlVendor), GlString(getString, GlRenderer), GlString(getString, GlVersion));
        *out += text;
    } else {
        *out += "Software render";
    }
}

void MvStage::BeginSplash(uint32_t msec)
{
    MvAssert(splashVault_ == nullptr);
    splashStart_ = msec;
    splashVault_ = new MvResourceVault();
    const bool loaded = splashVault_->LoadDatFileFromMemory(MvSplashFile, MvSplashFileSize);
    MvAssert(loaded);
    MvSpriteResource* picture = splashVault_->FindSpriteResource("splash");
    MvSpriteResource* caption = splashVault_->FindSpriteResource("splashText");
    MvAssert(picture != nullptr && caption != nullptr);

    splashNode_ = new MvSpriteNode(picture);
    splashTextNode_ = new MvSpriteNode(caption);
    tree_->InsertNode(nullptr, splashNode_);
    tree_->InsertNode(nullptr, splashTextNode_);

    const MvIntRect& window = windowBounds_[0];
    const int W = window.Width();
    const int H = window.Height();
    MvIntRect box;
    splashNode_->QueryBoundingBox(&box, 0);
    const int w = box.Width();
    const int h = box.Height();
    splashTextNode_->QueryBoundingBox(&box, 0);
    const int tw = box.Width();

    splashNode_->MoveTo(W / 2 - w / 2, H / 4 - h / 2, -1);
    const int y = splashNode_->PosY(0);
    splashTextNode_->MoveTo(W / 2 - tw / 2, y + h + SplashTextGap, -1);
    splashNode_->SetDepth(SplashDepth);
    splashTextNode_->SetDepth(SplashDepth);
}

bool MvStage::AdvanceSplash(uint32_t msec)
{
    MvAssert(splashVault_ != nullptr);
    const uint32_t elapsed = msec - splashStart_;
    MvColorXform fade;
    if (elapsed < SplashFadeMillis)
        fade.SetAlpha(static_cast<int>(elapsed * 255u / SplashFadeMillis));
    splashNode_->SetColorXform(fade, -1);
    splashTextNode_->SetColorXform(fade, -1);
    return elapsed >= SplashShowMillis;
}

void MvStage::FinishSplash()
{
    MvAssert(splashVault_ != nullptr);
    tree_->RemoveNode(splashNode_);
    tree_->RemoveNode(splashTextNode_);
    delete splashVault_;
    splashVault_ = nullptr;
    splashNode_ = nullptr;
    splashTextNode_ = nullptr;
}
