// vesk-close-window: asks the window named NAME to close, as a window
// manager does when the user clicks its close button: a WM_DELETE_WINDOW
// message of the WM_PROTOCOLS kind. (xdotool can only destroy the window or
// kill its client, which no user can do.)
//
// Usage: vesk-close-window NAME. Exit status 0 when the request was sent, 1
// when no such window exists or it does not take the request.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

namespace {

Window findByName(Display* display, Window under, const char* name) {
    char* windowName = nullptr;
    if (XFetchName(display, under, &windowName) && windowName) {
        bool same = std::strcmp(windowName, name) == 0;
        XFree(windowName);
        if (same) return under;
    }
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, under, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) found = findByName(display, children[i], name);
    if (children) XFree(children);
    return found;
}

bool takesDeleteRequests(Display* display, Window window, Atom deleteWindow) {
    Atom* protocols = nullptr;
    int count = 0;
    bool takes = false;
    if (XGetWMProtocols(display, window, &protocols, &count)) {
        for (int i = 0; i < count; ++i) takes = takes || protocols[i] == deleteWindow;
        XFree(protocols);
    }
    return takes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vesk-close-window NAME\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "vesk-close-window: cannot open the display\n");
        return 1;
    }
    int status = 1;
    Window window = findByName(display, DefaultRootWindow(display), argv[1]);
    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    if (!window) {
        std::fprintf(stderr, "vesk-close-window: no window named '%s'\n", argv[1]);
    } else if (!takesDeleteRequests(display, window, deleteWindow)) {
        std::fprintf(stderr, "vesk-close-window: '%s' does not take WM_DELETE_WINDOW\n", argv[1]);
    } else {
        XEvent event;
        std::memset(&event, 0, sizeof event);
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XSync(display, False);
        status = 0;
    }
    XCloseDisplay(display);
    return status;
}
