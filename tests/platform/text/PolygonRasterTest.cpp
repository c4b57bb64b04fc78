#include "platform/text/PolygonRaster.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "tests/platform/text/TestCanvas.h"

namespace quellmoor {
namespace {

using platform::Point;
using testing::TestCanvas;

constexpr std::uint8_t kBackground = 7;
constexpr std::uint8_t kInk = 200;

// Slow literal reference: a pixel is inside when an odd number of edges cross
// its row's centre at or left of its centre (doubled coordinates, exact).
bool InsideReference(const std::vector<Point>& points, int px, int py) {
    const long long xc = 2LL * px + 1, yc = 2LL * py + 1;
    int crossings = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point a = points[i], b = points[(i + 1) % points.size()];
        const long long ay = 2LL * a.y, by = 2LL * b.y, ax = 2LL * a.x, bx = 2LL * b.x;
        if ((ay < yc) == (by < yc)) continue;
        // Crossing x = ax + (yc - ay) (bx - ax) / (by - ay); compare with xc exactly.
        long long num = (yc - ay) * (bx - ax), den = by - ay;
        if (den < 0) {
            num = -num;
            den = -den;
        }
        if (ax * den + num <= xc * den) ++crossings;
    }
    return crossings % 2 == 1;
}

struct FillCase {
    const char* name;
    std::vector<Point> points;
    int filled;
};
// Failures and test listings name the case, not its bytes.
void PrintTo(const FillCase& c, std::ostream* out) { *out << c.name; }

class FillCount : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillCount, FillsExactlyThePixelsWhoseCentresAreInside) {
    TestCanvas canvas(40, 30, kBackground);
    text::FillPolygonOn(canvas.Canvas(), GetParam().points, kInk);
    EXPECT_EQ(canvas.Count(kInk), GetParam().filled);
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            ASSERT_EQ(canvas.Pixel(x, y) == kInk, InsideReference(GetParam().points, x, y)) << x << "," << y;
    EXPECT_TRUE(canvas.GuardsIntact());
}

const FillCase kFillCases[] = {
    {"Rectangle10x10", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 100},
    {"RectangleCounterClockwise", {{5, 3}, {5, 9}, {17, 9}, {17, 3}}, 72},
    {"RightTriangleWithEdgeTies", {{0, 0}, {10, 0}, {0, 10}}, 45},
    {"TriangleWithoutTies", {{0, 0}, {20, 0}, {0, 10}}, 100},
    {"DegenerateLine", {{2, 2}, {20, 20}, {2, 2}}, 0},
    {"TwoPointsFillNothing", {{0, 0}, {10, 10}}, 0},
    // A bow tie: even-odd leaves the crossing's opposite lobes filled.
    {"SelfCrossingBowTie", {{0, 0}, {20, 20}, {20, 0}, {0, 20}}, 200},
    // An outer square traced twice around a hole: even-odd leaves the hole empty.
    {"SquareWithHole", {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0}, {5, 5}, {5, 15}, {15, 15}, {15, 5}, {5, 5}},
     400 - 100},
};

INSTANTIATE_TEST_SUITE_P(Polygons, FillCount, ::testing::ValuesIn(kFillCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(PolygonRaster, RandomPolygonsMatchTheReference) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-10, 50);
    for (int round = 0; round < 200; ++round) {
        std::vector<Point> points(3 + round % 9);
        for (Point& p : points) p = {coordinate(random), coordinate(random)};
        TestCanvas canvas(40, 40, kBackground);
        text::FillPolygonOn(canvas.Canvas(), points, kInk);
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x)
                ASSERT_EQ(canvas.Pixel(x, y) == kInk, InsideReference(points, x, y))
                    << "round " << round << " pixel " << x << "," << y;
        ASSERT_TRUE(canvas.GuardsIntact()) << "round " << round;
    }
}

TEST(PolygonRaster, RowsAreStoredBottomUp) {
    TestCanvas canvas(8, 8, kBackground);
    const std::vector<Point> topRow = {{0, 0}, {8, 0}, {8, 1}, {0, 1}};
    text::FillPolygonOn(canvas.Canvas(), topRow, kInk);
    const platform::IndexedCanvas raw = canvas.Canvas();
    // The top row is the last one in memory.
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(raw.bits[7 * raw.strideBytes + x], kInk);
        EXPECT_EQ(raw.bits[x], kBackground);
    }
}

TEST(PolygonRaster, OutlineOfARectangleIsItsClosedBorder) {
    TestCanvas canvas(20, 20, kBackground);
    const std::vector<Point> rectangle = {{2, 3}, {12, 3}, {12, 13}, {2, 13}};
    text::OutlinePolygonOn(canvas.Canvas(), rectangle, kInk);
    // Both end pixels belong to each side: an 11 x 11 ring.
    EXPECT_EQ(canvas.Count(kInk), 40);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(canvas.Pixel(2 + i, 3), kInk);
        EXPECT_EQ(canvas.Pixel(2 + i, 13), kInk);
        EXPECT_EQ(canvas.Pixel(2, 3 + i), kInk);
        EXPECT_EQ(canvas.Pixel(12, 3 + i), kInk);
    }
}

