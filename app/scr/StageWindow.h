// The stage's own window as the system knows it: the window of class
// "QuellmoorWindowClass" that this thread made, top-level or (the preview) a
// child of the given parent. The engine needs it for the calls that take a
// window handle (the password dialog, the input method, the preview's mailbox).
//
//   HWND own = StageWindowHandle(stage, previewParent);
#pragma once

#include "platform/win32/WindowsApi.h"

namespace quellmoor {

class RDibStage;

// Null before the window exists.
HWND FindStageWindow(HWND parent);
// Null while the stage has no window; `parent` is the preview's host, else null.
HWND StageWindowHandle(RDibStage& stage, HWND parent);

}  // namespace quellmoor
