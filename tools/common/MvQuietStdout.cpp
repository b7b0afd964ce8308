#include "MvQuietStdout.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

MvQuietStdout::MvQuietStdout(bool active) : saved_(-1)
{
    if (!active)
        return;
    std::fflush(stdout);
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0)
        return;
    saved_ = dup(STDOUT_FILENO);
    if (saved_ >= 0 && dup2(null, STDOUT_FILENO) < 0) {
        close(saved_);
        saved_ = -1;
    }
    close(null);
}

MvQuietStdout::~MvQuietStdout()
{
    if (saved_ < 0)
        return;
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
}
