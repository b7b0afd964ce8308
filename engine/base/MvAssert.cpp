#include "MvAssert.h"

#include "MvDebugOutput.h"

#include <csignal>
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

void MvAssertFailed(const char* condition, const char* file, int line)
{
    char text[1024];
    std::snprintf(text, sizeof text, "Assertion failed: %s, file %s, line %d\n", condition, file, line);
    std::fflush(stdout);
    std::fputs(text, stderr);
    std::fflush(stderr);
    MvDebugOutput(text);
    MvDebugBreak();
}
