#ifndef MV_LOG_SILENCER_H
#define MV_LOG_SILENCER_H

#include "MvLog.h"

#include <cstdio>

// Keeps the log's lines, progress and errors, off their streams while it lives, and puts
// back the streams it found when it goes. The debug-output channel still receives every
// line, so an MvLogCapture alongside it sees them.
class MvLogSilencer {
public:
    MvLogSilencer() : previous_(MvSetLogStream(nullptr)), previousErrors_(MvSetErrorStream(nullptr)) {}
    ~MvLogSilencer()
    {
        MvSetErrorStream(previousErrors_);
        MvSetLogStream(previous_);
    }

    MvLogSilencer(const MvLogSilencer&) = delete;
    MvLogSilencer& operator=(const MvLogSilencer&) = delete;

private:
    std::FILE* previous_;
    std::FILE* previousErrors_;
};

#endif
