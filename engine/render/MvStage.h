#ifndef MV_STAGE_H
#define MV_STAGE_H

#include "MvAssert.h"
#include "MvColor.h"
#include "MvDirtyList.h"
#include "MvGrowArray.h"
#include "MvIntRect.h"
#include "MvPaintTarget.h"
#include "MvWindowCount.h"

#include <SDL.h>

#include <cstdint>
#include <string>

class MvPixelBlock;
class MvResourceVault;
class MvSceneTree;
class MvSpriteNode;

/// The object a program creates on its screen surface to get pictures on screen. The
/// screen is divided into up to six disjoint windows, each with its own background fill and
/// its own dirty list; between frames the lists collect what changed, and each Draw fills,
/// repaints and presents exactly those rectangles, so a frame costs in proportion to what
/// moved rather than to the screen size. The stage owns the scene tree of what it shows:
/// each Draw first lets the tree recompute what changed, which fills the dirty lists, and
/// then asks it to paint the nodes inside each repainted rectangle. The screen surface
/// stays the caller's; the stage paints into it through a paint target chosen once for its
/// pixel format. The stage also owns the resource vault into which the program loads its
/// pictures, and can show a short fading splash from a resource file built into the
/// program. On an OpenGL screen (SDL_OPENGL) the stage takes the other path: every frame
/// redraws whole windows as textured quads, one per image, and swaps the buffers; the
/// images keep their textures until they are destroyed.
class MvStage {
public:
    /// One window covering the whole screen, filled with black. Asserts, before anything
    /// else and with a message naming what it was given, that screen is not null and has 16,
    /// 24 or 32 bits per pixel (SDL's dummy video driver makes 8-bit screens unless asked
    /// for a depth).
    explicit MvStage(SDL_Surface* screen);

    /// One window with the given bounds. When extraFill is not null the whole screen is
    /// filled with it now and the first frame presents the whole screen. Asserts as the
    /// general constructor.
    MvStage(SDL_Surface* screen, const MvIntRect& window, const MvColor* extraFill);

    /// nWindows windows with the given bounds, each filled with black until told otherwise;
    /// extraFill as above. Asserts 1 <= nWindows <= MvWindowCount, every window a valid
    /// rectangle inside the screen, and no two windows intersecting.
    MvStage(SDL_Surface* screen, int nWindows, const MvIntRect* windows, const MvColor* extraFill);

    /// Destroys the scene tree with every node, then the vault with every resource, then a
    /// splash vault still held, then the paint target; the screen surface is never freed.
    ~MvStage();

    MvStage(const MvStage&) = delete;
    MvStage& operator=(const MvStage&) = delete;

    /// One frame: recomputes the scene tree, which brings the dirty lists up to date; fills
    /// (where the window is filled) every dirty rectangle and paints the tree's nodes into
    /// it; empties the lists; and presents the frame's rectangles when updateRect is true.
    /// When rectangles is given it is emptied and left holding the frame's screen
    /// rectangles (the whole screen on the first frame after an extra fill; nothing when
    /// nothing changed). On an OpenGL screen every window is redrawn whole instead: cleared
    /// to the extra background colour, filled, its nodes drawn as textured quads clipped to
    /// the window, and the buffers swapped; rectangles is left empty and updateRect plays
    /// no part.
    void Draw(bool updateRect, MvGrowArray<MvIntRect>* rectangles = nullptr);

    /// Tells the stage that its screen surface was replaced, or lost its pixels: after a
    /// switch between full screen and a window, SDL may hand out a new surface (a new video
    /// mode), perhaps in another pixel format, or keep the old one with its content gone.
    /// The stage paints on screen from now on, fills it with the extra background colour,
    /// and repaints and presents the whole screen at the next Draw. Asserts screen is not
    /// null, has the old screen's size, and that neither is an OpenGL screen (a new OpenGL
    /// mode loses the textures; make a new stage then), with 16, 24 or 32 bits per pixel as
    /// for the constructor.
    void ReplaceScreen(SDL_Surface* screen);

    /// Hands rectangles to SDL_UpdateRects; does nothing for null or an empty list, or when
    /// the stage's surface is not the display's (SDL_GetVideoSurface). Asserts every
    /// rectangle is non-empty and lies inside the screen. On an OpenGL screen it swaps the
    /// buffers (SDL_GL_SwapBuffers), whatever rectangles holds.
    void Present(const MvGrowArray<MvIntRect>* rectangles);

