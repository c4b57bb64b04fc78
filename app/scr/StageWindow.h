// The stage's own window as the system knows it: the window of class
// "QuellmoorWindowClass" that this thread made, top-level or (the preview) a
// child of the given parent. The engine needs it for the calls that take a
// window handle (the password dialog, the input method, the preview's mailbox).
//
//   HWND own = StageWindowHandle(stage, previewParent);
#pragma once

#include <cstdint>

#include "platform/win32/WindowsApi.h"

namespace quellmoor {

class RDibStage;

// A window handle as the command line gives it (its low 32 bits): widened
// with the sign, as the system widens handles between 32 and 64 bits.
HWND HandleFromNumber(std::uint32_t number);
std::uint32_t NumberFromHandle(HWND window);

// Null before the window exists.
HWND FindStageWindow(HWND parent);
// Null while the stage has no window; `parent` is the preview's host, else null.
HWND StageWindowHandle(RDibStage& stage, HWND parent);

}  // namespace quellmoor
