#ifndef ALLOCATION_COUNTER_H
#define ALLOCATION_COUNTER_H

#include <string>

// Counts the heap allocations one thread makes between Start and Stop: every global
// operator new and new[] of the program, and every malloc, calloc and realloc called from
// the program's own code (the engine, the game and the tests, linked with --wrap), so that
// the engine's arrays, which take their storage from malloc, are counted too. Allocations
// inside shared libraries (SDL, the C++ runtime's own malloc calls) are not seen. The call
// stacks of the first few counted allocations are kept, to say what allocated.
class AllocationCounter {
public:
    // Starts counting the calling thread's allocations from zero.
    static void Start();
    // Stops counting; the count and the stacks stay until the next Start.
    static void Stop();
    // Allocations counted between the last Start and Stop.
    static long Count();
    // The kept call stacks, innermost first, one function per line; empty when none.
    static std::string Stacks();
};

#endif