    /// Number of windows in use, 1 to MvWindowCount.
    int WindowCount() const;
    /// Bounds of window in screen pixels. Asserts 0 <= window < WindowCount().
    const MvIntRect& WindowRect(int window) const;
    /// (0, 0, screen width - 1, screen height - 1).
    const MvIntRect& ScreenRect() const;
    /// The dirty list of window, to which changed nodes add their bounds. Asserts
    /// 0 <= window < WindowCount().
    MvDirtyList& DirtyList(int window);

    /// SetWindowBackground of every window with color.
    void SetBackgroundColor(const MvColor* color);
    /// Window is filled with *color before its nodes are drawn, or not filled at all when
    /// color is null; either way the whole window is repainted in the next frame. Window -1
    /// means every window. Asserts -1 <= window < WindowCount().
    void SetWindowBackground(int window, const MvColor* color);

    /// Index of the first window containing screen point (x, y), or -1 when none does.
    int WindowAt(int x, int y) const;

    /// Copies what the screen shows into block as a picture of the screen's size, for
    /// screenshots and tests: the screen surface's pixels (MvPixelBlock::CreateFromImage;
    /// opaque, as a screen has no alpha channel), or on an OpenGL screen the frame of the
    /// last Draw, painted again into the back buffer (nothing is presented) and read from
    /// there. Asserts block is not null and empty.
    void CaptureScreen(MvPixelBlock* block);

    /// Saves what the screen shows (as CaptureScreen reads it) at path as an 8-bit RGB PNG
    /// file. Returns false when it cannot be written, with one message naming the file and
    /// why, which is logged and, when error is not null, put in *error. Asserts path is not
    /// null. In the browser, which keeps no files, it always fails so.
    bool SaveScreenshot(const char* path, std::string* error = nullptr);

    /// The scene tree the stage shows, owned by the stage.
    MvSceneTree* SceneTree() const;
    /// The vault the program loads its resource files into, owned by the stage; empty at first.
    MvResourceVault* Vault() const;

    /// The renderer description: "v<major>.<minor>.<patch> <bits>bbp Fullscreen=<0|1> Linux "
    /// with the engine's version (MvVersion.h), followed by "Software render", or on an
    /// OpenGL screen by the OpenGL vendor, renderer and version.
    /// Asserts out is not null.
    void DescribeRenderer(std::string* out) const;
    /// The same for screen. Asserts screen and out are not null.
    static void DescribeRenderer(SDL_Surface* screen, std::string* out);

    /// Starts the splash at time msec: loads the built-in splash file into a vault of its
    /// own and shows its picture centred in the upper half of window 0 (of every window, at
    /// the same place) with its line of text 20 pixels below, on top of depth 5000. Asserts
    /// no splash is under way and that the built-in file loads and holds both pictures.
    void BeginSplash(uint32_t msec);
    /// Fades the splash in over its first second: alpha elapsed * 255 / 1000 before 1000 ms,
    /// opaque after. Returns true once 2000 ms have elapsed since BeginSplash. Asserts a
    /// splash is under way.
    bool AdvanceSplash(uint32_t msec);
    /// Removes the splash pictures and frees the splash vault. Asserts a splash is under way.
    void FinishSplash();
    /// True between BeginSplash and FinishSplash.
    bool IsSplashActive() const;
    /// The splash picture while a splash is under way, else null.
    MvSpriteNode* SplashNode() const;
    /// The splash's line of text while a splash is under way, else null.
    MvSpriteNode* SplashTextNode() const;

    /// Logs the dirty list of every window in use, labelled "window <index>".
    void Dump() const;

private:
    // The tests' access to the paint target (tests/support).
    friend class MvTestAccess;

    /// The paint target over the screen, through which the tree's draw walk paints.
    MvPaintTarget& PaintTarget();
    /// The paint target over the screen, read-only.
    const MvPaintTarget& PaintTarget() const;

    /// Shared by every constructor; runs after the dirty lists and the paint target exist.
    void Init(SDL_Surface* screen, int nWindows, const MvIntRect* windows, const MvColor* extraFill);

