#include "MvDebugOutput.h"

#include <cstdio>
#include <cstdlib>

namespace {

MvDebugSink g_sink = nullptr;
void* g_context = nullptr;

void WriteToFileNamedInEnvironment(const char* text)
{
    const char* path = std::getenv("MOVO_DEBUG_OUTPUT");
    if (!path || !*path)
        return;
    if (FILE* file = std::fopen(path, "a")) {
        std::fputs(text, file);
        std::fclose(file);
    }
}

} // namespace

void MvDebugOutput(const char* text)
{
    if (g_sink)
        g_sink(text, g_context);
    else
        WriteToFileNamedInEnvironment(text);
}

MvDebugSink MvSetDebugSink(MvDebugSink sink, void* context, void** previousContext)
{
    MvDebugSink previous = g_sink;
    if (previousContext)
        *previousContext = g_context;
    g_sink = sink;
    g_context = context;
    return previous;
}
