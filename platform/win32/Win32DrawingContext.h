// The Windows drawing context: text and polygons through GDI, written as
// palette indices into an 8-bit canvas.
//
//   auto dc = quellmoor::platform::CreateWin32DrawingContext(canvas);
//   dc->SetFont("Comic Sans MS", 19);   // a missing face falls back (under Wine: always)
//   dc->DrawWrappedCentred(text, box, ink);
//
// GDI draws into an 8-bit DIB section of the canvas's size whose colour table
// gives every index a colour of its own, so a colour GDI writes maps back to
// exactly one index. Each operation copies the area it may touch from the
// canvas into the section, draws clipped to that area, and copies the area
// back: pixels outside it are never written. Fonts are not antialiased, so
// only the ink index is ever written. Wrapping is platform/text's WrapText.
// Until SetFont is called the context uses a sans-serif face at 16 pixels
// (heights are cell heights: ascent plus descent). The canvas must outlive the
// context; a canvas whose stride is below its width, or without pixels but
// with a size, is refused with RParamException; a font the system cannot make
// at all throws RException.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace quellmoor::platform {

std::unique_ptr<DrawingContext> CreateWin32DrawingContext(const IndexedCanvas& canvas);

}  // namespace quellmoor::platform
