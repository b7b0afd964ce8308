#include "MvAssert.h"

#include "MvDebugOutput.h"

#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool MvDebuggerAttached()
{
    // Linux shows the tracer of a process in its status file; 0 means none.
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return false;
    char line[256];
    bool traced = false;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "TracerPid:", 10) == 0) {
            traced = std::atoi(line + 10) != 0;
            break;
        }
    }
    std::fclose(status);
    return traced;
}

void MvDebugBreak()
{
    if (MvDebuggerAttached())
        std::raise(SIGTRAP);
    else
        std::abort();
}

namespace {

MvAssertHook assertHook = nullptr;

// Prints text to standard error and the debug-output channel, runs the hook, then breaks.
void ReportAndBreak(const char* text)
{
    std::fflush(stdout);
    std::fputs(text, stderr);
    std::fflush(stderr);
    MvDebugOutput(text);
    // Taken off first, so that a check failing inside the hook does not run it again.
    const MvAssertHook hook = assertHook;
    assertHook = nullptr;
    if (hook != nullptr)
        hook();
    MvDebugBreak();
}

} // namespace

MvAssertHook MvSetAssertHook(MvAssertHook hook)
{
    const MvAssertHook previous = assertHook;
    assertHook = hook;
    return previous;
}

void MvAssertFailed(const char* condition, const char* file, int line)
{
    char text[1024];
    std::snprintf(text, sizeof text, "Assertion failed: %s, file %s, line %d\n", condition, file, line);
    ReportAndBreak(text);
}

void MvAssertFailedWith(const char* condition, const char* file, int line, const char* format, ...)
{
    char note[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(note, sizeof note, format, args);
    va_end(args);
    char text[1024];
    std::snprintf(text, sizeof text, "Assertion failed: %s (%s), file %s, line %d\n", condition, note, file, line);
    ReportAndBreak(text);
}

void MvRequireFailed(const char* condition, const char* file, int line, const char* format, ...)
{
    char message[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    char text[1024];
    std::snprintf(text, sizeof text, "%s\nAssertion failed: %s, file %s, line %d\n", message, condition, file, line);
    ReportAndBreak(text);
}
