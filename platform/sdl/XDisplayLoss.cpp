#include "platform/sdl/XDisplayLoss.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <SDL.h>
#include <X11/Xlib.h>
#include <unistd.h>

namespace quellmoor::platform {

namespace {

[[noreturn]] int EndProgram(Display* display) {
    const char* name = display ? DisplayString(display) : nullptr;
    char line[512];
    const int length = std::snprintf(line, sizeof line, "%s: the X display %s went away, so the program ends.\n",
                                     program_invocation_short_name, name && *name ? name : "in use");
    if (length > 0) {
        const auto size = std::min(static_cast<std::size_t>(length), sizeof line - 1);
        // Nothing to do about a failed write: the process ends either way.
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line, size);
    }
    ::_exit(1);
}

}  // namespace

void EndProgramOnDisplayLoss() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "x11") == 0) XSetIOErrorHandler(EndProgram);
}

}  // namespace quellmoor::platform
