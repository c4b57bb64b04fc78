// The other characters: Zib the jellyfish and Gloop on his rocket board
// (visitors of the meeting scenes), and the planet natives Wurm (dunes),
// Frost (ice) and Bloom (jungle). Drawn from poses like the mascot.
#include <cmath>

#include "content/tools/contentgen/Art.h"

namespace contentgen {

namespace {

constexpr double kPi = 3.14159265358979;

void Eyes(Canvas& c, double x, double y, double gap, double r, bool open, double look = 0) {
    for (double ex : {x - gap / 2, x + gap / 2}) {
        if (!open) {
            c.Line(ex - r, y, ex + r, y, 1.4, kBlack);
            continue;
        }
        c.Ellipse(ex, y, r + 1, r + 1.3, kBlack);
        c.Ellipse(ex, y, r, r + 0.3, kWhite);
        c.Ellipse(ex + look, y + 0.5, r * 0.5, r * 0.6, kBlack);
        c.Set(static_cast<int>(ex + look - 1), static_cast<int>(y - 1), kWhite);
    }
}

void Mouth(Canvas& c, double x, double y, int open) {
    if (open == 0) {
        for (double t = -1; t <= 1; t += 0.1) c.Set(static_cast<int>(x + t * 4), static_cast<int>(y + (1 - t * t) * 1.5), kBlack);
        return;
    }
    c.Ellipse(x, y + 1, 2.5 + open, 1.5 + open, kBlack);
    c.Ellipse(x, y + 1, 1.5 + open, 0.8 + open, Shade(Ramp::Red, 3));
}

Canvas Zib(double phase, int mouth, bool eyes, bool armsUp) {
    Canvas c(56, 76);
    for (int k = 0; k < 5; ++k) {
        const double x0 = 12 + k * 8;
        double px = x0, py = 36;
        for (int s = 1; s <= 12; ++s) {
            const double up = armsUp && (k == 0 || k == 4) ? -1 : 1;
            const double x = x0 + std::sin(phase * 2 * kPi + s * 0.5 + k) * 3 + (armsUp ? (k - 2) * s * 0.6 : 0);
            const double y = 36 + up * s * 2.8;
            c.Line(px, py, x, y, 3.4 - s * 0.2, Shade(Ramp::Lime, 7 - s / 3));
            px = x;
            py = y;
        }
    }
    c.EllipseBy(28, 30, 22, 18, [](int x, int y, double nx, double ny) {
        if (ny > 0.55) return kClear;
        const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
        return Canvas::Dither(Ramp::Lime, 4 + 9 * std::clamp(-0.5 * nx - 0.6 * ny + 0.5 * nz, 0.0, 1.0), x, y);
    });
    for (int i = 0; i < 5; ++i) c.Ellipse(14 + i * 7, 22 + (i % 2) * 5, 1.8, 1.8, Shade(Ramp::Green, 11));
    Eyes(c, 28, 28, 14, 4, eyes);
    Mouth(c, 28, 36, mouth);
    c.Outline(Shade(Ramp::Green, 1));
    return c;
}

Canvas Gloop(int flame, int mouth, double tilt, bool eye) {
    Canvas c(76, 70);
    const double cx = 38, boardY = 54;
    // The board with its flame at the back (left).
    std::vector<std::pair<double, double>> board;
    for (auto [x, y] : std::vector<std::pair<double, double>>{{-26, -3}, {26, -3}, {30, 1}, {26, 4}, {-26, 4}}) {
        const double a = tilt * kPi / 180;
        board.emplace_back(cx + x * std::cos(a) - y * std::sin(a), boardY + x * std::sin(a) + y * std::cos(a));
    }
    const double backX = board[0].first, backY = board[0].second + 3;
    for (int i = 0; i < 8 + flame * 3; ++i)
        c.Line(backX - i, backY + std::sin(i + flame) * 0.8, backX - i - 1, backY, 4 - i * 0.3,
               i < 3 ? kPaleYellow : Shade(Ramp::Orange, 10 - i / 2));
    c.PolygonBy(board, [](int x, int y) { return Canvas::Dither(Ramp::Teal, 6 + ((x + y) % 7 == 0 ? 3 : 1), x, y); });
    // The blob sits on the board.
    c.Ball(cx, boardY - 20, 18, 17, Ramp::Orange, 4, 13);
    c.Ball(cx - 10, boardY - 6, 6, 4, Ramp::Orange, 4, 11);
    c.Ball(cx + 10, boardY - 6, 6, 4, Ramp::Orange, 4, 11);
    // One big eye and a little cap.
    if (eye) {
        c.Ellipse(cx + 2, boardY - 26, 8, 8, kBlack);
        c.Ellipse(cx + 2, boardY - 26, 7, 7, kWhite);
        c.Ellipse(cx + 4, boardY - 25, 3.5, 3.5, Shade(Ramp::Sky, 6));
        c.Ellipse(cx + 4, boardY - 25, 2, 2, kBlack);
        c.Set(static_cast<int>(cx + 2), static_cast<int>(boardY - 28), kWhite);
    } else {
        c.Line(cx - 5, boardY - 26, cx + 9, boardY - 26, 1.5, kBlack);
    }
    c.EllipseBy(cx - 2, boardY - 36, 14, 6, [](int x, int y, double, double ny) {
        return ny > 0.2 ? kClear : Canvas::Dither(Ramp::Sky, 8 - 3 * ny, x, y);
    });
    c.Rect(static_cast<int>(cx) - 2, static_cast<int>(boardY) - 44, 4, 4, Shade(Ramp::Red, 10));
    Mouth(c, cx + 2, boardY - 14, mouth);
    c.Outline(Shade(Ramp::Rust, 1));
    return c;
}

Canvas Wurm(double rise, double sway, int mouth, bool eyes) {
    Canvas c(52, 84);
    const double base = 80;
    const int segments = static_cast<int>(9 * rise);
    for (int s = 0; s <= segments; ++s) {
        const double t = s / 9.0;
        const double x = 26 + std::sin(t * 2.2 + sway) * 6 * t;
        const double y = base - s * 6.5;
        c.Ball(x, y, 10 - t * 2, 6, Ramp::Pink, 4, 12);
    }
    if (segments > 2) {
        const double t = segments / 9.0;
        const double hx = 26 + std::sin(t * 2.2 + sway) * 6 * t, hy = base - segments * 6.5 - 4;
        c.Ball(hx, hy, 11, 10, Ramp::Pink, 5, 13);
        Eyes(c, hx, hy - 2, 9, 3, eyes);
        Mouth(c, hx, hy + 4, mouth);
    }
    // The sand mound around the hole.
    c.EllipseBy(26, 82, 24, 6, [](int x, int y, double, double ny) { return Canvas::Dither(Ramp::Sand, 8 - 3 * ny, x, y);
    });
    c.Outline(Shade(Ramp::Pink, 1));
    return c;
}

Canvas Frost(double flap, int mouth, bool eyes, double lean) {
    Canvas c(44, 60);
    c.Ball(22 + lean, 36, 14, 19, Ramp::Navy, 3, 10);
    c.Ellipse(23 + lean, 40, 9, 13, Shade(Ramp::Grey, 14));
    c.Ball(22 + lean * 1.3, 14, 11, 10, Ramp::Navy, 3, 10);
    for (int side : {-1, 1}) {
        const double a = (90 - side * (20 + flap * 60)) * kPi / 180;
        c.Line(22 + side * 12, 30, 22 + side * 12 + std::cos(a) * 14 * side * side, 30 + std::sin(a) * 14, 5,
               Shade(Ramp::Navy, 5));
    }
    c.Polygon({{17 + lean, 56}, {22 + lean, 55}, {19 + lean, 59}}, Shade(Ramp::Orange, 10));
    c.Polygon({{24 + lean, 56}, {29 + lean, 55}, {26 + lean, 59}}, Shade(Ramp::Orange, 10));
    Eyes(c, 22 + lean * 1.3, 12, 9, 2.8, eyes);
    c.Polygon({{18 + lean, 17}, {27 + lean, 17}, {22 + lean, 22 + mouth * 2}}, Shade(Ramp::Orange, 11));
    if (mouth) c.Line(19 + lean, 18.5, 26 + lean, 18.5, 1, kBlack);
    c.Rect(static_cast<int>(13 + lean), 22, 18, 3, Shade(Ramp::Red, 9));  // a scarf against the cold
    c.Outline(Shade(Ramp::Navy, 0));
    return c;
}

Canvas Bloom(double sway, int mouth, bool eyes, double open) {
    Canvas c(48, 74);
    const double topX = 24 + sway * 5;
    c.Line(24, 70, topX, 30, 4, Shade(Ramp::Green, 6));
    for (int side : {-1, 1}) {
        c.Ball(24 + side * 8 + sway * 2, 52 - side * 3, 8, 3.5, Ramp::Green, 4, 11);
    }
    c.Ball(17, 70, 6, 3, Ramp::Rust, 3, 8);
    c.Ball(31, 70, 6, 3, Ramp::Rust, 3, 8);
    const int petals = 7;
    for (int i = 0; i < petals; ++i) {
        const double a = i * 2 * kPi / petals + sway * 0.3;
        const double r = 11 + open * 5;
        c.Ball(topX + std::cos(a) * r, 24 + std::sin(a) * r, 7, 7, i % 2 ? Ramp::Pink : Ramp::Red, 6, 13);
    }
    c.Ball(topX, 24, 11, 11, Ramp::Gold, 7, 14);
    Eyes(c, topX, 22, 9, 2.6, eyes);
    Mouth(c, topX, 27, mouth);
    c.Outline(Shade(Ramp::Green, 1));
    return c;
}

}  // namespace

Frames VisitorFrames() {
    Frames f;
    for (int i = 0; i < 4; ++i) f["zib_float" + std::to_string(i + 1)] = Zib(i / 4.0, 0, true, false);
    f["zib_talk1"] = Zib(0.1, 1, true, false);
    f["zib_talk2"] = Zib(0.3, 2, true, false);
    f["zib_blink"] = Zib(0.0, 0, false, false);
    f["zib_dance1"] = Zib(0.2, 2, false, true);
    f["zib_dance2"] = Zib(0.7, 1, true, true);

    for (int i = 0; i < 3; ++i) f["gloop_ride" + std::to_string(i + 1)] = Gloop(i, 0, 0, true);
    f["gloop_talk1"] = Gloop(1, 1, 0, true);
    f["gloop_talk2"] = Gloop(2, 2, 0, true);
    f["gloop_blink"] = Gloop(0, 0, 0, false);
    f["gloop_trick1"] = Gloop(2, 2, -20, true);
    f["gloop_trick2"] = Gloop(1, 1, 20, true);
    f["gloop_trick3"] = Gloop(2, 0, -35, false);

    f["wurm_hide"] = Wurm(0.1, 0, 0, true);
    f["wurm_up1"] = Wurm(0.45, 0, 0, true);
    f["wurm_up2"] = Wurm(0.8, 0, 1, true);
    f["wurm_idle1"] = Wurm(1.0, 0, 0, true);
    f["wurm_idle2"] = Wurm(1.0, 0.6, 0, false);
    f["wurm_talk1"] = Wurm(1.0, 0.2, 1, true);
    f["wurm_talk2"] = Wurm(1.0, -0.2, 2, true);
    f["wurm_dance1"] = Wurm(1.0, 1.4, 2, false);
    f["wurm_dance2"] = Wurm(1.0, -1.4, 1, true);

    f["frost_stand"] = Frost(0, 0, true, 0);
    f["frost_blink"] = Frost(0, 0, false, 0);
    f["frost_talk1"] = Frost(0.2, 1, true, 0);
    f["frost_talk2"] = Frost(0.1, 0, true, 1);
    f["frost_flap1"] = Frost(1.0, 1, false, -1);
    f["frost_flap2"] = Frost(0.5, 0, true, 1);

    f["bloom_stand"] = Bloom(0, 0, true, 0);
    f["bloom_blink"] = Bloom(0, 0, false, 0);
    f["bloom_talk1"] = Bloom(0.3, 1, true, 0.3);
    f["bloom_talk2"] = Bloom(-0.2, 2, true, 0.5);
    f["bloom_sway1"] = Bloom(1.0, 0, false, 1);
    f["bloom_sway2"] = Bloom(-1.0, 2, true, 1);
    return f;
}

}  // namespace contentgen
