// The one palette every bitmap of the show shares.
//
// Pixels are copied between bitmaps as raw indices, so all art is drawn in
// these 256 colours: black at 0 and white at 255 (the speech balloon draws
// with them), pure green at 1 (the transparent colour), pure blue at 2 (where
// the ship's outline lets the skin show), a few bright specials, and fifteen
// ramps of 16 shades from dark to light.
//
//   canvas.Set(x, y, Shade(Ramp::Violet, 9));
#pragma once

#include <array>
#include <cstdint>

namespace contentgen {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kClear = 1;    // 00FF00, drawn as transparent
constexpr std::uint8_t kSkinKey = 2;  // 0000FF, the skin shows through
constexpr std::uint8_t kWhite = 255;

// Bright specials for highlights and lights.
constexpr std::uint8_t kPaleYellow = 3, kAmber = 4, kHotOrange = 5, kGlowCyan = 6, kGlowPink = 7, kGlowLime = 8,
                       kNight1 = 9, kNight2 = 10, kNight3 = 11, kRose = 12, kLavender = 13, kMidGrey = 14,
                       kDarkGrey = 15;

enum class Ramp : std::uint8_t {
    Steel = 1, Violet, Red, Orange, Gold, Green, Teal, Sky, Navy, Pink, Sand, Rust, Peach, Lime, Grey
};

// Shade 0 is nearly black, 15 nearly white (Grey 15 is pure white).
constexpr std::uint8_t Shade(Ramp ramp, int level) {
    level = level < 0 ? 0 : level > 15 ? 15 : level;
    return static_cast<std::uint8_t>(static_cast<int>(ramp) * 16 + level);
}

const std::array<Rgb, 256>& SharedPalette();

}  // namespace contentgen
