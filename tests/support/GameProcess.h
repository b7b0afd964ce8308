#ifndef GAME_PROCESS_H
#define GAME_PROCESS_H

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// The program under test, run as a child process in its own working folder with a few
// environment variables added. Everything it writes to standard output and standard
// error is collected, so a test can wait for a message, and every wait has a time limit,
// so a program that hangs fails the test instead of blocking it. A program still running
// when this object ends is killed.
class GameProcess {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    GameProcess() = default;
    // Kills the program if it still runs.
    ~GameProcess();

    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Starts program in folder with this process's environment plus env, killing a program
    // this object started before if it still runs. False with the reason in *error when
    // the child could not be made; a program that cannot be run shows up as exit code 127.
    bool Start(const std::string& program, const std::string& folder, const Environment& env,
               std::string* error);
    // The same with arguments after the program's name.
    bool Start(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
               const Environment& env, std::string* error);

    // Waits until the output holds text at least count times. False when the time limit
    // passes or the program ends without it.
    bool WaitForOutput(const std::string& text, int count, int timeoutMs);

    // Waits for the program to end and stores its exit code (128 + signal number when a
    // signal ended it). False when it still runs at the time limit.
    bool WaitForExit(int timeoutMs, int* exitCode);

    // Kills the program (SIGKILL, which no program can catch) and reaps it.
    void Kill();
    // Sends signal to the program while it runs; false when it has ended or the sending
    // failed.
    bool Signal(int signal);

    // How often text occurs in the output so far.
    int CountInOutput(const std::string& text) const;
    const std::string& Output() const;
    bool Running() const;

private:
    // Reads what the pipe holds, waiting at most waitMs for something to arrive.
    void ReadOutput(int waitMs);
    // Reaps the child if it has ended.
    void CheckExit();

    pid_t pid_ = -1;
    int outputFd_ = -1;
    bool exited_ = false;
    int exitCode_ = 0;
    std::string output_;
};

inline const std::string& GameProcess::Output() const { return output_; }
inline bool GameProcess::Running() const { return pid_ > 0 && !exited_; }

#endif
