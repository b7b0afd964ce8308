#ifndef MV_DEBUG_OUTPUT_H
#define MV_DEBUG_OUTPUT_H

// The debug-output channel: a side channel for the engine's messages, separate from
// standard output, meant for whoever is debugging the program. On Linux it writes to the
// file named by the environment variable MOVO_DEBUG_OUTPUT (appended, line by line) when
// that is set; a program or test may instead install its own sink to capture the text.

typedef void (*MvDebugSink)(const char* text, void* context);

// Sends text to the installed sink, or to the MOVO_DEBUG_OUTPUT file, or nowhere.
void MvDebugOutput(const char* text);

// Installs sink (null restores the default) and returns the one it replaces.
MvDebugSink MvSetDebugSink(MvDebugSink sink, void* context);

#endif
