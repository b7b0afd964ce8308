#ifndef EXAMPLE_RUN_H
#define EXAMPLE_RUN_H

#include <movo/Movo.h>

#include <string>

// The frame every example runs in: its command line, the end of its loop, its pace and its
// screenshot. Without arguments an example runs in its window at a steady 60 frames a
// second until Escape is pressed or the window is closed. With --frames N it draws exactly
// N frames as fast as it can and stops; --screenshot FILE.png then saves the last one. An
// example moves everything by the frame number (Frame), never by the clock, so the Nth
// frame is the same picture on every run and every machine.
//
//   ExampleRun run(argc, argv);
//   SDL_Surface* screen = run.OpenWindow(640, 480);
//   ...make the stage on the screen, load, build the scene...
//   while (run.Running()) {
//       SDL_Event event;
//       while (SDL_PollEvent(&event))
//           run.Watch(event);
//       ...update the nodes for frame run.Frame()...
//       stage->Draw(true);
//       run.FrameDone(stage);
//   }
//   delete stage;
//   SDL_Quit();
//   return run.ExitCode();
class ExampleRun {
public:
    // The frames per second of a run in a window.
    static const int FramesPerSecond = 60;

    // Reads the command line: --frames N (N >= 1), --screenshot FILE.png (only with
    // --frames) and --help. --help prints the usage to standard output and exits 0; any
    // other argument, a missing or bad value or a repeated option prints the usage to
    // standard error and exits 2. Also silences the engine's progress log
    // (MvSetLogStream(nullptr)), so the terminal shows only what the example prints.
    ExampleRun(int argc, char** argv);

    // Opens the example's window: SDL's video, a width x height screen made with flags, the
    // caption "Movo example: NAME". Returns the screen surface; when there is none it prints
    // why and ends the program with exit code 1.
    SDL_Surface* OpenWindow(int width, int height, Uint32 flags = SDL_SWSURFACE);

    ExampleRun(const ExampleRun&) = delete;
    ExampleRun& operator=(const ExampleRun&) = delete;

    // True until Escape or a close ended the run, or until the N frames of --frames are done.
    bool Running() const;

    // Ends the run on SDL_QUIT (the window was closed) and on a key press of Escape; other
    // events are the example's own.
    void Watch(const SDL_Event& event);

    // Call once a frame, after stage->Draw(true): counts the frame; in a window, waits until
    // the frame's time slot has passed; with --frames, after the last frame, saves the
    // screenshot when one was asked for (MvStage::SaveScreenshot). Asserts stage is not
    // null.
    void FrameDone(MvStage* stage);

    // The number of frames done so far: 0 while the first frame is updated and drawn.
    int Frame() const;

    // True with --frames: nobody is at the mouse or the keys, so an example that follows the
    // mouse takes a fixed point instead and its screenshot shows what the mouse would do.
    bool Scripted() const;

    // What main returns: 0, or 1 when the screenshot could not be written (a message
    // naming the file was printed).
    int ExitCode() const;

    // The path of name in the program's own folder, where the build puts the example's
    // resource file, so an example runs from any working folder.
    std::string DataFile(const char* name) const;

private:
    std::string programName_;
    std::string programFolder_;
    std::string screenshotPath_;
    int frameLimit_ = 0; // 0: run until Escape or close
    int frame_ = 0;
    bool stopped_ = false;
    int exitCode_ = 0;
    Uint32 startTicks_ = 0;
};

inline int ExampleRun::Frame() const { return frame_; }
inline bool ExampleRun::Scripted() const { return frameLimit_ > 0; }
inline int ExampleRun::ExitCode() const { return exitCode_; }

#endif
