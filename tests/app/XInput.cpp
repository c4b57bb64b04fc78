// vexmon_x_input: input for the display tests, through plain Xlib.
//   vexmon_x_input find TITLE      exit 0 when a window titled TITLE is mapped
//   vexmon_x_input move X Y        moves the pointer to (X, Y) on the screen
//   vexmon_x_input key TITLE KEY   presses and releases KEY (a keysym name: "a", "s", "F4")
//                                  in the window titled TITLE
//   vexmon_x_input host W H FILE   makes and shows a white W x H window at (0, 0), writes
//                                  its id (0x hex) to FILE and keeps it until killed
//   vexmon_x_input resize ID W H   resizes the window ID (decimal or 0x hex)
// The pointer really moves (XWarpPointer), so the server reports the motion
// as it would a mouse's; keys are sent to the window as events.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

Window FindTitled(Display* display, Window parent, const char* title) {
    char* name = nullptr;
    if (XFetchName(display, parent, &name) && name) {
        const bool match = std::strcmp(name, title) == 0;
        XFree(name);
        XWindowAttributes attributes;
        if (match && XGetWindowAttributes(display, parent, &attributes) && attributes.map_state == IsViewable)
            return parent;
    }
    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) found = FindTitled(display, children[i], title);
    if (children) XFree(children);
    return found;
}

void SendKey(Display* display, Window window, KeyCode code, int type) {
    XKeyEvent event{};
    event.type = type;
    event.display = display;
    event.window = window;
    event.root = DefaultRootWindow(display);
    event.subwindow = None;
    event.time = CurrentTime;
    event.same_screen = True;
    event.keycode = code;
    XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask,
               reinterpret_cast<XEvent*>(&event));
}

}  // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "vexmon_x_input: no display\n");
        return 2;
    }
    int status = 2;
    const Window root = DefaultRootWindow(display);
    if (argc == 3 && std::strcmp(argv[1], "find") == 0) {
        status = FindTitled(display, root, argv[2]) ? 0 : 1;
    } else if (argc == 4 && std::strcmp(argv[1], "move") == 0) {
        XWarpPointer(display, None, root, 0, 0, 0, 0, std::atoi(argv[2]), std::atoi(argv[3]));
        status = 0;
    } else if (argc == 4 && std::strcmp(argv[1], "key") == 0) {
        const Window window = FindTitled(display, root, argv[2]);
        const KeySym symbol = XStringToKeysym(argv[3]);
        if (window && symbol != NoSymbol) {
            const KeyCode code = XKeysymToKeycode(display, symbol);
            SendKey(display, window, code, KeyPress);
            SendKey(display, window, code, KeyRelease);
            status = 0;
        } else {
            status = 1;
        }
    } else if (argc == 5 && std::strcmp(argv[1], "resize") == 0) {
        XResizeWindow(display, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)),
                      static_cast<unsigned>(std::atoi(argv[3])), static_cast<unsigned>(std::atoi(argv[4])));
        status = 0;
    } else if (argc == 5 && std::strcmp(argv[1], "host") == 0) {
        const Window host = XCreateSimpleWindow(display, root, 0, 0, static_cast<unsigned>(std::atoi(argv[2])),
                                                static_cast<unsigned>(std::atoi(argv[3])), 0, 0,
                                                WhitePixel(display, DefaultScreen(display)));
        XStoreName(display, host, "Host");
        XMapWindow(display, host);
        XSync(display, False);
        if (std::FILE* file = std::fopen(argv[4], "w")) {
            std::fprintf(file, "0x%lx\n", host);
            std::fclose(file);
        }
        for (;;) pause();
    } else {
        std::fprintf(stderr, "usage: vexmon_x_input find TITLE | move X Y | key TITLE KEY | host W H FILE | resize ID W H\n");
    }
    XSync(display, False);
    XCloseDisplay(display);
    return status;
}