    /// Draw's first step: the tree's recompute walk, in which changed nodes add their old
    /// and new bounds to the dirty lists.
    void RecomputeNodes();

    /// Paints the nodes of window that meet r, clipped to r: the tree's draw walk.
    void PaintNodes(int window, const MvIntRect& r);

    /// r as an SDL rectangle. Asserts r is non-empty and lies inside the screen.
    SDL_Rect ToScreenRect(const MvIntRect& r) const;

    /// Sets the pixels of r, within the surface's clip rectangle, to pixel, as
    /// SDL_FillRect does; a 32-bit memory surface is filled here, four pixels a store.
    /// Asserts as ToScreenRect.
    void FillArea(const MvIntRect& r, Uint32 pixel);

    /// c as a pixel value of the screen's format (alpha ignored).
    Uint32 MapColor(const MvColor& c) const;
    /// Whether the software path fills rectangles of screen itself (a 32-bit memory
    /// surface) rather than through SDL_FillRect.
    bool FillsDirectly(const SDL_Surface* screen) const;

    /// The most rectangles Present converts for one SDL_UpdateRects call: as many as the
    /// dirty lists of every window hold, so one call presents any frame of Draw.
    static constexpr int PresentBatch = MvWindowCount * MvDirtyListCapacity;

    /// The OpenGL state the stage draws with: viewport and pixel-unit projection over the
    /// screen, clear colour from the extra background colour, texturing and alpha blending.
    /// Asserts no texture exists yet and OpenGL reports no error.
    void SetUpOpenGL();
    /// Draw's frame on an OpenGL screen, after the recompute: PaintOpenGL, then Present.
    void DrawOpenGL();
    /// Clears the back buffer and paints every window into it, emptying the dirty lists.
    void PaintOpenGL();

    /// True when the screen is an OpenGL screen.
    bool IsOpenGL() const;

    SDL_Surface* screen_;
    int windowCount_;
    MvDirtyList dirtyLists_[MvWindowCount];
    MvIntRect windowBounds_[MvWindowCount];
    MvIntRect screenBounds_;
    bool fillFlags_[MvWindowCount];
    MvColor fillColors_[MvWindowCount];
    Uint32 fillPixels_[MvWindowCount]; ///< fillColors_ in the screen's format
    bool fillsDirectly_; ///< FillArea writes the pixels itself rather than through SDL
    MvColor extraBackgroundColor_;
    bool needsFullUpdate_;
    MvSceneTree* tree_;         ///< made at the end of Init
    MvResourceVault* vault_;    ///< made at the end of Init, before the tree
    MvPaintTarget paintTarget_; ///< constructed right after the dirty lists
    uint32_t splashStart_;
    MvResourceVault* splashVault_; ///< owned while a splash is under way
    MvSpriteNode* splashNode_;     ///< owned by the tree
    MvSpriteNode* splashTextNode_; ///< owned by the tree
    /// The frame's rectangles when Draw's caller asks for none, kept with room for every
    /// window's full dirty list so that no frame allocates.
    MvGrowArray<MvIntRect> frameRects_;
    SDL_Rect presentAreas_[PresentBatch]; ///< Present's rectangles in SDL's form
};

inline int MvStage::WindowCount() const { return windowCount_; }

inline const MvIntRect& MvStage::WindowRect(int window) const
{
    MvAssert(window >= 0 && window < windowCount_);
    return windowBounds_[window];
}

inline const MvIntRect& MvStage::ScreenRect() const { return screenBounds_; }

inline MvDirtyList& MvStage::DirtyList(int window)
{
    MvAssert(window >= 0 && window < windowCount_);
    return dirtyLists_[window];
}

inline MvSceneTree* MvStage::SceneTree() const { return tree_; }
inline MvResourceVault* MvStage::Vault() const { return vault_; }
inline bool MvStage::IsSplashActive() const { return splashVault_ != nullptr; }
inline MvSpriteNode* MvStage::SplashNode() const { return splashNode_; }
inline MvSpriteNode* MvStage::SplashTextNode() const { return splashTextNode_; }

inline MvPaintTarget& MvStage::PaintTarget() { return paintTarget_; }
inline const MvPaintTarget& MvStage::PaintTarget() const { return paintTarget_; }
inline bool MvStage::IsOpenGL() const { return paintTarget_.IsOpenGL(); }

#endif
