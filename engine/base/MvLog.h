#ifndef MV_LOG_H
#define MV_LOG_H

#include <cstdio>

/// @file
/// The debug log: every engine and game message goes through MvLog. It formats into a
/// 1024-byte buffer (longer text is cut), sends the text to the debug-output channel,
/// prints it to the log stream (standard output unless a program chose another stream or
/// none) and flushes all output streams.

/// Size of the buffer a message is formatted into, its zero byte included.
enum { MvLogBufferSize = 1024 };

/// printf-style message; no newline is added.
void MvLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

/// Makes MvLog print to stream from now on, or to no stream at all when stream is null
/// (the debug-output channel still receives every message), and returns the stream it
/// printed to before (null when it was silent). Standard output is the default. The
/// stream stays the caller's to close, after it has been replaced.
FILE* MvSetLogStream(FILE* stream);

#endif
