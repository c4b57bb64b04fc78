// The ship: hull outline (with the skin key where the paint shows and green
// where the cabin window is), the cabin interior, landing gear, the door in
// two stages of opening, the paint skins and the engine flames.
#include <algorithm>
#include <cmath>

#include "content/tools/contentgen/Art.h"

namespace contentgen {

namespace {

// Hull shapes in hull pixels; the hull's bottom centre is (160, 237).
constexpr double kBodyX = 160, kBodyY = 158, kBodyRx = 156, kBodyRy = 79;
constexpr double kDomeX = 164, kDomeY = 122, kDomeRx = 96, kDomeRy = 62;
constexpr int kWinX0 = 92, kWinY0 = 79, kWinX1 = 232, kWinY1 = 150, kWinR = 16;
constexpr int kDoorX = 222, kDoorY = 150, kDoorW = 36, kDoorH = 66;

bool InEllipse(double x, double y, double cx, double cy, double rx, double ry) {
    const double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
    return nx * nx + ny * ny <= 1.0;
}

bool InRoundRect(int x, int y, int x0, int y0, int x1, int y1, int r) {
    if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
    const int cx = std::clamp(x, x0 + r, x1 - 1 - r), cy = std::clamp(y, y0 + r, y1 - 1 - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

std::vector<std::pair<double, double>> TailFin() { return {{6, 150}, {2, 70}, {20, 62}, {62, 112}, {70, 150}}; }
std::vector<std::pair<double, double>> TopFin() { return {{150, 66}, {166, 20}, {178, 18}, {190, 66}}; }

bool InFin(const std::vector<std::pair<double, double>>& poly, int x, int y) {
    bool inside = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const auto& a = poly[i];
        const auto& b = poly[j];
        if ((a.second > y + 0.5) != (b.second > y + 0.5) &&
            x + 0.5 < (b.first - a.first) * (y + 0.5 - a.second) / (b.second - a.second) + a.first)
            inside = !inside;
    }
    return inside;
}

bool InHull(int x, int y) {
    return InEllipse(x, y, kBodyX, kBodyY, kBodyRx, kBodyRy) || InEllipse(x, y, kDomeX, kDomeY, kDomeRx, kDomeRy) ||
           InFin(TailFin(), x, y) || InFin(TopFin(), x, y);
}

// Light on the hull at (x, y), 0..1, from the shape under it.
double HullLight(int x, int y) {
    auto lit = [](double nx, double ny) {
        const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
        return std::clamp(-0.45 * nx - 0.55 * ny + 0.70 * nz, 0.0, 1.0);
    };
    if (InEllipse(x, y, kDomeX, kDomeY, kDomeRx, kDomeRy) && y < 150)
        return lit((x + 0.5 - kDomeX) / kDomeRx, (y + 0.5 - kDomeY) / kDomeRy);
    if (InEllipse(x, y, kBodyX, kBodyY, kBodyRx, kBodyRy)) {
        const double nx = (x + 0.5 - kBodyX) / kBodyRx, ny = (y + 0.5 - kBodyY) / kBodyRy;
        return lit(nx * 0.9, ny);
    }
    return 0.45 + 0.2 * (1.0 - y / 150.0);
}

Canvas Outline() {
    Canvas c(kHullWidth, kHullHeight);
    for (int y = 0; y < kHullHeight; ++y)
        for (int x = 0; x < kHullWidth; ++x)
            if (InHull(x, y)) c.Set(x, y, kSkinKey);

    auto steel = [](int x, int y, double boost) {
        return Canvas::Dither(Ramp::Steel, 3 + 10 * std::clamp(HullLight(x, y) + boost, 0.0, 1.0), x, y);
    };
    // Trim band around the body, with rivets.
    for (int y = 182; y < 192; ++y)
        for (int x = 0; x < kHullWidth; ++x)
            if (InEllipse(x, y, kBodyX, kBodyY, kBodyRx, kBodyRy))
                c.Set(x, y, steel(x, y, y < 185 ? 0.25 : y > 189 ? -0.3 : 0.0));
    for (int x = 20; x < 300; x += 14)
        if (InEllipse(x, 187, kBodyX, kBodyY, kBodyRx - 6, kBodyRy)) {
            c.Set(x, 186, Shade(Ramp::Steel, 14));
            c.Set(x, 187, Shade(Ramp::Steel, 5));
        }
    // Panel seams.
    for (double t = 0.15; t < 0.95; t += 0.2) {
        const double x = kBodyX - kBodyRx + t * 2 * kBodyRx;
        for (int y = 150; y < 237; ++y)
            if (InEllipse(static_cast<int>(x), y, kBodyX, kBodyY, kBodyRx - 3, kBodyRy - 3) && (y < 182 || y > 191) &&
                !InRoundRect(static_cast<int>(x), y, kDoorX - 3, kDoorY - 3, kDoorX + kDoorW + 3, kDoorY + kDoorH + 3, 10))
                c.Set(static_cast<int>(x), y, Shade(Ramp::Steel, 3));
    }
    // Window frame and glass hole.
    for (int y = kWinY0 - 6; y < kWinY1 + 6; ++y)
        for (int x = kWinX0 - 6; x < kWinX1 + 6; ++x) {
            if (InRoundRect(x, y, kWinX0, kWinY0, kWinX1, kWinY1, kWinR))
                c.Set(x, y, kClear);
            else if (InRoundRect(x, y, kWinX0 - 6, kWinY0 - 6, kWinX1 + 6, kWinY1 + 6, kWinR + 6))
                c.Set(x, y, steel(x, y, (y < kWinY0 ? 0.2 : 0.0) + (x < kWinX0 ? 0.1 : -0.05)));
        }
    // A glint on the glass edge, so the window reads as glass.
    c.Line(kWinX0 + 6, kWinY0 + 20, kWinX0 + 20, kWinY0 + 4, 2.0, Shade(Ramp::Sky, 14));
    c.Line(kWinX1 - 8, kWinY1 - 26, kWinX1 - 4, kWinY1 - 34, 1.5, Shade(Ramp::Sky, 13));

    // Door: frame, panel seam, handle.
    for (int y = kDoorY - 3; y < kDoorY + kDoorH + 3; ++y)
        for (int x = kDoorX - 3; x < kDoorX + kDoorW + 3; ++x) {
            const bool inner = InRoundRect(x, y, kDoorX, kDoorY, kDoorX + kDoorW, kDoorY + kDoorH, 12);
            const bool outer = InRoundRect(x, y, kDoorX - 3, kDoorY - 3, kDoorX + kDoorW + 3, kDoorY + kDoorH + 3, 15);
            if (outer && !inner) c.Set(x, y, steel(x, y, -0.2));
            else if (inner) c.Set(x, y, steel(x, y, 0.05));
        }
    c.Rect(kDoorX + kDoorW - 10, kDoorY + 30, 4, 9, Shade(Ramp::Gold, 9));
    c.Ellipse(kDoorX + kDoorW / 2.0, kDoorY + 16, 7, 7, Shade(Ramp::Steel, 3));
    c.Ellipse(kDoorX + kDoorW / 2.0, kDoorY + 16, 5.5, 5.5, Shade(Ramp::Sky, 8));
    c.Set(kDoorX + kDoorW / 2 - 2, kDoorY + 13, Shade(Ramp::Sky, 14));

    // Portholes on the left.
    for (int i = 0; i < 2; ++i) {
        const double px = 48 + i * 30, py = 160;
        c.Ellipse(px, py, 9, 9, Shade(Ramp::Steel, 4));
        c.Ellipse(px, py, 7.5, 7.5, Shade(Ramp::Steel, 11));
        c.EllipseBy(px, py, 6, 6, [](int x, int y, double nx, double ny) {
            return Canvas::Dither(Ramp::Sky, 6 + 5 * std::clamp(-nx * 0.5 - ny * 0.7, 0.0, 1.0), x, y);
        });
        c.Set(static_cast<int>(px) - 3, static_cast<int>(py) - 3, kWhite);
    }
    // Nose lamp, top light, engine nozzle.
    c.Ball(306, 166, 6, 5, Ramp::Gold, 8, 15);
    c.Ball(172, 16, 5, 5, Ramp::Red, 8, 15);
    c.Set(170, 14, kWhite);
    for (int y = 226; y < 237; ++y)
        for (int x = 136; x < 184; ++x)
            if (InEllipse(x, y, 160, 226, 24, 12)) c.Set(x, y, steel(x, y, -0.35));
    c.Ellipse(160, 230, 14, 5, Shade(Ramp::Steel, 1));
    c.Outline(kBlack);
    return c;
}

Canvas Inside(bool night) {
    Canvas c(kInsideWidth, kInsideHeight);
    const int shift = night ? -4 : 0;
    for (int y = 0; y < kInsideHeight; ++y)
        for (int x = 0; x < kInsideWidth; ++x) {
            const double wall = 4.5 + 4.0 * (1.0 - std::abs(x - 110) / 120.0) - y / 60.0;
            c.Set(x, y, Canvas::Dither(Ramp::Navy, wall + shift + 3, x, y));
        }
    // Ribs of the cabin.
    for (int x : {30, 70, 150, 190})
        for (int y = 0; y < kInsideHeight; ++y) c.Set(x, y, Shade(Ramp::Navy, 3 + shift / 2));
    // Ceiling lamp.
    c.Rect(80, 0, 60, 4, Shade(Ramp::Steel, 6));
    c.Rect(86, 4, 48, 2, night ? Shade(Ramp::Navy, 8) : kPaleYellow);
    // Seat behind the pilot: a red cushioned back with a headrest.
    c.EllipseBy(110, 46, 24, 30, [shift](int x, int y, double nx, double ny) {
        return Canvas::Dither(Ramp::Red, 3 + shift / 2 + 6 * std::clamp(-0.5 * nx - 0.6 * ny + 0.4, 0.0, 1.0), x, y);
    });
    c.Rect(104, 12, 12, 2, Shade(Ramp::Red, 2));
    c.Rect(86, 70, 48, 60, Shade(Ramp::Red, 2 + shift / 2));
    // Radar screen on the left.
    c.Rect(34, 16, 34, 28, Shade(Ramp::Steel, 4));
    c.Rect(36, 18, 30, 24, night ? Shade(Ramp::Green, 1) : Shade(Ramp::Green, 2));
    for (int r = 4; r < 14; r += 4)
        for (double a = 0; a < 6.283; a += 0.05)
            c.Set(51 + static_cast<int>(std::cos(a) * r), 30 + static_cast<int>(std::sin(a) * r * 0.8), Shade(Ramp::Green, 6));
    c.Line(51, 30, 62, 22, 1.0, Shade(Ramp::Green, 12));
    c.Set(58, 34, Shade(Ramp::Lime, 14));
    // Control panel on the right: buttons and a gauge.
    c.Rect(152, 18, 36, 40, Shade(Ramp::Steel, 5));
    const std::uint8_t buttons[] = {Shade(Ramp::Red, 10), Shade(Ramp::Gold, 12), Shade(Ramp::Green, 10), Shade(Ramp::Sky, 11)};
    for (int i = 0; i < 8; ++i)
        c.Ellipse(158 + (i % 4) * 8, 24 + (i / 4) * 8, 2.5, 2.5, night && i % 3 ? Shade(Ramp::Steel, 3) : buttons[i % 4]);
    c.Ellipse(170, 47, 8, 8, Shade(Ramp::Steel, 12));
    c.Line(170, 47, 175, 42, 1.0, Shade(Ramp::Red, 6));
    // A little plant in a pot, and a framed picture of home.
    c.Rect(14, 54, 10, 8, Shade(Ramp::Rust, 7));
    c.Ball(19, 48, 7, 6, Ramp::Green, 4, 11);
    c.Rect(184, 62, 16, 12, Shade(Ramp::Gold, 8));
    c.Rect(186, 64, 12, 8, Shade(Ramp::Sky, 10));
    c.Ellipse(192, 70, 4, 2, Shade(Ramp::Green, 8));
    if (night)
        for (int i = 0; i < 6; ++i) c.Set(40 + i * 27 % 140, 6 + i * 7 % 20, Shade(Ramp::Sky, 12));
    // Only what lies behind the hull may show; the rest stays clear.
    for (int y = 0; y < kInsideHeight; ++y)
        for (int x = 0; x < kInsideWidth; ++x)
            if (!InHull(x + (kHullWidth - kInsideWidth) / 2, y + 78)) c.Set(x, y, kClear);
    return c;
}

Canvas Gear() {
    Canvas c(kGearWidth, kGearHeight);
    auto leg = [&c](double topX, double footX, bool left) {
        c.Line(topX, 0, footX, 62, 8, Shade(Ramp::Steel, 5));
        c.Line(topX - 1.5, 0, footX - 1.5, 62, 3, Shade(Ramp::Steel, 11));
        c.Line(topX + (left ? -20 : 20), 6, footX + (left ? 8 : -8), 46, 4, Shade(Ramp::Steel, 7));
        c.Ball(footX + (left ? 8 : -8), 46, 3.5, 3.5, Ramp::Gold, 5, 12);
        c.EllipseBy(footX, 68, 22, 7, [](int x, int y, double nx, double ny) {
            return Canvas::Dither(Ramp::Steel, 4 + 8 * std::clamp(-0.3 * nx - 0.8 * ny + 0.3, 0.0, 1.0), x, y);
        });
        c.Rect(static_cast<int>(footX) - 22, 72, 44, 4, Shade(Ramp::Steel, 3));
    };
    leg(92, 38, true);
    leg(188, 242, false);
    c.Outline(kBlack);
    return c;
}

Canvas Door(bool wide) {
    Canvas c(kDoorW + 6, kDoorH + 6);
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            if (!InRoundRect(x, y, 3, 3, 3 + kDoorW, 3 + kDoorH, 12)) continue;
            const double glow = 1.0 - std::hypot(x - c.Width() / 2.0, y - 24.0) / 40.0;
            c.Set(x, y, Canvas::Dither(Ramp::Gold, 3 + 9 * std::clamp(glow, 0.0, 1.0) * (wide ? 1.0 : 0.6), x, y));
        }
    // The door panel, swinging outwards to the right.
    const double w = wide ? 8 : 22;
    for (int y = 3; y < 3 + kDoorH; ++y)
        for (int x = 0; x < static_cast<int>(w); ++x) {
            const int px = c.Width() - 4 - x;
            c.Set(px, y, Canvas::Dither(Ramp::Steel, 5 + 6 * (x / w), px, y));
        }
    c.Outline(kBlack);
    return c;
}

// Shading and pattern for one skin: `paint` picks the ramp and a level change at (x, y).
template <class Paint>
Canvas Skin(Paint paint) {
    Canvas c(kHullWidth, kHullHeight);
    for (int y = 0; y < kHullHeight; ++y)
        for (int x = 0; x < kHullWidth; ++x) {
            const double light = HullLight(x, y);
            auto [ramp, lo, hi] = paint(x, y);
            c.Set(x, y, Canvas::Dither(ramp, lo + (hi - lo) * light, x, y));
        }
    return c;
}

struct Paint {
    Ramp ramp;
    double lo, hi;
};

Canvas Flame(int frame, bool plasma, bool off) {
    Canvas c(76, 80);
    Random rnd(static_cast<std::uint32_t>(frame * 7 + (plasma ? 100 : 0) + (off ? 50 : 0)));
    const Ramp outer = plasma ? Ramp::Sky : Ramp::Orange, inner = plasma ? Ramp::Teal : Ramp::Gold;
    const double length = off ? 8 + frame * 3 : 56 + (frame % 3) * 8;
    for (int y = 0; y < c.Height(); ++y) {
        const double t = y / length;
        if (t > 1) break;
        const double half = (16 - frame % 2) * std::sqrt(std::max(0.0, 1 - t)) * (1 - 0.5 * t) + 2;
        const double wobble = std::sin(y * 0.5 + frame * 2.1) * 1.5;
        for (int x = 0; x < c.Width(); ++x) {
            const double d = std::abs(x + 0.5 - 38 - wobble) / half;
            if (d > 1) continue;
            const double heat = (1 - d) * (1 - t) + rnd.Real() * 0.15;
            if (heat > 0.55) c.Set(x, y, plasma ? kGlowCyan : kPaleYellow);
            else c.Set(x, y, Canvas::Dither(heat > 0.3 ? inner : outer, 5 + heat * 18, x, y));
        }
    }
    return c;
}

}  // namespace

Frames ShipPictures() {
    Frames f;
    f["Ship-Outline"] = Outline();
    f["Ship-Inside"] = Inside(false);
    f["Inside-Night"] = Inside(true);
    f["Ship-Land"] = Gear();
    f["deur1"] = Door(false);
    f["deur2"] = Door(true);
    return f;
}

Frames ShipSkins() {
    Frames f;
    f["Classic"] = Skin([](int, int y) {
        if (y > 196 && y < 206) return Paint{Ramp::Red, 3, 12};
        return Paint{Ramp::Grey, 5, 15};
    });
    f["Tiger"] = Skin([](int x, int y) {
        const double stripe = std::sin(x * 0.11 + std::sin(y * 0.07) * 2.2 + y * 0.03);
        if (stripe > 0.72) return Paint{Ramp::Navy, 1, 5};
        return Paint{Ramp::Orange, 4, 14};
    });
    f["Moo"] = Skin([](int x, int y) {
        Random rnd(7);
        for (int i = 0; i < 14; ++i) {
            const double cx = rnd.Range(0, 320), cy = rnd.Range(40, 237), r = rnd.Range(12, 26);
            const double dx = (x - cx) / r, dy = (y - cy) / (r * 0.8);
            if (dx * dx + dy * dy + 0.25 * std::sin(x * 0.4) * std::cos(y * 0.3) < 1) return Paint{Ramp::Grey, 1, 4};
        }
        return Paint{Ramp::Grey, 7, 15};
    });
    f["Midnight"] = Skin([](int x, int y) {
        if ((x * 37 + y * 91) % 211 == 0) return Paint{Ramp::Gold, 14, 15};
        if (std::abs(y - 120 - std::sin(x * 0.03) * 10) < 4) return Paint{Ramp::Pink, 5, 12};
        return Paint{Ramp::Navy, 3, 13};
    });
    return f;
}

Frames EngineFrames() {
    Frames f;
    const char letters[] = "abc";
    for (int i = 0; i < 3; ++i) {
        f[std::string("flame1_") + letters[i]] = Flame(i, false, false);
        f[std::string("flame2_") + letters[i]] = Flame(i, true, false);
    }
    for (int i = 0; i < 2; ++i) {
        f[std::string("ember1_") + letters[i]] = Flame(i, false, true);
        f[std::string("ember2_") + letters[i]] = Flame(i, true, true);
    }
    return f;
}

}  // namespace contentgen
