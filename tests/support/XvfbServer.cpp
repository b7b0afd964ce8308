#include "XvfbServer.h"

#include "Clock.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Display numbers tried before giving up; taken numbers are skipped.
constexpr int DisplayAttempts = 50;

bool PathExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// A number whose lock file or socket exists belongs to another server (or a dead one
// that left its files behind); either way it is not ours to take.
bool DisplayLooksFree(int number)
{
    return !PathExists("/tmp/.X" + std::to_string(number) + "-lock") &&
           !PathExists("/tmp/.X11-unix/X" + std::to_string(number));
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

XvfbServer::~XvfbServer() { Stop(); }

bool XvfbServer::Start(int width, int height, int depth, int timeoutMs, std::string* error)
{
    Stop();
    const std::string screen =
        std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
    // Start at a number derived from the process id, so that tests started together
    // rarely try the same numbers.
    const int first = 100 + static_cast<int>(getpid() % 400) * 2;
    std::string reasons;
    for (int attempt = 0; attempt < DisplayAttempts; ++attempt) {
        const int number = first + attempt;
        if (!DisplayLooksFree(number))
            continue;
        std::string reason;
        switch (TryDisplay(number, screen, timeoutMs, &reason)) {
        case Launch::Ready:
            return true;
        case Launch::DisplayTaken:
            reasons += reason + "\n";
            continue;
        case Launch::Failed:
            *error = reason;
            return false;
        }
    }
    *error = "no free display number found for Xvfb:\n" + reasons;
    return false;
}

XvfbServer::Launch XvfbServer::TryDisplay(int number, const std::string& screen, int timeoutMs,
                                          std::string* error)
{
    const std::string name = ":" + std::to_string(number);
    char logPath[] = "/tmp/movo-xvfb-XXXXXX";
    const int logFd = mkstemp(logPath);
    if (logFd < 0) {
        *error = "cannot make a log file for Xvfb";
        return Launch::Failed;
    }

    const pid_t pid = fork();
    if (pid < 0) {
        close(logFd);
        unlink(logPath);
        *error = "fork failed";
        return Launch::Failed;
    }
    if (pid == 0) {
        dup2(logFd, STDOUT_FILENO);
        dup2(logFd, STDERR_FILENO);
        const int nullFd = open("/dev/null", O_RDONLY);
        if (nullFd >= 0)
            dup2(nullFd, STDIN_FILENO);
        execlp("Xvfb", "Xvfb", name.c_str(), "-noreset", "-nolisten", "tcp", "-screen", "0", screen.c_str(),
               static_cast<char*>(nullptr));
        std::fprintf(stderr, "cannot run Xvfb: %s\n", std::strerror(errno));
        _exit(127);
    }
    close(logFd);

    const Clock::time_point deadline = Deadline(timeoutMs);
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            // The server ended by itself: most often the number was taken after all.
            std::string log = ReadFile(logPath);
            unlink(logPath);
            *error = "Xvfb " + name + " ended at start: " + log;
            if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
                return Launch::Failed;
            return Launch::DisplayTaken;
        }
        if (::Display* probe = XOpenDisplay(name.c_str())) {
            XCloseDisplay(probe);
            // The connection could have reached another server that took the number
            // meanwhile; ours must still be alive (it would have ended on the clash).
            usleep(100 * 1000);
            if (waitpid(pid, &status, WNOHANG) == 0) {
                unlink(logPath);
                pid_ = pid;
                displayName_ = name;
                return Launch::Ready;
            }
            continue;
        }
        if (Clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            std::string log = ReadFile(logPath);
            unlink(logPath);
            *error = "Xvfb " + name + " accepted no connection within " + std::to_string(timeoutMs) +
                     " ms: " + log;
            return Launch::Failed;
        }
        usleep(50 * 1000);
    }
}

void XvfbServer::Stop()
{
    if (pid_ < 0)
        return;
    kill(pid_, SIGTERM);
    const Clock::time_point deadline = Deadline(5000);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        usleep(20 * 1000);
    }
    pid_ = -1;
    displayName_.clear();
}
