#include "MvStage.h"

#include "MvLog.h"
#include "MvSceneTree.h"

#include <cstdio>
#include <memory>

MvStage::MvStage(SDL_Surface* screen) : tree_(nullptr), paintTarget_(screen)
{
    MvIntRect whole = MvMakeRect(0, 0, screen->w - 1, screen->h - 1);
    Init(screen, 1, &whole, nullptr);
}

MvStage::MvStage(SDL_Surface* screen, const MvIntRect& window, const MvColor* extraFill)
    : tree_(nullptr), paintTarget_(screen)
{
    Init(screen, 1, &window, extraFill);
}

MvStage::MvStage(SDL_Surface* screen, int nWindows, const MvIntRect* windows, const MvColor* extraFill)
    : tree_(nullptr), paintTarget_(screen)
{
    Init(screen, nWindows, windows, extraFill);
}

MvStage::~MvStage()
{
    // The nodes go first: they may still refer to what the stage holds.
    delete tree_;
    tree_ = nullptr;
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
