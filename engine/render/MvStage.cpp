#include "MvStage.h"

#include "MvDisplay.h"
#include "MvLog.h"
#include "MvPixelBlock.h"
#include "MvPngImage.h"
#include "MvResourceVault.h"
#include "MvSceneTree.h"
#include "MvSplashData.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"
#include "MvTextureManager.h"
#include "MvVersion.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The platform the renderer description names.
const char* const PlatformName = "Linux";

// The splash fades in over FadeMillis and is shown until ShowMillis have elapsed; it lies
// above everything at this depth.
const uint32_t SplashFadeMillis = 1000;
const uint32_t SplashShowMillis = 2000;
const int SplashDepth = 5000;
// Pixels between the splash picture and its line of text.
const int SplashTextGap = 20;

// The OpenGL path's depth range: nodes are drawn at their walk numbers, which stay below
// this.
const double OpenGLDepthRange = 50000.0;

// An OpenGL string, or "" when there is none (no current context).
const char* GlString(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

// Sets count pixels of a 32-bit row to pixel, four at a time where SSE2 is there.
void FillRow32(Uint32* row, int count, Uint32 pixel)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(pixel));
    for (; x + 4 <= count; x += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), four);
#endif
    for (; x < count; ++x)
        row[x] = pixel;
}

// The screen, once it is known to be one the stage can paint. Every constructor checks it
// first, before it logs or allocates anything, so that a wrong screen is named in the
// caller's terms rather than by the painter that cannot serve it.
SDL_Surface* PaintableScreen(SDL_Surface* screen)
{
    MvRequire(screen != nullptr,
              "MvStage: the screen is null; make the stage on the surface SDL_SetVideoMode returned, once it "
              "is not null");
    const int bytesPerPixel = screen->format->BytesPerPixel;
    MvRequire(bytesPerPixel >= 2 && bytesPerPixel <= 4,
              "MvStage: the screen has %d bits per pixel; the stage paints 16, 24 or 32-bit screens, in software "
              "or with SDL_OPENGL (ask SDL_SetVideoMode for 32 bits)",
              screen->format->BitsPerPixel);
    return screen;
}

} // namespace

MvStage::MvStage(SDL_Surface* screen)
    : screen_(PaintableScreen(screen)), tree_(nullptr), vault_(nullptr), paintTarget_(screen)
{
    MvIntRect whole = MvMakeRect(0, 0, screen->w - 1, screen->h - 1);
    Init(screen, 1, &whole, nullptr);
}

MvStage::MvStage(SDL_Surface* screen, const MvIntRect& window, const MvColor* extraFill)
    : screen_(PaintableScreen(screen)), tree_(nullptr), vault_(nullptr), paintTarget_(screen)
{
    Init(screen, 1, &window, extraFill);
}

MvStage::MvStage(SDL_Surface* screen, int nWindows, const MvIntRect* windows, const MvColor* extraFill)
    : screen_(PaintableScreen(screen)), tree_(nullptr), vault_(nullptr), paintTarget_(screen)
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
    fillsDirectly_ = FillsDirectly(screen);

    screenBounds_ = MvMakeRect(0, 0, screen->w - 1, screen->h - 1);
    extraBackgroundColor_.Set(0, 0, 0, 255);

    MvAssert(nWindows >= 1 && nWindows <= MvWindowCount);
    MvAssert(windows != nullptr);

    needsFullUpdate_ = extraFill != nullptr;
    if (extraFill) {
        extraBackgroundColor_ = *extraFill;
        if (!IsOpenGL())
            FillArea(screenBounds_, MapColor(extraBackgroundColor_));
    }

    for (int i = 0; i < windowCount_; ++i) {
        fillFlags_[i] = true;
        fillColors_[i].Set(0, 0, 0, 255);
        fillPixels_[i] = MapColor(fillColors_[i]);
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
        fillPixels_[i] = 0;
        windowBounds_[i].SetEmpty();
    }

    for (int i = 0; i < windowCount_; ++i)
        for (int j = i + 1; j < windowCount_; ++j)
            MvAssert(!windowBounds_[i].Overlaps(windowBounds_[j]));

    if (IsOpenGL())
        SetUpOpenGL();
    else
        frameRects_.Reserve(windowCount_ * MvDirtyListCapacity);

    splashStart_ = 0;
    splashVault_ = nullptr;
    splashNode_ = nullptr;
    splashTextNode_ = nullptr;

    vault_ = new MvResourceVault();
    // The tree places its origin node at each window's top-left corner.
    tree_ = new MvSceneTree(this);
}

bool MvStage::FillsDirectly(const SDL_Surface* screen) const
{
    // Only a memory surface is filled directly: SDL fills a video memory one its own way.
    return !IsOpenGL() && screen->format->BytesPerPixel == 4 && !MvDisplay::MustLock(screen) &&
           (screen->flags & SDL_HWSURFACE) == 0;
}

