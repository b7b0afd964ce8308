#ifndef MV_LOG_CAPTURE_H
#define MV_LOG_CAPTURE_H

#include "MvDebugOutput.h"
#include "MvLog.h"

#include <gtest/gtest.h>

#include <string>

// Collects every line sent to the debug-output channel while it lives, so a test can
// check what the engine logged. It can also keep the test's output quiet meanwhile: it
// swallows standard output (gtest allows one such capture at a time) and turns the log's
// error stream off, for tests that make the engine refuse things on purpose.
class MvLogCapture {
public:
    enum StdoutMode { KeepStdout, QuietStdout };

    explicit MvLogCapture(StdoutMode mode = KeepStdout) : quiet_(mode == QuietStdout)
    {
        previous_ = MvSetDebugSink(Collect, &text_, &previousContext_);
        if (quiet_) {
            testing::internal::CaptureStdout();
            previousErrors_ = MvSetErrorStream(nullptr);
        }
    }

    ~MvLogCapture()
    {
        if (quiet_) {
            MvSetErrorStream(previousErrors_);
            testing::internal::GetCapturedStdout();
        }
        MvSetDebugSink(previous_, previousContext_);
    }

    MvLogCapture(const MvLogCapture&) = delete;
    MvLogCapture& operator=(const MvLogCapture&) = delete;

    // Everything logged so far.
    const std::string& Text() const { return text_; }
    bool Contains(const std::string& part) const { return text_.find(part) != std::string::npos; }
    // Forgets what was logged so far.
    void Clear() { text_.clear(); }

private:
    static void Collect(const char* text, void* context) { static_cast<std::string*>(context)->append(text); }

    std::string text_;
    MvDebugSink previous_;
    void* previousContext_ = nullptr;
    std::FILE* previousErrors_ = nullptr;
    bool quiet_;
};

#endif
