#ifndef MV_LOG_H
#define MV_LOG_H

#include <cstdio>

/// @file
/// The log, for the engine's messages and a program's own. Progress lines (the blitter
/// chosen, every record of a resource file loaded) go through MvLog to the log stream,
/// which is none until a program chooses one; error lines (a resource file that cannot be
/// opened or is refused, a request the engine cannot serve) go through MvLogError to the
/// error stream, standard error unless a program chooses another. Either formats into a
/// 1024-byte buffer (longer text is cut), sends the text to the debug-output channel,
/// prints it to its stream when there is one and flushes all output streams.

/// Size of the buffer a message is formatted into, its zero byte included.
enum { MvLogBufferSize = 1024 };

/// A progress line, printf-style; no newline is added. Printed to the log stream, if any.
void MvLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

/// An error line, printf-style; no newline is added. Printed to the error stream, if any.
void MvLogError(const char* format, ...) __attribute__((format(printf, 1, 2)));

/// Makes MvLog print to stream from now on, or to no stream when stream is null (the
/// default: progress lines are off), and returns the stream it printed to before.
/// MvSetLogStream(stdout) turns the progress lines on. The debug-output channel receives
/// every line either way. The stream stays the caller's to close, after it was replaced.
FILE* MvSetLogStream(FILE* stream);

/// Makes MvLogError print to stream from now on (standard error by default), or to no
/// stream when stream is null, for a program that reports errors in its own words (the
/// debug-output channel still receives them); returns the stream it printed to before.
FILE* MvSetErrorStream(FILE* stream);

#endif
