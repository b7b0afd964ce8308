#include "MvLog.h"

#include "MvDebugOutput.h"

#include <cstdarg>
#include <cstdio>

void MvLog(const char* format, ...)
{
    char text[MvLogBufferSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    MvDebugOutput(text);
    std::fputs(text, stdout);
    std::fflush(nullptr);
}
