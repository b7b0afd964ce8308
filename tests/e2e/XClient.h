#ifndef X_CLIENT_H
#define X_CLIENT_H

#include <string>

struct _XDisplay;

// A test's own connection to an X server, acting as the person in front of it: it finds
// a program's window by its title, waits until the window is on screen, types keys into
// it through the XTest extension and asks it to close the way a window manager would.
// X errors (a window that vanished between two requests) are ignored, not fatal.
class XClient {
public:
    // X resource ids, without pulling Xlib's macros into every test.
    using WindowId = unsigned long;
    using KeySymbol = unsigned long;

    XClient() = default;
    // Closes the connection.
    ~XClient();

    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // Connects to displayName. False with the reason in *error when the connection
    // fails or the server lacks the XTest extension.
    bool Open(const std::string& displayName, std::string* error);

    // A window anywhere in the tree whose WM_NAME is title, waiting at most timeoutMs
    // for it to appear; 0 when none did.
    WindowId WaitForWindow(const std::string& title, int timeoutMs);

    // Waits at most timeoutMs until window is viewable (mapped, with mapped ancestors).
    bool WaitUntilViewable(WindowId window, int timeoutMs);

    // The WM_NAME property of window as bytes; empty when it has none.
    std::string WindowTitle(WindowId window);

    // Gives window the input focus, then presses and releases the key with keysym.
    void PressKey(WindowId window, KeySymbol keysym);

    // Sends window the WM_DELETE_WINDOW message of the WM_PROTOCOLS protocol: the
    // request a window manager makes when the close button is clicked.
    void RequestClose(WindowId window);

private:
    WindowId FindByTitle(WindowId under, const std::string& title);

    _XDisplay* display_ = nullptr;
};

#endif
