#include "StopSignal.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t stopSignalled = 0;

// Async-signal-safe: it only writes the note.
void NoteStop(int) { stopSignalled = 1; }

} // namespace

void CatchStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = NoteStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool StopSignalled() { return stopSignalled != 0; }

void SetStopSignalled(bool signalled) { stopSignalled = signalled ? 1 : 0; }
