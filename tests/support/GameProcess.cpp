#include "GameProcess.h"

#include "Clock.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

GameProcess::~GameProcess()
{
    Kill();
    if (outputFd_ >= 0)
        close(outputFd_);
}

bool GameProcess::Start(const std::string& program, const std::string& folder, const Environment& env,
                        std::string* error)
{
    return Start(program, {}, folder, env, error);
}

bool GameProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& folder, const Environment& env, std::string* error)
{
    Kill();
    // The argument list, made before the fork.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0) {
        *error = std::string("pipe failed: ") + std::strerror(errno);
        return false;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        *error = std::string("fork failed: ") + std::strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        close(fds[1]);
        const int nullFd = open("/dev/null", O_RDONLY);
        if (nullFd >= 0)
            dup2(nullFd, STDIN_FILENO);
        if (chdir(folder.c_str()) != 0) {
            std::fprintf(stderr, "cannot enter %s: %s\n", folder.c_str(), std::strerror(errno));
            _exit(127);
        }
        for (const auto& variable : env)
            setenv(variable.first.c_str(), variable.second.c_str(), 1);
        execv(program.c_str(), argv.data());
        std::fprintf(stderr, "cannot run %s: %s\n", program.c_str(), std::strerror(errno));
        _exit(127);
    }
    close(fds[1]);
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    // A program started before is done with: its output goes.
    if (outputFd_ >= 0)
        close(outputFd_);
    pid_ = pid;
    outputFd_ = fds[0];
    exited_ = false;
    output_.clear();
    return true;
}

void GameProcess::ReadOutput(int waitMs)
{
    if (outputFd_ < 0) {
        if (waitMs > 0)
            usleep(static_cast<useconds_t>(waitMs) * 1000);
        return;
    }
    pollfd fd = {outputFd_, POLLIN, 0};
    if (poll(&fd, 1, waitMs) <= 0)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(outputFd_, buffer, sizeof buffer);
        if (n > 0) {
            output_.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n == 0) {
            // Every writer has closed the pipe: the program and its children are gone.
            close(outputFd_);
            outputFd_ = -1;
        }
        return;
    }
}

void GameProcess::CheckExit()
{
    if (pid_ <= 0 || exited_)
        return;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_)
        return;
    exited_ = true;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool GameProcess::WaitForOutput(const std::string& text, int count, int timeoutMs)
{
    const Clock::time_point deadline = Deadline(timeoutMs);
    for (;;) {
        if (CountInOutput(text) >= count)
            return true;
        CheckExit();
        if (exited_) {
            // Take in what the program wrote before it ended.
            while (outputFd_ >= 0)
                ReadOutput(100);
            return CountInOutput(text) >= count;
        }
        if (Clock::now() >= deadline)
            return false;
        ReadOutput(std::min(MillisecondsLeft(deadline), 20));
    }
}

bool GameProcess::WaitForExit(int timeoutMs, int* exitCode)
{
    const Clock::time_point deadline = Deadline(timeoutMs);
    for (;;) {
        CheckExit();
        if (exited_) {
            const Clock::time_point drainDeadline = Deadline(2000);
            while (outputFd_ >= 0 && Clock::now() < drainDeadline)
                ReadOutput(50);
            *exitCode = exitCode_;
            return true;
        }
        if (Clock::now() >= deadline)
            return false;
        ReadOutput(std::min(MillisecondsLeft(deadline), 20));
    }
}

void GameProcess::Kill()
{
    if (!Running())
        return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    exited_ = true;
    exitCode_ = 128 + SIGKILL;
}

bool GameProcess::Signal(int signal) { return Running() && kill(pid_, signal) == 0; }

int GameProcess::CountInOutput(const std::string& text) const
{
    int count = 0;
    for (size_t at = output_.find(text); at != std::string::npos; at = output_.find(text, at + text.size()))
        ++count;
    return count;
}
