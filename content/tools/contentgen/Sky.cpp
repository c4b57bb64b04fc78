// Skies and grounds of the planets, sky items for flights and float
// libraries (ringed planet, nebula, moon, comets, asteroids), and the two
// preview screens.
#include <algorithm>
#include <cmath>

#include "content/tools/contentgen/Art.h"
#include "content/tools/contentgen/Preview.h"

namespace contentgen {

namespace {

constexpr double kPi = 3.14159265358979;

double Noise(double x, double y, std::uint32_t seed) {
    // Smooth value noise from a hashed lattice, a few octaves.
    auto hash = [seed](int i, int j) {
        std::uint32_t h = static_cast<std::uint32_t>(i) * 374761393u + static_cast<std::uint32_t>(j) * 668265263u + seed * 2246822519u;
        h = (h ^ (h >> 13)) * 1274126177u;
        return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
    };
    double total = 0, amp = 0.5;
    for (int o = 0; o < 4; ++o) {
        const int i = static_cast<int>(std::floor(x)), j = static_cast<int>(std::floor(y));
        const double fx = x - i, fy = y - j;
        const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
        const double a = hash(i, j) + (hash(i + 1, j) - hash(i, j)) * sx;
        const double b = hash(i, j + 1) + (hash(i + 1, j + 1) - hash(i, j + 1)) * sx;
        total += amp * (a + (b - a) * sy);
        x *= 2.03;
        y *= 2.03;
        amp *= 0.5;
    }
    return total;
}

struct Stop {
    double t;
    Ramp ramp;
    double level;
};

// A vertical gradient through colour stops; between two ramps the pixels are
// mixed by an ordered pattern, so the change of hue has no hard edge.
Canvas Sky(const std::vector<Stop>& stops, std::uint32_t seed, bool aurora) {
    Canvas c(160, 300);
    Random rnd(seed);
    for (int y = 0; y < c.Height(); ++y) {
        const double t = y / 299.0;
        std::size_t i = 0;
        while (i + 2 < stops.size() && t > stops[i + 1].t) ++i;
        const Stop& a = stops[i];
        const Stop& b = stops[i + 1];
        const double u = std::clamp((t - a.t) / (b.t - a.t), 0.0, 1.0);
        for (int x = 0; x < c.Width(); ++x) {
            if (a.ramp == b.ramp) {
                c.Set(x, y, Canvas::Dither(a.ramp, a.level + (b.level - a.level) * u, x, y));
            } else {
                const double threshold = ((x * 7 + y * 13) % 16 + 0.5) / 16.0;
                c.Set(x, y, u > threshold ? Canvas::Dither(b.ramp, b.level, x, y) : Canvas::Dither(a.ramp, a.level, x, y));
            }
        }
    }
    for (int i = 0; i < 40; ++i) {
        const int x = rnd.Int(160), y = rnd.Int(130);
        c.Set(x, y, rnd.Int(4) ? Shade(Ramp::Sky, 11) : kWhite);
    }
    if (aurora) {
        // A soft curtain of light: thin vertical streaks, bright at the top edge, fading below.
        for (int x = 0; x < 160; ++x) {
            const double y0 = 60 + 12 * std::sin(x * 2 * kPi / 160) + 5 * std::sin(x * 2 * kPi / 40 + 1.0);
            const double strength = 0.55 + 0.45 * std::sin(x * 2 * kPi / 80 + 0.5);
            if (x % 2) continue;
            for (int d = 0; d < 40; ++d) {
                const double fade = std::pow(1.0 - d / 40.0, 2.0) * strength;
                const double threshold = ((x / 2 * 5 + d * 11) % 16 + 0.5) / 16.0;
                if (fade > threshold * 0.9)
                    c.Set(x, static_cast<int>(y0) + d, Canvas::Dither(d < 4 ? Ramp::Pink : Ramp::Lime, 4 + 6 * fade, x, d));
            }
        }
    }
    return c;
}

// Ground of a planet: distant hills, then the plain the characters stand on
// (their feet 41 pixels above the picture's bottom edge).
template <class Colour>
Canvas Ground(int height, std::uint32_t seed, Colour colour) {
    Canvas c(800, height);
    for (int x = 0; x < 800; ++x) {
        const double far = height - 120 + 30 * Noise(x / 90.0, 0.5, seed) - 10;
        const double near = height - 70 + 16 * Noise(x / 60.0, 3.5, seed + 1);
        for (int y = static_cast<int>(far); y < height; ++y) {
            if (y < 0) continue;
            const bool front = y >= near;
            c.Set(x, y, colour(x, y, front, front ? (y - near) / (height - near) : (y - far) / 80.0));
        }
    }
    return c;
}

Canvas RingPlanet() {
    Canvas c(260, 160);
    const double cx = 130, cy = 80, r = 54;
    auto ring = [&](bool front) {
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 260; ++x) {
                const double dx = (x - cx) / 126.0, dy = (y - cy - (x - cx) * 0.18) / 24.0;
                const double d = std::sqrt(dx * dx + dy * dy);
                if (d > 1 || d < 0.62) continue;
                const bool isFront = (y - cy - (x - cx) * 0.18) > 0;
                if (isFront != front) continue;
                const double band = std::sin(d * 40) * 0.5 + 0.5;
                if (d > 0.78 && d < 0.82) continue;  // the gap in the ring
                c.Set(x, y, Canvas::Dither(Ramp::Sand, 6 + 5 * band, x, y));
            }
    };
    ring(false);
    c.EllipseBy(cx, cy, r, r, [&](int x, int y, double nx, double ny) {
        const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
        const double light = std::clamp(-0.6 * nx - 0.4 * ny + 0.6 * nz, 0.0, 1.0);
        const double band = std::sin((ny + 0.08 * Noise(x / 12.0, y / 12.0, 5)) * 14);
        const Ramp ramp = band > 0.3 ? Ramp::Orange : band < -0.5 ? Ramp::Rust : Ramp::Sand;
        return Canvas::Dither(ramp, 1 + 12 * light, x, y);
    });
    ring(true);
    return c;
}

Canvas Nebula(std::uint32_t seed, Ramp a, Ramp b) {
    Canvas c(360, 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 360; ++x) {
            const double dx = (x - 180) / 180.0, dy = (y - 120) / 120.0;
            const double fall = 1 - std::sqrt(dx * dx + dy * dy);
            if (fall <= 0) continue;  // nothing reaches the bitmap's edges
            const double n = Noise(x / 50.0, y / 50.0, seed) + 0.5 * fall - 0.7;
            if (n <= 0) continue;
            const double v = n * 14;
            if (v < 0.8 && ((x + y) % 2)) continue;  // thin edges dithered against the sky
            const bool second = Noise(x / 30.0, y / 30.0, seed + 9) > 0.52;
            c.Set(x, y, Canvas::Dither(second ? b : a, std::min(10.0, 1 + v * 1.6), x, y));
        }
    Random rnd(seed);
    for (int i = 0; i < 25; ++i) c.Set(rnd.Int(360), rnd.Int(240), kWhite);
    return c;
}

Canvas Moon() {
    Canvas c(90, 90);
    c.EllipseBy(45, 45, 42, 42, [](int x, int y, double nx, double ny) {
        const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
        double light = std::clamp(-0.6 * nx - 0.5 * ny + 0.6 * nz, 0.0, 1.0);
        light -= 0.25 * (Noise(x / 9.0, y / 9.0, 3) > 0.58);
        return Canvas::Dither(Ramp::Grey, 2 + 11 * std::max(0.0, light), x, y);
    });
    c.Outline(Shade(Ramp::Grey, 1));
    return c;
}

Canvas Asteroid(int frame, double size) {
    Canvas c(static_cast<int>(40 * size), static_cast<int>(36 * size));
    const double turn = frame * kPi / 4;
    std::vector<std::pair<double, double>> pts;
    Random rnd(77);
    for (int i = 0; i < 11; ++i) {
        const double a = i * 2 * kPi / 11 + turn;
        const double r = (13 + rnd.Range(-3, 3)) * size;
        pts.emplace_back(20 * size + std::cos(a) * r, 18 * size + std::sin(a) * r * 0.85);
    }
    c.PolygonBy(pts, [size](int x, int y) {
        const double light = std::clamp(0.6 - (x - 20 * size) * 0.03 / size - (y - 18 * size) * 0.035 / size, 0.0, 1.0);
        return Canvas::Dither(Ramp::Rust, 2 + 8 * light, x, y);
    });
    for (int k = 0; k < 3; ++k) {
        const double a = turn + k * 2.1;
        c.Ellipse((20 + std::cos(a) * 6) * size, (18 + std::sin(a) * 5) * size, 2.5 * size, 2 * size, Shade(Ramp::Rust, 2));
    }
    c.Outline(Shade(Ramp::Rust, 1));
    return c;
}

// A patch of transparent sky with a few stars, to scatter behind a flight.
Canvas StarCluster(std::uint32_t seed) {
    Canvas c(96, 96);
    Random rnd(seed);
    for (int i = 0; i < 14; ++i) {
        const int x = 2 + rnd.Int(92), y = 2 + rnd.Int(92), kind = rnd.Int(12);
        if (kind < 8) {
            c.Set(x, y, Shade(Ramp::Sky, 7 + rnd.Int(6)));
        } else if (kind < 11) {
            c.Rect(x, y, 2, 2, Shade(Ramp::Sky, 12));
            c.Set(x, y, kWhite);
        } else {
            c.Line(x - 2, y, x + 2, y, 1, Shade(Ramp::Sky, 11));
            c.Line(x, y - 2, x, y + 2, 1, Shade(Ramp::Sky, 11));
            c.Set(x, y, kWhite);
        }
    }
    return c;
}

Canvas Comet(int frame) {
    Canvas c(110, 30);
    Random rnd(static_cast<std::uint32_t>(frame + 40));
    for (int x = 0; x < 96; ++x) {
        const double t = x / 96.0;  // 0 far end of the tail, 1 the head
        const double half = 1 + 9 * t * t;
        for (int y = 0; y < 30; ++y) {
            const double d = std::abs(y - 15 + std::sin(x * 0.2 + frame) * (1 - t) * 2) / half;
            if (d > 1) continue;
            const double heat = (1 - d) * t + rnd.Real() * 0.2;
            if (heat < 0.15 && rnd.Int(3)) continue;
            c.Set(x, y, heat > 0.7 ? kWhite : Canvas::Dither(Ramp::Teal, 4 + heat * 12, x, y));
        }
    }
    c.Ball(98, 15, 8, 8, Ramp::Sky, 9, 15);
    c.Ellipse(98, 15, 4, 4, kWhite);
    return c;
}

// A blocky 5x7 font for the preview screens.
const char* Glyph(char ch) {
    switch (ch) {
        case 'A': return " ### #   ##   #######   ##   ##   #";
        case 'E': return "######    #    #### #    #    #####";
        case 'H': return "#   ##   ##   #######   ##   ##   #";
        case 'L': return "#    #    #    #    #    #    #####";
        case 'M': return "#   ### ### # ##   ##   ##   ##   #";
        case 'N': return "#   ###  ## # ##  ###   ##   ##   #";
        case 'O': return " ### #   ##   ##   ##   ##   # ### ";
        case 'V': return "#   ##   ##   ##   ##   # # #   #  ";
        case 'X': return "#   ##   # # #   #   # # #   ##   #";
        case '!': return "  #    #    #    #    #         #  ";
        default: return "                                   ";
    }
}

void Text(Canvas& c, const std::string& text, int x, int y, int scale, std::uint8_t ink, std::uint8_t shadow) {
    for (int pass = 0; pass < 2; ++pass) {
        const int off = pass == 0 ? scale / 2 + 1 : 0;
        int cx = x;
        for (char ch : text) {
            const char* g = Glyph(ch);
            for (int i = 0; i < 35; ++i)
                if (g[i] == '#') c.Rect(cx + (i % 5) * scale + off, y + (i / 5) * scale + off, scale, scale, pass == 0 ? shadow : ink);
            cx += 6 * scale;
        }
    }
}

Canvas Starfield(int w, int h, std::uint32_t seed) {
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) c.Set(x, y, Canvas::Dither(Ramp::Navy, 1.5 + 2.5 * Noise(x / 120.0, y / 120.0, seed), x, y));
    Random rnd(seed);
    for (int i = 0; i < w * h / 300; ++i) {
        const int x = rnd.Int(w), y = rnd.Int(h);
        const int kind = rnd.Int(10);
        if (kind < 7) c.Set(x, y, Shade(Ramp::Sky, 8 + rnd.Int(5)));
        else if (kind < 9) c.Rect(x, y, 2, 2, kWhite);
        else {
            c.Line(x - 3, y, x + 3, y, 1, Shade(Ramp::Sky, 12));
            c.Line(x, y - 3, x, y + 3, 1, Shade(Ramp::Sky, 12));
            c.Set(x, y, kWhite);
        }
    }
    return c;
}

}  // namespace

