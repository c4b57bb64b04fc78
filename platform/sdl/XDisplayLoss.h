// The end of the program when its X server goes away.
//
// Xlib reports a broken connection to an I/O error handler that must not
// return, and its default one leaves through exit(): atexit handlers and the
// destructors of statics then run in a process whose libraries (SDL, sound,
// D-Bus) still hold threads and state tied to the dead connection, and a
// program that hangs there keeps its one-instance lock. Ours prints one line
// on standard error, "<program>: the X display <name> went away, so the
// program ends.", and leaves with _exit(1): nothing more runs, and the kernel releases
// the lock file and every other descriptor.
//
//   SDL_Init(SDL_INIT_VIDEO);
//   EndProgramOnDisplayLoss();   // after SDL, whose video start may set its own
#pragma once

namespace quellmoor::platform {

// Installs the handler when SDL drives X11; does nothing otherwise.
void EndProgramOnDisplayLoss();

}  // namespace quellmoor::platform
