// vesk-x-window: what the reliability scripts need of X that xdotool lacks.
//
//   find NAME   prints the id of every window named NAME, one a line. SDL
//               names its message boxes with a UTF-8 WM_NAME, which
//               xdotool's search does not match.
//   close NAME  asks the window named NAME to close, as a window manager
//               does when the user clicks its close button: a
//               WM_DELETE_WINDOW message of the WM_PROTOCOLS kind. (xdotool
//               can only destroy the window or kill its client, which no
//               user can do.)
//
// Exit status 0 when a window was found (and, for close, took the request),
// 1 otherwise, 2 for a bad command line.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// WM_NAME as its bytes, whatever its type (STRING or UTF-8).
bool hasName(Display* display, Window window, const char* name) {
    XTextProperty property;
    if (!XGetWMName(display, window, &property) || !property.value) return false;
    bool same = property.format == 8 && property.nitems == std::strlen(name) &&
                std::memcmp(property.value, name, property.nitems) == 0;
    XFree(property.value);
    return same;
}

void findByName(Display* display, Window under, const char* name, std::vector<Window>& found) {
    if (hasName(display, under, name)) found.push_back(under);
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, under, &root, &parent, &children, &count)) return;
    for (unsigned int i = 0; i < count; ++i) findByName(display, children[i], name, found);
    if (children) XFree(children);
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
    const std::string command = argc == 3 ? argv[1] : "";
    if (command != "find" && command != "close") {
        std::fprintf(stderr, "usage: vesk-x-window find|close NAME\n");
        return 2;
    }
    const char* name = argv[2];
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "vesk-x-window: cannot open the display\n");
        return 1;
    }
    int status = 1;
    std::vector<Window> found;
    findByName(display, DefaultRootWindow(display), name, found);
    const Window window = found.empty() ? 0 : found.front();
    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    if (!window) {
        if (command == "close") std::fprintf(stderr, "vesk-x-window: no window named '%s'\n", name);
    } else if (command == "find") {
        for (Window w : found) std::printf("%lu\n", static_cast<unsigned long>(w));
        status = 0;
    } else if (!takesDeleteRequests(display, window, deleteWindow)) {
        std::fprintf(stderr, "vesk-x-window: '%s' does not take WM_DELETE_WINDOW\n", name);
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
