// The generators of the show's pictures. Each returns named canvases drawn
// in the shared palette; main.cpp writes them out as bitmap files.
//
//   for (auto& [name, canvas] : MascotFrames()) Save("vexmon/" + name + ".bmp", canvas);
//
// Sizes that the ship code relies on: the hull is 320 x 237 with its bottom
// centre at (160, 237); the interior is 220 wide and drawn 159 pixels above
// the hull's bottom edge; the mascot's frames are 64 x 112 and sit in the
// ship with their top 190 pixels above the hull's bottom edge.
#pragma once

#include <map>
#include <string>

#include "content/tools/contentgen/Canvas.h"

namespace contentgen {

using Frames = std::map<std::string, Canvas>;

constexpr int kHullWidth = 320;
constexpr int kHullHeight = 237;
constexpr int kInsideWidth = 220;
constexpr int kInsideHeight = 130;
constexpr int kGearWidth = 280;
constexpr int kGearHeight = 77;
constexpr int kMascotWidth = 64;
constexpr int kMascotHeight = 112;

Frames MascotFrames();                 // "stand1", "talk1", "s_l90", ...
Frames ShipPictures();                 // "Ship-Outline", "Ship-Inside", "Ship-Land", "deur1", "deur2", "InsideNight"
Frames ShipSkins();                    // "Classic", "Tiger", "Moo", "Midnight" (kHullWidth x kHullHeight)
Frames EngineFrames();                 // "flame1_a" ... for the two engines
Frames SkyPictures();                  // backgrounds, planets, nebulae, the preview screens
Frames VisitorFrames();                // the visitors and planet natives
// Frames kept as text: every "frame" of every .art file in `dir`.
Frames PixelArtFrames(const std::string& dir);
// Draws the ship, the mascot and the titles onto the preview screens.
void DecorateScreens(Frames& sky, const Frames& ship, const Frames& skins, const Frames& mascot, const Frames& engine);

}  // namespace contentgen
