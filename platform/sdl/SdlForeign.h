// X windows the program did not create: attached through SDL, watched through Xlib.
//
// SDL_CreateWindowFrom with SDL_HINT_FRAMEBUFFER_ACCELERATION "0" draws into a
// foreign X window through its window surface. SDL only hears of the window's
// new sizes once StructureNotifyMask is selected on it (done here; button
// events are never selected: the window's owner has them). A vanished window
// makes Xlib report errors that would end the process through Xlib's default
// handler; ours records them instead, and existence is asked of the X server.
// Everything here answers "no" when SDL does not run on X11.
#pragma once

#include "platform/Platform.h"

struct SDL_Window;

namespace quellmoor::platform {

// True when SDL's video driver is X11 (foreign windows are X windows).
bool ForeignWindowsPossible();
// An SDL window over the X window `native`, its resizes followed; null when it does not exist.
SDL_Window* AttachForeignWindow(NativeWindow native);
// The root window of the default screen; none without an X display.
NativeWindow XRootWindow();
// True while the X window behind `window` exists.
bool ForeignWindowAlive(SDL_Window* window);
// The X window's client rectangle in root coordinates; all zero when it is gone.
PixelRect ForeignWindowRect(SDL_Window* window);
// What the X server shows in `window` (own or foreign), 0xRRGGBB; empty when it cannot be read.
ScreenPixels ReadXWindowPixels(SDL_Window* window);

}  // namespace quellmoor::platform
