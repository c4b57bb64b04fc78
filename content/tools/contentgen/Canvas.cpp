#include "content/tools/contentgen/Canvas.h"

#include <algorithm>
#include <cmath>

namespace contentgen {

namespace {
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
}

Canvas::Canvas(int width, int height, std::uint8_t fill)
    : width_(width), height_(height), px_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void Canvas::Fill(std::uint8_t index) { std::fill(px_.begin(), px_.end(), index); }

void Canvas::Rect(int x, int y, int w, int h, std::uint8_t index) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Set(i, j, index);
}

std::uint8_t Canvas::Dither(Ramp ramp, double level, int x, int y) {
    const double threshold = (kBayer[y & 3][x & 3] + 0.5) / 16.0;
    const int base = static_cast<int>(std::floor(level));
    return Shade(ramp, base + ((level - base) > threshold ? 1 : 0));
}

void Canvas::EllipseBy(double cx, double cy, double rx, double ry,
                       const std::function<std::uint8_t(int, int, double, double)>& colour) {
    const int x0 = static_cast<int>(std::floor(cx - rx)), x1 = static_cast<int>(std::ceil(cx + rx));
    const int y0 = static_cast<int>(std::floor(cy - ry)), y1 = static_cast<int>(std::ceil(cy + ry));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
            if (nx * nx + ny * ny <= 1.0 && Inside(x, y)) {
                const std::uint8_t c = colour(x, y, nx, ny);
                if (c != kClear) Set(x, y, c);
            }
        }
    }
}

void Canvas::Ellipse(double cx, double cy, double rx, double ry, std::uint8_t index) {
    EllipseBy(cx, cy, rx, ry, [index](int, int, double, double) { return index; });
}

void Canvas::Ball(double cx, double cy, double rx, double ry, Ramp ramp, int lo, int hi) {
    EllipseBy(cx, cy, rx, ry, [=](int x, int y, double nx, double ny) {
        const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
        const double light = std::clamp(-0.55 * nx - 0.6 * ny + 0.58 * nz, 0.0, 1.0);
        const double rim = std::pow(1.0 - nz, 3.0) * 0.25;  // a little bounce light at the edge
        return Dither(ramp, lo + (hi - lo) * std::clamp(light + rim, 0.0, 1.0), x, y);
    });
}

void Canvas::PolygonBy(const std::vector<std::pair<double, double>>& pts,
                       const std::function<std::uint8_t(int, int)>& colour) {
    if (pts.size() < 3) return;
    double minY = pts[0].second, maxY = pts[0].second;
    for (const auto& p : pts) {
        minY = std::min(minY, p.second);
        maxY = std::max(maxY, p.second);
    }
    for (int y = static_cast<int>(std::floor(minY)); y <= static_cast<int>(std::ceil(maxY)); ++y) {
        const double sy = y + 0.5;
        std::vector<double> xs;
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const auto& a = pts[i];
            const auto& b = pts[(i + 1) % pts.size()];
            if ((a.second <= sy && b.second > sy) || (b.second <= sy && a.second > sy))
                xs.push_back(a.first + (sy - a.second) * (b.first - a.first) / (b.second - a.second));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
            for (int x = static_cast<int>(std::ceil(xs[i] - 0.5)); x < static_cast<int>(std::ceil(xs[i + 1] - 0.5)); ++x)
                if (Inside(x, y)) Set(x, y, colour(x, y));
    }
}

void Canvas::Polygon(const std::vector<std::pair<double, double>>& points, std::uint8_t index) {
    PolygonBy(points, [index](int, int) { return index; });
}

void Canvas::Line(double x0, double y0, double x1, double y1, double thickness, std::uint8_t index) {
    const double length = std::hypot(x1 - x0, y1 - y0);
    const int steps = std::max(1, static_cast<int>(length * 2));
    const double r = thickness / 2.0;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
        if (r <= 0.6)
            Set(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)), index);
        else
            Ellipse(x, y, r, r, index);
    }
}

void Canvas::Outline(std::uint8_t colour) {
    std::vector<std::uint8_t> copy = px_;
    auto drawn = [&](int x, int y) { return Inside(x, y) && copy[Index(x, y)] != kClear; };
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (copy[Index(x, y)] == kClear && (drawn(x - 1, y) || drawn(x + 1, y) || drawn(x, y - 1) || drawn(x, y + 1)))
                px_[Index(x, y)] = colour;
}

void Canvas::Stamp(const Canvas& source, int x, int y) {
    for (int j = 0; j < source.height_; ++j)
        for (int i = 0; i < source.width_; ++i)
            if (const std::uint8_t c = source.Get(i, j); c != kClear) Set(x + i, y + j, c);
}

Canvas Canvas::Mirrored() const {
    Canvas out(width_, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) out.Set(width_ - 1 - x, y, Get(x, y));
    return out;
}

void Canvas::Replace(std::uint8_t from, std::uint8_t to) { std::replace(px_.begin(), px_.end(), from, to); }

}  // namespace contentgen
