#ifndef PROGRAM_H
#define PROGRAM_H

// The program from start to end: start-up checks, the screen flow, shutdown. Start-up
// opens SDL, an 800 x 600 full-screen window at the display's depth captioned
// "My Movo Game", and the audio device; a failing step prints its message through the
// log, then its reason on standard error, and ends the program with that step's exit
// code. SIGINT and SIGTERM end the program as Escape does.
enum ProgramExitCode {
    ProgramExitOk = 0,
    ProgramExitNoAudio = 1,       // "Can't open audio subsystem..."
    ProgramExitNoVideo = 3,       // no video surface; only the reason, on standard error
    ProgramExitOldSdl = 254,      // "SDL version must be at least 1.2.0"
    ProgramExitSdlInitFailed = 255 // "Couldn't initialize SDL: ..."
};

// Runs the whole program and returns its exit code: 0 after the player quit with Escape
// or a signal, otherwise the code of the start-up step that failed.
int RunProgram();

// Closes the mixer and SDL, which restores the display's mode. Every way out of the
// program after SDL started runs it, a failed check included.
void CloseSdl();

#endif
