// Helpers shared by the pixies that show a surface: making surfaces, keeping
// the covered area up to date on the stage, and drawing with clip lists.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/Rect.h"

namespace quellmoor {

class RPixie;
class RSurface;

// A new surface from the current stage, or a plain bitmap surface when no
// stage exists (authoring tools and the fuzzer load streams without one).
std::unique_ptr<RSurface> MakeSurface(float width, float height);

// What a pixie last reported to the stage: where it was drawn, at which
// depth (a new depth changes what is in front without moving anything), and
// how it looked (a key that changes with a sprite's frame or flip).
struct CoveredArea {
    RRect rect;  // width 0: nothing reported
    float depth = 0;
    std::uint64_t look = 0;
};

// Compares the pixie's rectangle (its position, width x height), depth and
// `look` with `area`; marks the old and new rectangles dirty on the stage.
// True when any of them changed.
bool UpdateCoveredArea(RPixie& pixie, CoveredArea& area, float width, float height, std::uint64_t look = 0);

// Marks the reported rectangle dirty, for a pixie that goes away.
void ReleaseCoveredArea(const CoveredArea& area);

// Copies `source` onto `destination` at (x, y): whole, or piece by piece
// through the clip rectangles when the image is larger than 256 pixels.
void DrawSurfaceAt(RSurface& destination, RSurface& source, float x, float y,
                   const std::vector<RRect>* clipRects, bool mirrorHorizontal, bool mirrorVertical);

}  // namespace quellmoor
