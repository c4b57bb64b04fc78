// Filled and outlined polygons written as one palette index into an 8-bit canvas.
//
//   FillPolygonOn(canvas, points, 255);     // interior, even-odd rule
//   OutlinePolygonOn(canvas, points, 0);    // closed one-pixel outline
//
// Coordinates are pixels with y = 0 the top row; the canvas stores rows
// bottom-up, as the engine's bitmaps do. A point names the top-left corner of
// a pixel: a pixel is filled when its centre lies inside the polygon (on a left
// or top edge counts as inside, on a right or bottom edge as outside), so the
// rectangle (0,0) (10,0) (10,10) (0,10) fills exactly 10 x 10 pixels, as
// Windows fills polygons. The outline joins consecutive points and the last to
// the first with lines that include both end pixels. Everything is clipped to
// the canvas; any int coordinates are safe, and work is bounded by the canvas
// size, not by the polygon's. Fewer than three points fill nothing.
#pragma once

#include <cstdint>
#include <span>

#include "platform/Platform.h"

namespace quellmoor::text {

void FillPolygonOn(const platform::IndexedCanvas& canvas, std::span<const platform::Point> points,
                   std::uint8_t index);
void OutlinePolygonOn(const platform::IndexedCanvas& canvas, std::span<const platform::Point> points,
                      std::uint8_t index);
// One line including both end pixels.
void DrawSegmentOn(const platform::IndexedCanvas& canvas, platform::Point from, platform::Point to,
                   std::uint8_t index);

}  // namespace quellmoor::text