Frames SkyPictures() {
    Frames f;
    f["stage_background"] = Canvas(64, 48, kBlack);
    f["sky_dunes"] = Sky({{0, Ramp::Navy, 1}, {0.35, Ramp::Navy, 5}, {0.55, Ramp::Violet, 5}, {0.75, Ramp::Pink, 7}, {1.0, Ramp::Orange, 10}}, 1, false);
    f["ground_dunes"] = Ground(170, 11, [](int x, int y, bool front, double depth) {
        if (!front) return Canvas::Dither(Ramp::Rust, 5 + 3 * depth, x, y);
        const double ripple = 0.8 * std::sin(x * 0.09 + y * 0.6 + std::sin(x * 0.013) * 5);
        return Canvas::Dither(Ramp::Sand, 9 - 4 * depth + ripple, x, y);
    });
    f["sky_ice"] = Sky({{0, Ramp::Navy, 1}, {0.45, Ramp::Navy, 5}, {0.7, Ramp::Teal, 5}, {1.0, Ramp::Teal, 9}}, 2, true);
    f["ground_ice"] = Ground(170, 21, [](int x, int y, bool front, double depth) {
        if (!front) return Canvas::Dither(Ramp::Sky, 8 + 4 * depth, x, y);
        const double crack = Noise(x / 14.0, y / 6.0, 4) > 0.62 ? -3 : 0;
        return Canvas::Dither(Ramp::Teal, 12 - 5 * depth + crack, x, y);
    });
    f["sky_jungle"] = Sky({{0, Ramp::Violet, 1}, {0.45, Ramp::Violet, 5}, {0.7, Ramp::Pink, 6}, {0.85, Ramp::Orange, 8}, {1.0, Ramp::Gold, 11}}, 3, false);
    f["ground_jungle"] = Ground(170, 31, [](int x, int y, bool front, double depth) {
        if (!front) return Canvas::Dither(Ramp::Green, 3 + 3 * depth, x, y);
        const double moss = Noise(x / 10.0, y / 10.0, 6) * 3;
        return Canvas::Dither(Ramp::Green, 8 - 4 * depth + moss - 1.5, x, y);
    });
    // Alien mushrooms on the jungle's far hills.
    {
        Canvas& g = f["ground_jungle"];
        Random rnd(5);
        for (int i = 0; i < 9; ++i) {
            const int x = 30 + i * 88 + rnd.Int(30), base = 170 - 66 - rnd.Int(20);
            const int h = 24 + rnd.Int(24);
            g.Line(x, base, x + 2, base - h, 4, Shade(Ramp::Sand, 10));
            g.Ball(x + 2, base - h, 14 + rnd.Int(6), 7 + rnd.Int(3), i % 2 ? Ramp::Pink : Ramp::Teal, 4, 12);
        }
    }
    f["ringplanet"] = RingPlanet();
    f["nebula_violet"] = Nebula(4, Ramp::Violet, Ramp::Pink);
    f["nebula_teal"] = Nebula(8, Ramp::Teal, Ramp::Sky);
    f["moon"] = Moon();
    for (int i = 0; i < 8; ++i) f["asteroid_" + std::to_string(i + 1)] = Asteroid(i, 1.0);
    for (int i = 0; i < 4; ++i) f["boulder_" + std::to_string(i + 1)] = Asteroid(i * 2 + 1, 2.2);
    for (int i = 0; i < 6; ++i) f["stars_" + std::string(1, static_cast<char>('a' + i))] = StarCluster(static_cast<std::uint32_t>(i + 20));
    for (int i = 0; i < 3; ++i) f["comet_" + std::to_string(i + 1)] = Comet(i);

    // Preview screens, 608 x 448: a title card and the ship on a planet.
    Canvas screen1 = Starfield(608, 448, 12);
    screen1.Stamp(f["ringplanet"], 400, 40);
    f["Screen1"] = screen1;
    Canvas screen2(608, 448);
    for (int x = 0; x < 608; x += 160) {
        Canvas& sky = f["sky_dunes"];
        for (int y = 0; y < 448; ++y)
            for (int i = 0; i < 160 && x + i < 608; ++i) screen2.Set(x + i, y, sky.Get(i, y * 300 / 448));
    }
    for (int y = 0; y < 170; ++y)
        for (int x = 0; x < 608; ++x)
            if (auto p = f["ground_dunes"].Get(x * 800 / 608, y); p != kClear) screen2.Set(x, 448 - 170 + y, p);
    f["Screen2"] = screen2;
    return f;
}

// The screens get the ship and the mascot once those exist (main.cpp).
void DecorateScreens(Frames& sky, const Frames& ship, const Frames& skins, const Frames& mascot, const Frames& engine) {
    ShipParts flying{&skins.at("Classic"), &ship.at("Ship-Outline"), &ship.at("Ship-Inside"), nullptr,
                     &engine.at("flame1_b"), &mascot.at("s_l90"), nullptr};
    Canvas& s1 = sky.at("Screen1");
    DrawShip(s1, flying, 230, 330);
    Text(s1, "VEXMON", 124, 372, 8, Shade(Ramp::Gold, 12), Shade(Ramp::Red, 3));
    ShipParts landed = flying;
    landed.gear = &ship.at("Ship-Land");
    landed.flame = nullptr;
    landed.mascot = nullptr;
    Canvas& s2 = sky.at("Screen2");
    DrawShip(s2, landed, 190, 448 - 100);
    s2.Stamp(mascot.at("wave1"), 380, 448 - 41 - 110);
    Text(s2, "HELLO!", 330, 60, 6, kWhite, Shade(Ramp::Violet, 2));
}

}  // namespace contentgen
