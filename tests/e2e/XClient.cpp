#include "XClient.h"

#include "Clock.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <unistd.h>

namespace {

int IgnoreError(::Display*, XErrorEvent*) { return 0; }

} // namespace

XClient::~XClient()
{
    if (display_)
        XCloseDisplay(display_);
}

bool XClient::Open(const std::string& displayName, std::string* error)
{
    XSetErrorHandler(IgnoreError);
    display_ = XOpenDisplay(displayName.c_str());
    if (!display_) {
        *error = "cannot connect to " + displayName;
        return false;
    }
    int eventBase, errorBase, major, minor;
    if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor)) {
        *error = displayName + " has no XTest extension";
        return false;
    }
    return true;
}

std::string XClient::WindowTitle(WindowId window)
{
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display_, window, XA_WM_NAME, 0, 1024, False, AnyPropertyType, &type, &format, &count,
                           &remaining, &data) == Success &&
        data) {
        if (format == 8)
            title.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return title;
}

XClient::WindowId XClient::FindByTitle(WindowId under, const std::string& title)
{
    Window root, parent;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, under, &root, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        if (WindowTitle(children[i]) == title)
            found = children[i];
        else
            found = FindByTitle(children[i], title);
    }
    if (children)
        XFree(children);
    return found;
}

XClient::WindowId XClient::WaitForWindow(const std::string& title, int timeoutMs)
{
    const Clock::time_point deadline = Deadline(timeoutMs);
    for (;;) {
        if (WindowId window = FindByTitle(DefaultRootWindow(display_), title))
            return window;
        if (Clock::now() >= deadline)
            return 0;
        usleep(50 * 1000);
    }
}

bool XClient::WaitUntilViewable(WindowId window, int timeoutMs)
{
    const Clock::time_point deadline = Deadline(timeoutMs);
    for (;;) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable)
            return true;
        if (Clock::now() >= deadline)
            return false;
        usleep(50 * 1000);
    }
}

void XClient::PressKey(WindowId window, KeySymbol keysym)
{
    // Without a window manager nobody else hands out the focus.
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XSync(display_, False);
}

void XClient::RequestClose(WindowId window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
}
