// Helpers shared by the pixies that show a surface: making surfaces, keeping
// the covered area up to date on the stage, and drawing with clip lists.
#pragma once

#include <memory>
#include <vector>

#include "model/Rect.h"

namespace quellmoor {

class RPixie;
class RSurface;

// A new surface from the current stage, or a plain bitmap surface when no
// stage exists (authoring tools and the fuzzer load streams without one).
std::unique_ptr<RSurface> MakeSurface(float width, float height);

// Compares the pixie's rectangle (its position, width x height) with `bounds`;
// marks the old and new areas dirty on the stage. True when it changed.
bool UpdateCoveredArea(RPixie& pixie, RRect& bounds, float width, float height);

// Copies `source` onto `destination` at (x, y): whole, or piece by piece
// through the clip rectangles when the image is larger than 256 pixels.
void DrawSurfaceAt(RSurface& destination, RSurface& source, float x, float y,
                   const std::vector<RRect>* clipRects, bool mirrorHorizontal, bool mirrorVertical);

}  // namespace quellmoor
