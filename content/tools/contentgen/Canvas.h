// An 8-bit index grid to draw the show's art into, with the few primitives
// the generators need: filled shapes shaded by a light from the upper left
// (ordered dithering between the 16 shades of a ramp), thick lines, polygons,
// a cartoon outline around a drawn silhouette, copying and mirroring.
// New canvases are all kClear (transparent green).
//
//   Canvas c(64, 112);
//   c.Ball(32, 60, 24, 28, Ramp::Violet);   // a shaded ball
//   c.Outline(Shade(Ramp::Violet, 1));
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "content/tools/contentgen/Palette.h"

namespace contentgen {

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, std::uint8_t fill = kClear);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    std::uint8_t Get(int x, int y) const { return Inside(x, y) ? px_[Index(x, y)] : kClear; }
    void Set(int x, int y, std::uint8_t index) {
        if (Inside(x, y)) px_[Index(x, y)] = index;
    }
    const std::vector<std::uint8_t>& Pixels() const { return px_; }

    void Fill(std::uint8_t index);
    void Rect(int x, int y, int w, int h, std::uint8_t index);
    void Ellipse(double cx, double cy, double rx, double ry, std::uint8_t index);
    // A ball lit from the upper left: shades lo..hi of the ramp.
    void Ball(double cx, double cy, double rx, double ry, Ramp ramp, int lo = 3, int hi = 13);
    // Every pixel of the ellipse chosen by a function of the normal (nx, ny in -1..1).
    void EllipseBy(double cx, double cy, double rx, double ry,
                   const std::function<std::uint8_t(int x, int y, double nx, double ny)>& colour);
    void Polygon(const std::vector<std::pair<double, double>>& points, std::uint8_t index);
    void PolygonBy(const std::vector<std::pair<double, double>>& points,
                   const std::function<std::uint8_t(int x, int y)>& colour);
    void Line(double x0, double y0, double x1, double y1, double thickness, std::uint8_t index);
    // Puts `colour` on every clear pixel that touches a drawn pixel (4-neighbours).
    void Outline(std::uint8_t colour);
    // Copies the drawn (non-clear) pixels of `source` with its top-left at (x, y).
    void Stamp(const Canvas& source, int x, int y);
    Canvas Mirrored() const;
    // Replaces every pixel of one index by another.
    void Replace(std::uint8_t from, std::uint8_t to);

    // A dithered shade: level as a real number, rounded by a 4x4 ordered pattern.
    static std::uint8_t Dither(Ramp ramp, double level, int x, int y);

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x); }

    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> px_;
};

// Deterministic pseudo-random numbers for the generators (same art every build).
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    double Real() { return (Next() & 0xFFFFFF) / double(0x1000000); }  // [0, 1)
    double Range(double a, double b) { return a + (b - a) * Real(); }
    int Int(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t state_;
};

}  // namespace contentgen
