#ifndef MV_FAILED_CHECK_H
#define MV_FAILED_CHECK_H

#include <cstring>
#include <functional>
#include <string>

// The pattern a death test expects when one particular check fails: the assertion's own
// message followed by the condition exactly as it is written in the source, so that a
// different check firing (or a crash with no message at all) fails the test.
//
//     EXPECT_DEATH(list.Get(7), MvFailedCheck("index < count_"));
//
// The condition is matched literally: regular-expression characters in it are escaped.
inline std::string MvFailedCheck(const char* condition)
{
    std::string pattern = "Assertion failed: ";
    for (const char* c = condition; *c != '\0'; ++c) {
        if (std::strchr("\\^$.|?*+()[]{}", *c) != nullptr)
            pattern += '\\';
        pattern += *c;
    }
    return pattern;
}

// One row of a table of broken preconditions: what the row does, a call that breaks one,
// and the condition of the check that must stop it.
//
//     const MvDeathCase cases[] = {{"an index past the end", [&] { list.Get(7); }, "index < count_"}};
//     for (const MvDeathCase& c : cases)
//         EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
struct MvDeathCase {
    const char* what;
    std::function<void()> call;
    const char* condition;
};

#endif
