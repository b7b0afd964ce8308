#include "ReplayRun.h"

#include "GameState.h"
#include "GameWorld.h"
#include "MvAssert.h"
#include "ScreenFlow.h"
#include "ScriptedEvents.h"
#include "Sound.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

// Every field of GameState. The game sets them once at program start; a run puts them
// back so that a pass never sees the level choice or hero state the previous one left.
struct GameStateValues {
    MvStage* engine;
    int chosenLevel, points, lives, ticks, flagsCollected, enemiesDefeated, vx, vy, apexY;
    bool rightKeyHeld, stickHeld, runHeld, onGround, jumping, facingLeft, lost;
    Mix_Chunk* music;
    int originX, originY, rightBound;
    int shiftKeysHeld;

    static GameStateValues Read()
    {
        return {GameState::engine,       GameState::chosenLevel, GameState::points,  GameState::lives,
                GameState::ticks,        GameState::flagsCollected, GameState::enemiesDefeated,
                GameState::vx,           GameState::vy,          GameState::apexY,   GameState::rightKeyHeld,
                GameState::stickHeld,    GameState::runHeld,     GameState::onGround, GameState::jumping,
                GameState::facingLeft,   GameState::lost,        GameState::music,   GameState::originX,
                GameState::originY,      GameState::rightBound,  GameState::shiftKeysHeld};
    }

    void Write() const
    {
        GameState::engine = engine;
        GameState::chosenLevel = chosenLevel;
        GameState::points = points;
        GameState::lives = lives;
        GameState::ticks = ticks;
        GameState::flagsCollected = flagsCollected;
        GameState::enemiesDefeated = enemiesDefeated;
        GameState::vx = vx;
        GameState::vy = vy;
        GameState::apexY = apexY;
        GameState::rightKeyHeld = rightKeyHeld;
        GameState::stickHeld = stickHeld;
        GameState::runHeld = runHeld;
        GameState::onGround = onGround;
        GameState::jumping = jumping;
        GameState::facingLeft = facingLeft;
        GameState::lost = lost;
        GameState::music = music;
        GameState::originX = originX;
        GameState::originY = originY;
        GameState::rightBound = rightBound;
        GameState::shiftKeysHeld = shiftKeysHeld;
    }
};

// GameState's fields get their first values by constant initialisation, before any code
// runs, so reading them while this file's objects are made gives the program's start.
const GameStateValues StartingGameState = GameStateValues::Read();

// The run going on: the cue observer is a plain function, so it finds the run's notes
// and tick count here.
std::vector<std::string>* currentSounds = nullptr;
const ScriptedEvents* currentEvents = nullptr;

void SkipDeathPause(Uint32 /*milliseconds*/) {}

void NoteCue(SoundCue cue)
{
    if (currentSounds != nullptr && currentEvents != nullptr)
        currentSounds->push_back("tick " + std::to_string(currentEvents->Ticks()) + ": " + CueInfo(cue).path);
}

// Screenshots are written for speed at a fair size: rows unfiltered and zlib's level 3
// with a small hash table (memory level 2), which costs a tenth of libpng's default
// (every filter tried on every row, level 6) for files about 1.7 times as large, some
// 12 KB for a game screen.
const int ScreenshotFilter = PNG_FILTER_NONE;
const int ScreenshotLevel = 3;
const int ScreenshotMemoryLevel = 2;

// Converts width screen pixels into red, green, blue bytes at out; shifts are the
// screen's colour shifts (8-bit channels).
void ToRgbRow(const Uint32* pixels, int width, int redShift, int greenShift, int blueShift, png_byte* out)
{
    for (int x = 0; x < width; ++x, out += 3) {
        const Uint32 pixel = pixels[x];
        out[0] = static_cast<png_byte>(pixel >> redShift);
        out[1] = static_cast<png_byte>(pixel >> greenShift);
        out[2] = static_cast<png_byte>(pixel >> blueShift);
    }
}

// ToRgbRow for the usual screen layout (red in bits 16-23, blue in 0-7), with the shifts
// known to the compiler.
void ToRgbRowRedHigh(const Uint32* pixels, int width, int, int, int, png_byte* out)
{
    ToRgbRow(pixels, width, 16, 8, 0, out);
}

// libpng's error handler: keeps the message for the caller and leaves by libpng's longjmp.
void KeepPngError(png_structp png, png_const_charp text)
{
    *static_cast<std::string*>(png_get_error_ptr(png)) = text;
    png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) {}

