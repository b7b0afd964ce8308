#ifndef E2E_CLOCK_H
#define E2E_CLOCK_H

#include <chrono>

// The clock that every time limit of the end-to-end test is measured on.
using Clock = std::chrono::steady_clock;

// The moment timeoutMs milliseconds from now.
inline Clock::time_point Deadline(int timeoutMs) { return Clock::now() + std::chrono::milliseconds(timeoutMs); }

// Milliseconds left until deadline, at least 0.
inline int MillisecondsLeft(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

#endif
