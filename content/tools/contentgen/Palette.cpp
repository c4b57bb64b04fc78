#include "content/tools/contentgen/Palette.h"

#include <algorithm>

namespace contentgen {

namespace {

Rgb Mix(Rgb a, Rgb b, double t) {
    auto m = [t](int x, int y) { return static_cast<std::uint8_t>(std::clamp(x + (y - x) * t + 0.5, 0.0, 255.0)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// Dark end, middle (the ramp's own colour) and light end of each ramp.
struct RampColours {
    Rgb dark, mid, light;
};

constexpr RampColours kRamps[15] = {
    {{14, 16, 24}, {112, 128, 150}, {236, 242, 250}},   // Steel
    {{22, 8, 36}, {142, 84, 196}, {238, 222, 255}},     // Violet
    {{30, 4, 6}, {206, 40, 48}, {255, 214, 206}},       // Red
    {{36, 12, 2}, {240, 120, 24}, {255, 236, 190}},     // Orange
    {{34, 24, 2}, {226, 182, 30}, {255, 250, 210}},     // Gold
    {{4, 24, 8}, {52, 164, 72}, {214, 250, 200}},       // Green
    {{2, 22, 26}, {30, 160, 168}, {206, 250, 246}},     // Teal
    {{6, 14, 40}, {70, 140, 226}, {222, 238, 255}},     // Sky
    {{3, 4, 14}, {26, 34, 88}, {150, 164, 226}},        // Navy
    {{32, 4, 22}, {222, 74, 160}, {255, 220, 240}},     // Pink
    {{30, 22, 10}, {204, 170, 112}, {255, 246, 222}},   // Sand
    {{26, 10, 6}, {150, 72, 40}, {244, 200, 170}},      // Rust
    {{40, 20, 14}, {232, 164, 128}, {255, 238, 224}},   // Peach
    {{16, 26, 2}, {164, 214, 36}, {242, 255, 196}},     // Lime
    {{8, 8, 8}, {128, 128, 128}, {255, 255, 255}},      // Grey
};

std::array<Rgb, 256> Build() {
    std::array<Rgb, 256> p{};
    p[kBlack] = {0, 0, 0};
    p[kClear] = {0, 255, 0};
    p[kSkinKey] = {0, 0, 255};
    p[kPaleYellow] = {255, 248, 176};
    p[kAmber] = {255, 196, 64};
    p[kHotOrange] = {255, 104, 32};
    p[kGlowCyan] = {128, 255, 255};
    p[kGlowPink] = {255, 128, 255};
    p[kGlowLime] = {192, 255, 128};
    p[kNight1] = {20, 16, 48};
    p[kNight2] = {12, 10, 30};
    p[kNight3] = {6, 6, 16};
    p[kRose] = {255, 224, 224};
    p[kLavender] = {224, 224, 255};
    p[kMidGrey] = {160, 160, 160};
    p[kDarkGrey] = {96, 96, 96};
    for (int r = 0; r < 15; ++r) {
        const RampColours& c = kRamps[r];
        for (int l = 0; l < 16; ++l) {
            const double t = l / 15.0;
            const Rgb colour = t < 0.6 ? Mix(c.dark, c.mid, t / 0.6) : Mix(c.mid, c.light, (t - 0.6) / 0.4);
            p[static_cast<std::size_t>((r + 1) * 16 + l)] = colour;
        }
    }
    p[kWhite] = {255, 255, 255};
    return p;
}

}  // namespace

const std::array<Rgb, 256>& SharedPalette() {
    static const std::array<Rgb, 256> palette = Build();
    return palette;
}

}  // namespace contentgen
