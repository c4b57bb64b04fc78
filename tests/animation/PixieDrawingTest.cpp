// Drawing through a clip list must put every pixel where a whole copy puts it,
// mirrored or not, at whole and fractional places, partly outside too.
#include "animation/PixieDrawing.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>

#include "imaging/Dib.h"
#include "imaging/Surface.h"

namespace quellmoor {
namespace {

constexpr std::uint8_t kKey = 5;

RDibSurface Patterned(int width, int height, int seed) {
    RDibSurface surface(static_cast<float>(width), static_cast<float>(height));
    Palette palette{};
    for (int i = 0; i < 256; ++i) {
        const auto c = static_cast<std::uint8_t>(i);
        palette[static_cast<std::size_t>(i)] = {c, c, c, 0};
    }
    RDib& dib = *surface.GetDib();
    dib.SetPalette(palette);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dib.FillRect({static_cast<float>(x), static_cast<float>(y), 1, 1},
                         static_cast<std::uint8_t>((x + 2 * y + seed) % 7 == 0 ? kKey
                                                                               : 20 + (x * 5 + y * 11 + seed) % 200));
    return surface;
}

struct Placement {
    float x, y;
    bool mirrorH, mirrorV;
};

void PrintTo(const Placement& p, std::ostream* out) {
    *out << "(" << p.x << ", " << p.y << ")" << (p.mirrorH ? " mirrored" : "") << (p.mirrorV ? " upside down" : "");
}

// "At22p5_15p75_Mirrored": test names take only letters, digits and '_'.
std::string PlacementName(const ::testing::TestParamInfo<Placement>& testInfo) {
    const auto number = [](float v) {
        std::ostringstream text;
        text << v;
        std::string name;
        for (char c : text.str()) name += c == '-' ? 'm' : c == '.' ? 'p' : c;
        return name;
    };
    const Placement& p = testInfo.param;
    return "At" + number(p.x) + "_" + number(p.y) + (p.mirrorH ? "_Mirrored" : "") + (p.mirrorV ? "_UpsideDown" : "");
}

class ClippedDrawing : public ::testing::TestWithParam<Placement> {};

TEST_P(ClippedDrawing, MatchesAWholeCopy) {
    const Placement p = GetParam();
    RDibSurface sprite = Patterned(20, 18, 3);  // over 256 pixels, so the clip list is used
    sprite.SetTransColor(0x050505);  // palette entry 5 is (5, 5, 5)
    ASSERT_EQ(sprite.GetDib()->GetPixelIndex(4, 0), kKey);  // see-through pixels are part of the check
    RDibSurface whole = Patterned(64, 48, 1), clipped = Patterned(64, 48, 1);
    const std::vector<RRect> tiles{{0, 0, 32, 24}, {32, 0, 32, 24}, {0, 24, 32, 24}, {32, 24, 32, 24}};

    DrawSurfaceAt(whole, sprite, p.x, p.y, nullptr, p.mirrorH, p.mirrorV);
    DrawSurfaceAt(clipped, sprite, p.x, p.y, &tiles, p.mirrorH, p.mirrorV);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(clipped.GetDib()->GetPixelIndex(x, y), whole.GetDib()->GetPixelIndex(x, y))
                << "at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Placements, ClippedDrawing,
    ::testing::Values(Placement{22, 15, false, false}, Placement{22, 15, true, false}, Placement{22, 15, false, true},
                      Placement{22, 15, true, true}, Placement{22.5f, 15.75f, true, false},
                      Placement{-3.5f, -2.5f, false, true}, Placement{50.25f, 40.5f, true, true}),
    PlacementName);

}  // namespace
}  // namespace quellmoor
