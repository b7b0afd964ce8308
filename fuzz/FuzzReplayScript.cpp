// Fuzz target: a replay script as text (ReplayScript::Parse). A script that parses must
// have its steps in tick order within the allowed ticks; one that does not must say why.

#include "ReplayScript.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ReplayScript script;
    std::string error;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!script.Parse("fuzz.replay", text, &error)) {
        if (error.empty() || !script.Steps().empty())
            __builtin_trap();
        return 0;
    }
    int tick = 0;
    for (const ReplayStep& step : script.Steps()) {
        if (step.tick < tick || step.tick > ReplayScript::MaxTick)
            __builtin_trap();
        tick = step.tick;
    }
    return 0;
}
