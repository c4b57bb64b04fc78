// Composes the ship the way the show does (skin under the outline's blue key,
// interior, mascot and mail behind the window, gear and flame below), so the
// parts can be checked together in PNG previews.
#pragma once

#include "content/tools/contentgen/Art.h"

namespace contentgen {

struct ShipParts {
    const Canvas* skin = nullptr;
    const Canvas* outline = nullptr;
    const Canvas* inside = nullptr;
    const Canvas* gear = nullptr;    // null: gear in
    const Canvas* flame = nullptr;   // null: engine off
    const Canvas* mascot = nullptr;  // null: nobody aboard
    const Canvas* mail = nullptr;
};

// Draws the ship with its hull's bottom centre at (x, y).
void DrawShip(Canvas& onto, const ShipParts& parts, int x, int y);

}  // namespace contentgen
