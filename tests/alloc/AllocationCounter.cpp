#include "AllocationCounter.h"

#include <cxxabi.h>
#include <execinfo.h>
#include <pthread.h>

#include <atomic>
#include <cstdlib>
#include <new>

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
}

namespace {

// Stacks kept of the first allocations, and the frames kept of each.
const int KeptStacks = 3;
const int KeptFrames = 8;

std::atomic<bool> counting{false};
pthread_t countedThread;
long count = 0;
void* stacks[KeptStacks][KeptFrames];
int stackDepths[KeptStacks];

// Notes one allocation when the counted thread makes it. Kept out of line, so that its
// frame is always the first of a kept stack.
__attribute__((noinline)) void Note()
{
    if (!counting.load(std::memory_order_relaxed) || !pthread_equal(pthread_self(), countedThread))
        return;
    if (count < KeptStacks) {
        const int kept = static_cast<int>(count);
        stackDepths[kept] = backtrace(stacks[kept], KeptFrames);
    }
    ++count;
}

// operator new's allocation: never null for size 0, null when memory runs out.
void* AllocateOrNull(size_t size)
{
    Note();
    return __real_malloc(size == 0 ? 1 : size);
}

void* Allocate(size_t size)
{
    void* block = AllocateOrNull(size);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

// "name+offset" of a backtrace_symbols line, demangled when it is a C++ name.
std::string FunctionOf(const char* line)
{
    std::string text(line);
    const size_t open = text.find('(');
    const size_t plus = text.find('+', open);
    if (open == std::string::npos || plus == std::string::npos || plus == open + 1)
        return text;
    const std::string mangled = text.substr(open + 1, plus - open - 1);
    int status = 0;
    char* plain = abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status);
    std::string name = status == 0 && plain != nullptr ? plain : mangled;
    std::free(plain);
    return name;
}

} // namespace

void AllocationCounter::Start()
{
    // backtrace loads its unwinder on first use, which allocates: that happens here.
    void* warm[1];
    backtrace(warm, 1);
    count = 0;
    countedThread = pthread_self();
    counting = true;
}

void AllocationCounter::Stop() { counting = false; }

long AllocationCounter::Count() { return count; }

std::string AllocationCounter::Stacks()
{
    std::string text;
    const int kept = count < KeptStacks ? static_cast<int>(count) : KeptStacks;
    for (int i = 0; i < kept; ++i) {
        text += "allocation " + std::to_string(i + 1) + ":\n";
        char** lines = backtrace_symbols(stacks[i], stackDepths[i]);
        // The first frame is Note's own.
        for (int frame = 1; lines != nullptr && frame < stackDepths[i]; ++frame)
            text += "    " + FunctionOf(lines[frame]) + "\n";
        std::free(lines);
    }
    return text;
}

extern "C" {

void* __wrap_malloc(size_t size)
{
    Note();
    return __real_malloc(size);
}

void* __wrap_calloc(size_t count, size_t size)
{
    Note();
    return __real_calloc(count, size);
}

void* __wrap_realloc(void* block, size_t size)
{
    Note();
    return __real_realloc(block, size);
}

} // extern "C"

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }
