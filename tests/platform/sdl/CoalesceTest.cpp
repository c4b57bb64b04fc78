// Many small update rectangles become one per band of rows, still covering
// every pixel that was written and nothing outside the written rows.
#include <gtest/gtest.h>

#include <SDL.h>

#include <random>
#include <vector>

#include "platform/sdl/ChangedSpans.h"

namespace quellmoor::testing {
namespace {

bool Covers(const std::vector<SDL_Rect>& rects, int x, int y) {
    for (const SDL_Rect& r : rects)
        if (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h) return true;
    return false;
}

TEST(CoalesceIntoBands, AFewRectanglesStayAsTheyAre) {
    std::vector<SDL_Rect> rects{{0, 0, 5, 5}, {100, 300, 7, 2}}, scratch;
    platform::CoalesceIntoBands(rects, scratch);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[1].x, 100);
    EXPECT_EQ(rects[1].h, 2);
}

TEST(CoalesceIntoBands, ManyBecomeOnePerBandAndCoverEveryWrittenPixel) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> x(0, 787), y(0, 587), side(1, 13);
    std::vector<SDL_Rect> rects, scratch;
    for (int i = 0; i < 120; ++i) rects.push_back({x(random), y(random), side(random), side(random)});
    const std::vector<SDL_Rect> written = rects;

    platform::CoalesceIntoBands(rects, scratch);
    EXPECT_LE(rects.size(), static_cast<std::size_t>((600 + 63) / 64));
    for (const SDL_Rect& r : written)
        for (int py = r.y; py < r.y + r.h; ++py)
            for (int px = r.x; px < r.x + r.w; ++px) ASSERT_TRUE(Covers(rects, px, py)) << px << "," << py;
    for (const SDL_Rect& band : rects) {
        EXPECT_EQ(band.y / 64, (band.y + band.h - 1) / 64) << "a rectangle crosses a band";
        bool touchesWrittenRows = false;
        for (const SDL_Rect& r : written) touchesWrittenRows |= r.y < band.y + band.h && band.y < r.y + r.h;
        EXPECT_TRUE(touchesWrittenRows);
    }
}

}  // namespace
}  // namespace quellmoor::testing
