#include "MvLog.h"

#include "MvDebugOutput.h"

#include <cstdarg>

namespace {

// Where MvLog prints: nowhere until a program chooses a stream.
FILE* logStream = nullptr;
// Where MvLogError prints: standard error unless a program chooses otherwise.
FILE* errorStream = stderr;

// Formats the line, hands it to the debug-output channel and prints it to stream (none
// when null).
void Emit(FILE* stream, const char* format, va_list args)
{
    char text[MvLogBufferSize];
    std::vsnprintf(text, sizeof text, format, args);
    MvDebugOutput(text);
    if (stream != nullptr)
        std::fputs(text, stream);
    std::fflush(nullptr);
}

} // namespace

void MvLog(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    Emit(logStream, format, args);
    va_end(args);
}

void MvLogError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    Emit(errorStream, format, args);
    va_end(args);
}

FILE* MvSetLogStream(FILE* stream)
{
    FILE* previous = logStream;
    logStream = stream;
    return previous;
}

FILE* MvSetErrorStream(FILE* stream)
{
    FILE* previous = errorStream;
    errorStream = stream;
    return previous;
}
