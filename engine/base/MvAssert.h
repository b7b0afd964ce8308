#ifndef MV_ASSERT_H
#define MV_ASSERT_H

/// @file
/// Precondition and consistency checks. A failed check prints the condition, file and
/// line to standard error and the debug-output channel, runs the program's hook (if one is
/// set), then stops the program: it breaks into the debugger when one is attached and
/// aborts otherwise. Checks stay on in every build; they guard callers' contracts, never
/// input read from disk.

/// Reports a failed check and stops. Returns only when a debugger resumes the program.
void MvAssertFailed(const char* condition, const char* file, int line);

/// As MvAssertFailed, with a printf-style note after the condition that says more than the
/// condition can, such as the name that a lookup did not find.
void MvAssertFailedWith(const char* condition, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

/// As MvAssertFailed, with a printf-style message of its own line before the report that
/// tells the caller, in the caller's terms, what the call needs and what it was given.
void MvRequireFailed(const char* condition, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

/// Breaks into an attached debugger (SIGTRAP); without one, aborts the program.
void MvDebugBreak();

/// What a program runs when a check fails, before it stops: it puts back what must not
/// outlive the program, such as a full-screen display mode.
using MvAssertHook = void (*)();

/// Makes hook (null for none) run once, on the first failed check, after the report and
/// before the break; returns the hook it replaces.
MvAssertHook MvSetAssertHook(MvAssertHook hook);

/// True when a debugger (any tracer) is attached to this process.
bool MvDebuggerAttached();

/// Checks condition, in every build: when it is false, MvAssertFailed reports it and stops.
#define MvAssert(condition)                                   \
    do {                                                      \
        if (!(condition))                                     \
            MvAssertFailed(#condition, __FILE__, __LINE__);   \
    } while (0)

/// MvAssert with a note: MvAssertWith(resource != nullptr, "no sprite named %s", name). The
/// note's arguments are evaluated only when the check fails.
#define MvAssertWith(condition, ...)                                           \
    do {                                                                       \
        if (!(condition))                                                      \
            MvAssertFailedWith(#condition, __FILE__, __LINE__, __VA_ARGS__);   \
    } while (0)

/// A check of what a program hands the engine from outside the engine's own calls, such as
/// the screen it made, whose failure the program's author must read in their own terms:
/// MvRequire(bits >= 16, "MvStage: the screen has %d bits per pixel; ...", bits) prints the
/// message on a line of its own first, then reports the check and stops as MvAssert does.
/// The message's arguments are evaluated only when the check fails.
#define MvRequire(condition, ...)                                            \
    do {                                                                     \
        if (!(condition))                                                    \
            MvRequireFailed(#condition, __FILE__, __LINE__, __VA_ARGS__);    \
    } while (0)

#endif
