#ifndef XVFB_SERVER_H
#define XVFB_SERVER_H

#include <string>
#include <sys/types.h>

// A private virtual X server for one test: Xvfb with one screen on a display number that
// no other server holds. Start returns only once the server accepts
// connections, so a test never talks to a server that is not up yet; several tests may
// start servers at once, each finding its own number. The server ends with this object.
class XvfbServer {
public:
    XvfbServer() = default;
    // Stops the server.
    ~XvfbServer();

    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Starts Xvfb with one screen of width x height pixels at depth bits and waits, at
    // most timeoutMs, until it accepts a connection. False with the reason in *error when
    // no server could be started.
    bool Start(int width, int height, int depth, int timeoutMs, std::string* error);

    // Ends the server (terminate, then kill after a grace period). Does nothing when
    // none runs.
    void Stop();

    // The display name of the running server, ":N".
    const std::string& DisplayName() const;

private:
    enum class Launch { Ready, DisplayTaken, Failed };
    Launch TryDisplay(int number, const std::string& screen, int timeoutMs, std::string* error);

    pid_t pid_ = -1;
    std::string displayName_;
};

inline const std::string& XvfbServer::DisplayName() const { return displayName_; }

#endif
