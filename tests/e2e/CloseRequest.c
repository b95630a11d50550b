/* Sends a window manager's close request (WM_DELETE_WINDOW) to the first
 * top-level window whose name matches argv[1], as a desktop's close button would. */
#include <stdio.h>
#include <string.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

static Window findByName(Display* display, Window window, const char* name)
{
    char* windowName = NULL;
    if (XFetchName(display, window, &windowName) && windowName) {
        const int match = strcmp(windowName, name) == 0;
        XFree(windowName);
        if (match) {
            return window;
        }
    }
    Window root, parent, *children = NULL;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i) {
            found = findByName(display, children[i], name);
        }
        if (children) {
            XFree(children);
        }
    }
    return found;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s WINDOW_NAME\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "no display\n");
        return 1;
    }
    const Window target = findByName(display, DefaultRootWindow(display), argv[1]);
    if (!target) {
        fprintf(stderr, "no window named %s\n", argv[1]);
        XCloseDisplay(display);
        return 1;
    }
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return 0;
}
