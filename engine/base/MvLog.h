#ifndef MV_LOG_H
#define MV_LOG_H

// The debug log: every engine and game message goes through MvLog. It formats into a
// 1024-byte buffer (longer text is cut), sends the text to the debug-output channel,
// prints it to standard output and flushes all output streams.

enum { MvLogBufferSize = 1024 };

/// printf-style message; no newline is added.
void MvLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif
