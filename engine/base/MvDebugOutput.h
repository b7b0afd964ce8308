#ifndef MV_DEBUG_OUTPUT_H
#define MV_DEBUG_OUTPUT_H

/// @file
/// The debug-output channel: a side channel for the engine's messages, separate from
/// standard output, meant for whoever is debugging the program. On Linux it writes to the
/// file named by the environment variable MOVO_DEBUG_OUTPUT (appended, line by line) when
/// that is set; a program or test may instead install its own sink to capture the text.

/// A sink that receives each text sent to the channel, with the context it was installed with.
typedef void (*MvDebugSink)(const char* text, void* context);

/// Sends text to the installed sink, or to the MOVO_DEBUG_OUTPUT file, or nowhere.
void MvDebugOutput(const char* text);

/// Installs sink with the context it is called with (a null sink restores the default) and
/// returns the sink it replaces; that sink's context goes to *previousContext when given, so
/// that a caller can put back exactly what it found.
MvDebugSink MvSetDebugSink(MvDebugSink sink, void* context, void** previousContext = nullptr);

#endif
