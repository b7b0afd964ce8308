#ifndef STOP_SIGNAL_H
#define STOP_SIGNAL_H

// SIGINT (Ctrl-C) and SIGTERM end the program as Escape does. The handler only notes the
// signal; the screens' loops, which wake at least every tick, and the death pause look at
// the note and leave the way Escape makes them leave. Caught before SDL starts, so that
// SDL keeps these handlers instead of turning the signals into quit events, which only
// move on to the next screen.

// Installs the handlers of SIGINT and SIGTERM.
void CatchStopSignals();

// True once SIGINT or SIGTERM arrived, or StopSignalled was faked by SetStopSignalled.
bool StopSignalled();

// Sets or clears the note as a signal would; for tests.
void SetStopSignalled(bool signalled);

#endif
