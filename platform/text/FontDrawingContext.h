// The Linux drawing context: text through FreeType and fontconfig, polygons by
// our own scanline fill, written as palette indices into an 8-bit canvas.
//
//   auto dc = quellmoor::CreateFontDrawingContext(canvas);
//   dc->SetFont("Comic Sans MS", 19);
//   platform::TextSize size = dc->MeasureWrapped(text, 120);
//   dc->DrawWrappedCentred(text, {x, y, size.width, size.height}, 0);
//
// The SDL backend uses it; the headless one is given it (HeadlessOptions::drawingContexts).
// Glyphs are rendered one bit per pixel (no antialiasing), so only the ink
// index is ever written. Text is Windows-1252; control characters draw nothing.
// Until SetFont is called the context uses the default sans-serif face at 16
// pixels. MeasureLine of empty text still reports one line's height;
// MeasureWrapped reports the widest line (wider than the limit only for a word
// that does not fit) and zero for empty text. DrawWrappedCentred clips to the
// box and the canvas, everything else to the canvas. The canvas must outlive
// the context; a canvas whose stride is smaller than its width, or without
// pixels but with a size, is refused with RParamException, and SetFont throws
// RException when the system has no usable font at all.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace quellmoor {

std::unique_ptr<platform::DrawingContext> CreateFontDrawingContext(const platform::IndexedCanvas& canvas);

}  // namespace quellmoor