void MvStage::ReplaceScreen(SDL_Surface* screen)
{
    MvAssert(screen != nullptr);
    PaintableScreen(screen);
    MvAssert(screen->w == screenBounds_.Width() && screen->h == screenBounds_.Height());
    MvAssert(!IsOpenGL() && (screen->flags & SDL_OPENGL) == 0);
    screen_ = screen;
    paintTarget_.Retarget(screen);
    fillsDirectly_ = FillsDirectly(screen);
    FillArea(screenBounds_, MapColor(extraBackgroundColor_));
    for (int i = 0; i < windowCount_; ++i) {
        fillPixels_[i] = MapColor(fillColors_[i]);
        dirtyLists_[i].AddRect(windowBounds_[i]);
    }
    needsFullUpdate_ = true;
}

void MvStage::SetUpOpenGL()
{
    // Textures belong to one stage's images; a new stage starts without any.
    const MvTextureManager* textures = MvTextureManager::Current();
    MvAssert(textures == nullptr || textures->TextureCount() == 0);

    const int width = screenBounds_.Width();
    const int height = screenBounds_.Height();
    glViewport(0, 0, width, height);
    glClearColor(extraBackgroundColor_.RedF(), extraBackgroundColor_.GreenF(), extraBackgroundColor_.BlueF(), 255.0f);
    glClearDepth(1.0);
    glShadeModel(GL_FLAT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Screen pixels are units and y grows downwards, as on the software path.
    glOrtho(0.0, width, height, 0.0, -OpenGLDepthRange, OpenGLDepthRange);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Integer vertices then fall between pixel centres, so quads cover whole pixels.
    glTranslatef(0.375f, 0.375f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    MvAssert(glGetError() == GL_NO_ERROR);
}

void MvStage::DrawOpenGL()
{
    PaintOpenGL();
    Present(nullptr);
}

void MvStage::PaintOpenGL()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int i = 0; i < windowCount_; ++i) {
        const MvIntRect& window = windowBounds_[i];
        const int x = window.left;
        const int y = window.top;
        const int w = window.Width();
        const int h = window.Height();
        if (fillFlags_[i]) {
            glBindTexture(GL_TEXTURE_2D, 0);
            const MvColor& c = fillColors_[i];
            glColor4f(c.RedF(), c.GreenF(), c.BlueF(), 1.0f);
            glBegin(GL_QUADS);
            glVertex3i(x, y, 0);
            glVertex3i(x + w, y, 0);
            glVertex3i(x + w, y + h, 0);
            glVertex3i(x, y + h, 0);
            glEnd();
        }
        const bool clipped = window != screenBounds_;
        if (clipped) {
            const GLdouble planes[4][4] = {
                {1, 0, 0, double(-x)}, {-1, 0, 0, double(x + w)}, {0, 1, 0, double(-y)}, {0, -1, 0, double(y + h)}};
            for (int p = 0; p < 4; ++p) {
                glClipPlane(GL_CLIP_PLANE0 + p, planes[p]);
                glEnable(GL_CLIP_PLANE0 + p);
            }
        }
        PaintNodes(i, window);
        if (clipped)
            for (int p = 0; p < 4; ++p)
                glDisable(GL_CLIP_PLANE0 + p);
        dirtyLists_[i].Clear();
    }
}

void MvStage::Draw(bool updateRect, MvGrowArray<MvIntRect>* rectangles)
{
    RecomputeNodes();

    if (IsOpenGL()) {
        // Whole windows are redrawn and the whole screen is swapped in: no rectangle is
        // presented by itself.
        needsFullUpdate_ = false;
        if (rectangles)
            rectangles->Empty();
        DrawOpenGL();
        return;
    }

    // The frame's rectangles are taken before painting; painting leaves the lists alone.
    MvGrowArray<MvIntRect>& output = rectangles ? *rectangles : frameRects_;
    output.Empty();
    if (needsFullUpdate_) {
        needsFullUpdate_ = false;
        output.Append(screenBounds_);
    } else {
        for (int i = 0; i < windowCount_; ++i)
            for (int k = 0; k < dirtyLists_[i].Count(); ++k)
                output.Append(dirtyLists_[i].At(k));
    }

    // A window's dirty rectangles never overlap, so filling them all and then painting the
    // nodes into all of them in one walk of the tree leaves the pixels that filling and
    // painting them one at a time would.
    for (int i = 0; i < windowCount_; ++i) {
        MvDirtyList& list = dirtyLists_[i];
        MvIntRect clips[MvDirtyListCapacity];
        for (int k = 0; k < list.Count(); ++k) {
            clips[k] = list.At(k);
            if (fillFlags_[i])
                FillArea(clips[k], fillPixels_[i]);
        }
        tree_->DrawRects(clips, list.Count(), &paintTarget_, i);
        list.Clear();
    }

    if (updateRect)
        Present(&output);
}

