#include "XClient.h"

#include "Clock.h"
#include "Screenshot.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdint>
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
    HoldKey(window, keysym);
    ReleaseKey(keysym);
}

void XClient::HoldKey(WindowId window, KeySymbol keysym)
{
    // Without a window manager nobody else hands out the focus.
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), True, CurrentTime);
    XSync(display_, False);
}

void XClient::ReleaseKey(KeySymbol keysym)
{
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), False, CurrentTime);
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

bool XClient::CaptureScreen(Screenshot* shot, std::string* error)
{
    const Window root = DefaultRootWindow(display_);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, root, &attributes)) {
        *error = "cannot read the root window's size";
        return false;
    }
    XImage* image = XGetImage(display_, root, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) {
        *error = "the server gave no picture of the screen";
        return false;
    }
    const unsigned long masks[3] = {image->red_mask, image->green_mask, image->blue_mask};
    int shifts[3], bits[3];
    for (int channel = 0; channel < 3; ++channel) {
        unsigned long mask = masks[channel];
        shifts[channel] = 0;
        bits[channel] = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shifts[channel];
        }
        while (mask & 1) {
            mask >>= 1;
            ++bits[channel];
        }
        if (bits[channel] < 4 || bits[channel] > 8 || mask) {
            *error = "the screen is not a true-colour screen of 4 to 8 bits a channel";
            XDestroyImage(image);
            return false;
        }
    }
    *shot = Screenshot(image->width, image->height, bits[0], bits[1], bits[2]);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            uint32_t rgb = 0;
            for (int channel = 0; channel < 3; ++channel) {
                // Widen to 8 bits by repeating the top bits, so white stays 0xFF.
                const unsigned long value = (pixel & masks[channel]) >> shifts[channel];
                const unsigned long wide = (value << (8 - bits[channel])) | (value >> (2 * bits[channel] - 8));
                rgb = (rgb << 8) | static_cast<uint32_t>(wide & 0xFF);
            }
            shot->Set(x, y, rgb);
        }
    }
    XDestroyImage(image);
    return true;
}

XClient::WindowId XClient::VisibleWindowAt(int x, int y)
{
    Window window = DefaultRootWindow(display_);
    for (;;) {
        int childX, childY;
        Window child = 0;
        // The child at the point is the topmost mapped one there, as the server stacks them.
        if (!XTranslateCoordinates(display_, DefaultRootWindow(display_), window, x, y, &childX, &childY, &child) ||
            !child)
            return window;
        window = child;
    }
}

bool XClient::WindowArea(WindowId window, int* left, int* top, int* width, int* height)
{
    XWindowAttributes attributes;
    Window child;
    if (!XGetWindowAttributes(display_, window, &attributes) ||
        !XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, left, top, &child))
        return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}
