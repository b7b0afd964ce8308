#ifndef MV_ASSERT_H
#define MV_ASSERT_H

// Precondition and consistency checks. A failed check prints the condition, file and
// line to standard error and the debug-output channel, then stops the program: it
// breaks into the debugger when one is attached and aborts otherwise. Checks stay on in
// every build; they guard callers' contracts, never input read from disk.

/// Reports a failed check and stops. Returns only when a debugger resumes the program.
void MvAssertFailed(const char* condition, const char* file, int line);

/// Breaks into an attached debugger (SIGTRAP); without one, aborts the program.
void MvDebugBreak();

/// True when a debugger (any tracer) is attached to this process.
bool MvDebuggerAttached();

#define MvAssert(condition)                                   \
    do {                                                      \
        if (!(condition))                                     \
            MvAssertFailed(#condition, __FILE__, __LINE__);   \
    } while (0)

#endif