// A closed outline keeps a flood from outside (through edge-sharing pixels)
// away from the inside, sharp tail included; it passes every corner.
TEST(PolygonRaster, OutlineIsClosedForAnyShape) {
    const std::vector<Point> balloon = {{30, 58}, {25, 45}, {10, 45}, {5, 40}, {5, 10}, {10, 5},
                                        {50, 5}, {55, 10}, {55, 40}, {50, 45}, {35, 45}};
    TestCanvas canvas(64, 64, kBackground);
    text::OutlinePolygonOn(canvas.Canvas(), balloon, kInk);
    for (const Point p : balloon) EXPECT_EQ(canvas.Pixel(p.x, p.y), kInk) << p.x << "," << p.y;
    constexpr std::uint8_t kFlood = 3;
    std::vector<Point> todo = {{0, 0}};
    while (!todo.empty()) {
        const Point p = todo.back();
        todo.pop_back();
        if (p.x < 0 || p.y < 0 || p.x >= 64 || p.y >= 64 || canvas.Pixel(p.x, p.y) != kBackground) continue;
        canvas.Pixel(p.x, p.y) = kFlood;
        todo.insert(todo.end(), {{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}});
    }
    for (const Point inside : {Point{30, 25}, Point{6, 11}, Point{54, 39}, Point{30, 47}})
        EXPECT_EQ(canvas.Pixel(inside.x, inside.y), kBackground) << inside.x << "," << inside.y;
    EXPECT_GT(canvas.Count(kFlood), 64 * 64 - 60 * 60);
}

struct SegmentCase {
    const char* name;
    Point from, to;
    int pixels;
};
void PrintTo(const SegmentCase& c, std::ostream* out) { *out << c.name; }

class SegmentPixels : public ::testing::TestWithParam<SegmentCase> {};

TEST_P(SegmentPixels, OnePixelPerStepAlongTheLongerAxis) {
    TestCanvas canvas(32, 32, kBackground);
    text::DrawSegmentOn(canvas.Canvas(), GetParam().from, GetParam().to, kInk);
    EXPECT_EQ(canvas.Count(kInk), GetParam().pixels);
    EXPECT_EQ(canvas.Pixel(GetParam().from.x, GetParam().from.y), kInk);
    EXPECT_EQ(canvas.Pixel(GetParam().to.x, GetParam().to.y), kInk);
}

const SegmentCase kSegmentCases[] = {
    {"Point", {4, 4}, {4, 4}, 1},
    {"Horizontal", {1, 5}, {20, 5}, 20},
    {"VerticalUpwards", {7, 30}, {7, 0}, 31},
    {"Diagonal", {0, 0}, {31, 31}, 32},
    {"ShallowLeftwards", {30, 2}, {0, 12}, 31},
    {"Steep", {3, 1}, {9, 29}, 29},
};

INSTANTIATE_TEST_SUITE_P(Segments, SegmentPixels, ::testing::ValuesIn(kSegmentCases),
                         [](const auto& test) { return std::string(test.param.name); });

struct ClipCase {
    const char* name;
    std::vector<Point> points;
};
void PrintTo(const ClipCase& c, std::ostream* out) { *out << c.name; }

class Clipping : public ::testing::TestWithParam<ClipCase> {};

// Shapes hanging over each edge (and the int limits) fill and outline exactly
// the visible part and never write outside the canvas.
TEST_P(Clipping, NeverWritesOutsideTheCanvas) {
    const auto& points = GetParam().points;
    TestCanvas filled(24, 16, kBackground);
    text::FillPolygonOn(filled.Canvas(), points, kInk);
    EXPECT_TRUE(filled.GuardsIntact());
    for (int y = 0; y < filled.Height(); ++y)
        for (int x = 0; x < filled.Width(); ++x)
            if (std::llabs(points[0].x) < 1000000) {
                ASSERT_EQ(filled.Pixel(x, y) == kInk, InsideReference(points, x, y)) << x << "," << y;
            }

    TestCanvas outlined(24, 16, kBackground);
    text::OutlinePolygonOn(outlined.Canvas(), points, kInk);
    EXPECT_TRUE(outlined.GuardsIntact());
}

const ClipCase kClipCases[] = {
    {"OverLeft", {{-30, 2}, {10, 2}, {10, 12}, {-30, 12}}},
    {"OverRight", {{10, 2}, {90, 3}, {60, 14}, {10, 12}}},
    {"OverTop", {{3, -40}, {20, -40}, {12, 9}}},
    {"OverBottom", {{3, 5}, {20, 8}, {12, 99}}},
    {"OverAllEdges", {{-5, -5}, {30, -5}, {30, 20}, {-5, 20}}},
    {"AroundTheCanvas", {{-50, 8}, {12, -50}, {70, 8}, {12, 60}}},
    {"AtTheIntLimits", {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}}},
    {"SteepAtTheIntLimits", {{INT_MIN, 3}, {INT_MAX, 9}, {5, INT_MAX}}},
};

INSTANTIATE_TEST_SUITE_P(Edges, Clipping, ::testing::ValuesIn(kClipCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(PolygonRaster, ShapeCoveringTheCanvasFillsItAll) {
    TestCanvas canvas(24, 16, kBackground);
    const std::vector<Point> huge = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}};
    text::FillPolygonOn(canvas.Canvas(), huge, kInk);
    EXPECT_EQ(canvas.Count(kInk), 24 * 16);
    EXPECT_TRUE(canvas.GuardsIntact());
}

TEST(PolygonRaster, EmptyCanvasIsLeftAlone) {
    platform::IndexedCanvas none;
    const std::vector<Point> square = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    text::FillPolygonOn(none, square, kInk);
    text::OutlinePolygonOn(none, square, kInk);
}

}  // namespace
}  // namespace quellmoor
