// The demonstration stream: a stage with a sky-and-meadow background, a sun,
// a house, a tree in front of it, a small ship that flies across, and a timer
// "Mover" (25 ms) that the program uses to move things. All drawn in code.
//
// Colours the display test checks (0xRRGGBB): sky, meadow, sun, house, tree;
// the sun's corners are see-through (magenta is its transparent colour).
#pragma once

#include <cstdint>
#include <string>

namespace quellmoor::demo {

inline constexpr std::uint32_t kSky = 0x283CA0, kMeadow = 0x1E7828, kSun = 0xFAD228, kHouse = 0xC82828,
                               kTree = 0x146414, kShip = 0xB4B4BE, kStar = 0xFFFFFF;

// Places: the sun at (24, 24) 48 x 48; the house at (200, 140) 60 x 40 with
// depth 5; the tree at (240, 120) 30 x 50 with depth 1 (in front of the house).
// `sprites` adds that many 12 x 12 see-through rings ("Sprite0", ...) and, when
// there are any, a 300 x 200 panel ("Panel") behind them: the measured load.
std::string BuildDemoStream(int width, int height, int sprites);

}  // namespace quellmoor::demo
