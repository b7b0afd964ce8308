#ifndef X_CLIENT_H
#define X_CLIENT_H

#include <string>

class Screenshot;
struct _XDisplay;

// A test's own connection to an X server, acting as the person in front of it: it finds
// a program's window by its title, waits until the window is on screen, types or holds
// keys in it through the XTest extension, asks it to close the way a window manager
// would, and looks at what the screen shows. X errors (a window that vanished between two
// requests) are ignored, not fatal.
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

    // Gives window the input focus and presses the key with keysym, leaving it held: a
    // game that reads held keys sees it down until ReleaseKey.
    void HoldKey(WindowId window, KeySymbol keysym);

    // Releases the key with keysym (held by HoldKey) wherever the focus is.
    void ReleaseKey(KeySymbol keysym);

    // Reads what the whole screen shows (the root window with everything mapped on it)
    // into *shot. False with the reason in *error when the server gives no picture or one
    // of a pixel layout this reader does not know (only true-colour screens are read).
    bool CaptureScreen(Screenshot* shot, std::string* error);

    // The innermost window that shows at screen point (x, y): the window a person sees
    // there, whichever program window holds the picture (a full-screen SDL program draws
    // into a child of a window of the screen's size). The root window when no other does.
    WindowId VisibleWindowAt(int x, int y);

    // The screen position of window's top-left corner and its size. False when the
    // window is gone.
    bool WindowArea(WindowId window, int* left, int* top, int* width, int* height);

    // Sends window the WM_DELETE_WINDOW message of the WM_PROTOCOLS protocol: the
    // request a window manager makes when the close button is clicked.
    void RequestClose(WindowId window);

private:
    WindowId FindByTitle(WindowId under, const std::string& title);

    _XDisplay* display_ = nullptr;
};

#endif
