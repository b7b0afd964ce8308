#include "ExampleRun.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

void PrintUsage(FILE* out, const char* program)
{
    std::fprintf(out,
                 "Usage: %s [--frames N [--screenshot FILE.png]]\n"
                 "\n"
                 "Without options the example runs in its window until Escape is pressed or the\n"
                 "window is closed.\n"
                 "\n"
                 "  --frames N            draw N frames (N >= 1) as fast as possible, then exit\n"
                 "  --screenshot FILE.png save the last of those frames as a PNG picture\n"
                 "  -h, --help            show this help\n",
                 program);
}

[[noreturn]] void BadCommandLine(const char* program, const std::string& what)
{
    std::fprintf(stderr, "%s: %s\n", program, what.c_str());
    PrintUsage(stderr, program);
    std::exit(2);
}

// The base name of the program's path, for messages.
const char* ProgramName(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

// The folder of the running program: from /proc/self/exe, so a program found through PATH
// or a symbolic link still finds its files; from argv[0] when that cannot be read.
std::string ProgramFolder(const char* argv0)
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string program = length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string(argv0);
    const size_t slash = program.rfind('/');
    return slash == std::string::npos ? std::string(".") : program.substr(0, slash);
}

} // namespace

ExampleRun::ExampleRun(int argc, char** argv)
{
    const char* program = ProgramName(argc > 0 ? argv[0] : "example");
    programName_ = program;
    programFolder_ = ProgramFolder(argc > 0 ? argv[0] : ".");
    bool hasScreenshot = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "-h" || option == "--help") {
            PrintUsage(stdout, program);
            std::exit(0);
        }
        if (option != "--frames" && option != "--screenshot")
            BadCommandLine(program, "unknown argument '" + option + "'");
        if (i + 1 >= argc)
            BadCommandLine(program, option + " needs a value");
        const std::string value = argv[++i];
        if (option == "--frames") {
            if (frameLimit_ > 0)
                BadCommandLine(program, "--frames is given twice");
            char* end = nullptr;
            const long frames = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || frames < 1 || frames > INT_MAX)
                BadCommandLine(program, "--frames needs a whole number of at least 1, not '" + value + "'");
            frameLimit_ = static_cast<int>(frames);
        } else {
            if (hasScreenshot)
                BadCommandLine(program, "--screenshot is given twice");
            if (value.empty())
                BadCommandLine(program, "--screenshot needs a file name");
            screenshotPath_ = value;
            hasScreenshot = true;
        }
    }
    if (hasScreenshot && frameLimit_ == 0)
        BadCommandLine(program, "--screenshot needs --frames");
    MvSetLogStream(nullptr);
}

SDL_Surface* ExampleRun::OpenWindow(int width, int height, Uint32 flags)
{
    SDL_Surface* screen = SDL_Init(SDL_INIT_VIDEO) == 0 ? SDL_SetVideoMode(width, height, 0, flags) : nullptr;
    if (screen == nullptr) {
        std::fprintf(stderr, "%s: cannot open a window: %s\n", programName_.c_str(), SDL_GetError());
        SDL_Quit();
        std::exit(1);
    }
    const std::string caption = "Movo example: " + programName_;
    SDL_WM_SetCaption(caption.c_str(), nullptr);
    return screen;
}

bool ExampleRun::Running() const { return !stopped_ && (frameLimit_ == 0 || frame_ < frameLimit_); }

void ExampleRun::Watch(const SDL_Event& event)
{
    if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE))
        stopped_ = true;
}

void ExampleRun::FrameDone(MvStage* stage)
{
    MvAssert(stage != nullptr);
    if (frame_ == 0)
        startTicks_ = SDL_GetTicks();
    ++frame_;
    if (frameLimit_ == 0) {
        // The next frame is due frame_ / FramesPerSecond seconds after the first. When the
        // program fell behind (a slow machine, a window being dragged) the schedule moves
        // on instead of rushing the following frames to catch up.
        const Uint32 now = SDL_GetTicks();
        const Uint32 due = startTicks_ + static_cast<Uint32>(static_cast<uint64_t>(frame_) * 1000 / FramesPerSecond);
        const int32_t wait = static_cast<int32_t>(due - now);
        if (wait > 0)
            SDL_Delay(static_cast<Uint32>(wait));
        else if (wait < -1000 / FramesPerSecond)
            startTicks_ -= static_cast<Uint32>(wait);
        return;
    }
    if (frame_ != frameLimit_ || screenshotPath_.empty())
        return;
    std::string error;
    if (!stage->SaveScreenshot(screenshotPath_.c_str(), &error)) {
        std::fprintf(stderr, "cannot save the screenshot: %s\n", error.c_str());
        exitCode_ = 1;
    }
}

std::string ExampleRun::DataFile(const char* name) const { return programFolder_ + "/" + name; }
