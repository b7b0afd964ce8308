#ifndef MV_LOG_SILENCER_H
#define MV_LOG_SILENCER_H

#include "MvLog.h"

#include <cstdio>

// Keeps MvLog's lines (a loader's progress lines, say) off the log stream while it lives,
// and puts back the stream it found when it goes. The debug-output channel still receives
// every line, so an MvLogCapture alongside it sees them.
class MvLogSilencer {
public:
    MvLogSilencer() : previous_(MvSetLogStream(nullptr)) {}
    ~MvLogSilencer() { MvSetLogStream(previous_); }

    MvLogSilencer(const MvLogSilencer&) = delete;
    MvLogSilencer& operator=(const MvLogSilencer&) = delete;

private:
    std::FILE* previous_;
};

#endif
