#ifndef MV_QUIET_STDOUT_H
#define MV_QUIET_STDOUT_H

// Sends the process's standard output to /dev/null while it lives. The engine logs its
// progress (every record loaded, every image written) on standard output; the tools keep
// their own output readable by silencing those lines around engine calls, and show them
// again with --verbose. Messages meant for the user go to standard error or are printed
// after the silencer is gone.
class MvQuietStdout {
public:
    // Flushes standard output and redirects it; does nothing when active is false or
    // the redirection cannot be made.
    explicit MvQuietStdout(bool active = true);
    // Flushes and restores standard output.
    ~MvQuietStdout();

    MvQuietStdout(const MvQuietStdout&) = delete;
    MvQuietStdout& operator=(const MvQuietStdout&) = delete;

private:
    int saved_; // the original descriptor 1, or -1 when nothing was redirected
};

#endif