// Writes screen's pixels to file as an 8-bit RGB PNG picture, each row converted into row
// (3 bytes per pixel) straight from the screen's colour shifts. False with *message set
// when libpng fails. Nothing here needs destroying beyond libpng's own structures, as
// libpng leaves by longjmp.
bool WriteRgbPng(FILE* file, SDL_Surface* screen, png_byte* row, std::string* message)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, message, KeepPngError, IgnorePngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        *message = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const int width = screen->w;
    const int height = screen->h;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, ScreenshotFilter);
    png_set_compression_level(png, ScreenshotLevel);
    png_set_compression_mem_level(png, ScreenshotMemoryLevel);
    png_write_info(png, info);
    const SDL_PixelFormat* format = screen->format;
    const bool redHigh = format->Rshift == 16 && format->Gshift == 8 && format->Bshift == 0;
    auto* const toRgb = redHigh ? ToRgbRowRedHigh : ToRgbRow;
    for (int y = 0; y < height; ++y) {
        const Uint8* pixels = static_cast<const Uint8*>(screen->pixels) + y * screen->pitch;
        toRgb(reinterpret_cast<const Uint32*>(pixels), width, format->Rshift, format->Gshift, format->Bshift, row);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

ReplayRun::ReplayRun(const ReplayScript* script, SDL_Surface* screen, const std::string& outDir, int maxTicks)
    : script_(script)
    , screen_(screen)
    , outDir_(outDir)
    , maxTicks_(maxTicks)
{
    MvAssert(script != nullptr);
    MvAssert(screen != nullptr);
    MvAssert(screen->w == ScreenWidth && screen->h == ScreenHeight && screen->format->BitsPerPixel == 32);
    MvAssert(maxTicks >= 1);
}

bool ReplayRun::Run()
{
    MvAssert(currentEvents == nullptr);
    summary_ = ReplaySummary();
    screenshots_.clear();
    sounds_.clear();
    errors_.clear();

    // As the program starts: GameState as it is before anything ran, then the counters.
    StartingGameState.Write();
    ResetCounters();
    SDL_FillRect(screen_, nullptr, 0);

    ScriptedEvents events(script_, maxTicks_, [this](const ReplayStep& step) { TakeScreenshot(step); });
    currentSounds = &sounds_;
    currentEvents = &events;
    SetDeathPause(SkipDeathPause);
    SetCueObserver(NoteCue);

    SDL_Joystick* joystick = nullptr;
    {
        GameWorld world;
        ScreenFlow flow(screen_, &world, &events);
        flow.Run();
        joystick = flow.Joystick();
    }
    // Only an open joystick subsystem hands out a handle; SDL 1.2 does not take a null one.
    if (joystick != nullptr)
        SDL_JoystickClose(joystick);

    SetCueObserver(nullptr);
    SetDeathPause(nullptr);
    currentEvents = nullptr;
    currentSounds = nullptr;
    summary_ = events.Summary();
    return errors_.empty();
}

void ReplayRun::TakeScreenshot(const ReplayStep& step)
{
    const std::string path = outDir_ + "/" + step.name;
    std::string error;
    if (SaveScreen(screen_, path, &error))
        screenshots_.push_back("tick " + std::to_string(step.tick) + ": " + path);
    else
        errors_.push_back(error);
}

bool ReplayRun::SaveScreen(SDL_Surface* screen, const std::string& path, std::string* error)
{
    MvAssert(screen != nullptr && screen->format->BytesPerPixel == 4);
    const SDL_PixelFormat* format = screen->format;
    MvAssert(format->Rloss == 0 && format->Gloss == 0 && format->Bloss == 0);
    if (SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) != 0) {
        *error = "'" + path + "': the screen cannot be read: " + SDL_GetError();
        return false;
    }
    std::string message;
    bool written = false;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::vector<png_byte> row(static_cast<size_t>(screen->w) * 3);
        written = WriteRgbPng(file, screen, row.data(), &message);
        if (std::fclose(file) != 0 && written) {
            message = std::strerror(errno);
            written = false;
        }
    } else {
        message = std::strerror(errno);
    }
    if (SDL_MUSTLOCK(screen))
        SDL_UnlockSurface(screen);
    if (!written)
        *error = "cannot write picture '" + path + "': " + message;
    return written;
}