void MvStage::Present(const MvGrowArray<MvIntRect>* rectangles)
{
    if (IsOpenGL()) {
        SDL_GL_SwapBuffers();
        return;
    }
    if (!rectangles)
        return;
    // Only the display has anything to update; a stage over a memory surface is done once
    // its pixels are painted (and SDL has no display to update without its video system).
    // The rectangles are checked either way.
    const bool display = screen_ == SDL_GetVideoSurface();
    const int count = rectangles->Count();
    for (int first = 0; first < count; first += PresentBatch) {
        const int batch = count - first < PresentBatch ? count - first : PresentBatch;
        for (int i = 0; i < batch; ++i)
            presentAreas_[i] = ToScreenRect((*rectangles)[first + i]);
        if (display)
            MvDisplay::Present(screen_, presentAreas_, batch);
    }
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
    fillPixels_[window] = MapColor(fillColors_[window]);
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

void MvStage::FillArea(const MvIntRect& r, Uint32 pixel)
{
    SDL_Rect area = ToScreenRect(r);
    if (!fillsDirectly_) {
        SDL_FillRect(screen_, &area, pixel);
        return;
    }
    const SDL_Rect& clip = screen_->clip_rect;
    const int left = std::max<int>(area.x, clip.x);
    const int right = std::min<int>(area.x + area.w, clip.x + clip.w);
    const int top = std::max<int>(area.y, clip.y);
    const int bottom = std::min<int>(area.y + area.h, clip.y + clip.h);
    Uint8* const pixels = static_cast<Uint8*>(screen_->pixels);
    for (int y = top; y < bottom; ++y)
        FillRow32(reinterpret_cast<Uint32*>(pixels + static_cast<size_t>(y) * screen_->pitch) + left, right - left, pixel);
}

Uint32 MvStage::MapColor(const MvColor& c) const { return SDL_MapRGB(screen_->format, c.red, c.green, c.blue); }

void MvStage::CaptureScreen(MvPixelBlock* block)
{
    MvAssert(block != nullptr);
    const int width = screenBounds_.Width();
    const int height = screenBounds_.Height();
    if (!IsOpenGL()) {
        // A screen surface has no alpha channel, so its pixels read back opaque.
        if (MvDisplay::MustLock(screen_))
            SDL_LockSurface(screen_);
        block->CreateFromImage(paintTarget_, 0, 0, width, height);
        if (MvDisplay::MustLock(screen_))
            SDL_UnlockSurface(screen_);
        return;
    }
    // What a swapped-out buffer holds is up to the driver, so the frame is painted again
    // into the back buffer and read from there. OpenGL rows run bottom to top, in red,
    // green, blue, alpha byte order.
    block->Create(width, height, false);
    PaintOpenGL();
    std::unique_ptr<uint8_t[]> rgba(new uint8_t[static_cast<size_t>(width) * height * 4]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.get());
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rgba.get() + static_cast<size_t>(height - 1 - y) * width * 4;
        MvColor* out = block->Pixels() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x, in += 4, ++out)
            out->Set(in[0], in[1], in[2], 255);
    }
}

bool MvStage::SaveScreenshot(const char* path, std::string* error)
{
    MvAssert(path != nullptr);
    std::string message;
    bool saved = false;
    if (!IsOpenGL()) {
        // The screen surface holds what the screen shows: it is written as it is.
        saved = MvPngImage::SaveSurface(screen_, path, &message);
    } else {
        // The captured frame is written as a 32-bit surface over the block's pixels, whose
        // MvColor words are 0xAARRGGBB in the machine's byte order.
        MvPixelBlock shot;
        CaptureScreen(&shot);
        const bool little = SDL_BYTEORDER == SDL_LIL_ENDIAN;
        SDL_Surface* picture =
            SDL_CreateRGBSurfaceFrom(shot.Pixels(), shot.Width(), shot.Height(), 32, shot.Width() * 4,
                                     little ? 0x00FF0000 : 0x0000FF00, little ? 0x0000FF00 : 0x00FF0000,
                                     little ? 0x000000FF : 0xFF000000, 0);
        if (picture == nullptr) {
            message = std::string("cannot write picture '") + path + "': " + SDL_GetError();
        } else {
            saved = MvPngImage::SaveSurface(picture, path, &message);
            SDL_FreeSurface(picture);
        }
    }
    if (!saved) {
        MvLog("%s\n", message.c_str());
        if (error != nullptr)
            *error = message;
    }
    return saved;
}

void MvStage::DescribeRenderer(std::string* out) const { DescribeRenderer(screen_, out); }

void MvStage::DescribeRenderer(SDL_Surface* screen, std::string* out)
{
    MvAssert(screen != nullptr && out != nullptr);
    char text[512];
    std::snprintf(text, sizeof text, "v%d.%d.%d %dbbp Fullscreen=%d %s ", MvVersionMajor, MvVersionMinor,
                  MvVersionPatch, screen->format->BitsPerPixel, (screen->flags & SDL_FULLSCREEN) ? 1 : 0,
                  PlatformName);
    *out = text;
    if (screen->flags & SDL_OPENGL) {
        std::snprintf(text, sizeof text, "OpenGL render: Vendor: '%s'  Renderer: '%s'  Version: '%s'",
                      GlString(GL_VENDOR), GlString(GL_RENDERER), GlString(GL_VERSION));
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
