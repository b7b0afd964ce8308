#include "MvLog.h"

#include "MvDebugOutput.h"

#include <cstdarg>

namespace {

// Where MvLog prints: standard output until a program says otherwise; null is silent.
FILE* logStream = stdout;

} // namespace

void MvLog(const char* format, ...)
{
    char text[MvLogBufferSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    MvDebugOutput(text);
    if (logStream != nullptr)
        std::fputs(text, logStream);
    std::fflush(nullptr);
}

FILE* MvSetLogStream(FILE* stream)
{
    FILE* previous = logStream;
    logStream = stream;
    return previous;
}
