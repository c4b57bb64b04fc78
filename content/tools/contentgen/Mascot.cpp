// Vexmon, the mascot: a round violet fellow with an antenna, big eyes and a
// red scarf. Every frame is drawn from a pose, so walking, talking and
// singing frames share one body and animate without jumps.
#include <cmath>

#include "content/tools/contentgen/Art.h"

namespace contentgen {

namespace {

enum class Facing { Front, Right };
enum class Mouth { Smile, Open, Wide, Oh, Grin, Flat, Snore };
enum class Eyes { Open, Closed, Happy, Wide };

struct Pose {
    Facing facing = Facing::Front;
    Mouth mouth = Mouth::Smile;
    Eyes eyes = Eyes::Open;
    double lookX = 0, lookY = 0;        // pupils
    double bob = 0;                     // whole body up (-) or down (+)
    double squash = 0;                  // >0 wider and lower, <0 taller
    double armBack = 200, armFront = -20;  // degrees, 90 = straight down, 0 = right, 180 = left
    double stepPhase = -1;              // walk cycle 0..1, -1 standing
    bool sitting = false;
    bool mic = false;                   // in the front hand
    double antennaSway = 0;
    bool zees = false;
};

constexpr double kPi = 3.14159265358979;
constexpr std::uint8_t kOutline = Shade(Ramp::Violet, 0);

void Arm(Canvas& c, double sx, double sy, double angle, double length, bool withMic) {
    const double a = angle * kPi / 180.0;
    const double hx = sx + std::cos(a) * length, hy = sy + std::sin(a) * length;
    c.Line(sx, sy, hx, hy, 5.0, Shade(Ramp::Violet, 6));
    c.Line(sx, sy - 0.8, hx, hy - 0.8, 2.0, Shade(Ramp::Violet, 9));
    if (withMic) {
        const double ux = -std::sin(a) * 0.0 + std::cos(a) * 0.2, uy = -1.0;
        c.Line(hx, hy, hx + ux * 9, hy + uy * 9, 3.0, Shade(Ramp::Grey, 4));
        c.Ball(hx + ux * 11, hy + uy * 11, 4.2, 4.2, Ramp::Grey, 4, 13);
        c.Set(static_cast<int>(hx + ux * 11) - 1, static_cast<int>(hy + uy * 11) - 2, kWhite);
    }
    c.Ball(hx, hy, 3.4, 3.4, Ramp::Violet, 6, 12);
}

void Eye(Canvas& c, double x, double y, double scale, const Pose& p) {
    const double rx = 4.6 * scale, ry = 5.8;
    switch (p.eyes) {
        case Eyes::Closed:
            c.Line(x - rx, y + 1, x + rx, y + 1, 1.6, kOutline);
            return;
        case Eyes::Happy:
            c.Line(x - rx, y + 2, x, y - 2, 1.8, kOutline);
            c.Line(x, y - 2, x + rx, y + 2, 1.8, kOutline);
            return;
        default:
            break;
    }
    const double grow = p.eyes == Eyes::Wide ? 1.2 : 1.0;
    c.Ellipse(x, y, rx * grow + 1, ry * grow + 1, kOutline);
    c.Ellipse(x, y, rx * grow, ry * grow, kWhite);
    const double px = x + p.lookX * scale + (p.facing == Facing::Right ? 1.5 : 0), py = y + 1 + p.lookY;
    c.Ellipse(px, py, 2.6 * scale, 3.2, Shade(Ramp::Navy, 3));
    c.Ellipse(px, py + 0.5, 1.6 * scale, 2.0, kBlack);
    c.Set(static_cast<int>(px - 1), static_cast<int>(py - 2), kWhite);
}

void Mouth_(Canvas& c, double x, double y, const Pose& p) {
    const std::uint8_t dark = Shade(Ramp::Red, 2), tongue = Shade(Ramp::Pink, 9);
    switch (p.mouth) {
        case Mouth::Smile:
            for (double t = -1; t <= 1.0; t += 0.1) c.Set(static_cast<int>(x + t * 5), static_cast<int>(y + 2 - (1 - t * t) * -2.2), kOutline);
            break;
        case Mouth::Flat:
            c.Line(x - 3, y + 2, x + 3, y + 2, 1.2, kOutline);
            break;
        case Mouth::Open:
            c.Ellipse(x, y + 2.5, 4.5, 3.2, kOutline);
            c.Ellipse(x, y + 2.5, 3.5, 2.3, dark);
            c.Ellipse(x, y + 4, 2.2, 1.0, tongue);
            break;
        case Mouth::Wide:
            c.Ellipse(x, y + 3, 6.5, 4.8, kOutline);
            c.Ellipse(x, y + 3, 5.5, 3.9, dark);
            c.Rect(static_cast<int>(x - 4), static_cast<int>(y - 0.5), 8, 2, kWhite);
            c.Ellipse(x, y + 5.5, 3.4, 1.6, tongue);
            break;
        case Mouth::Oh:
            c.Ellipse(x, y + 3, 2.8, 3.4, kOutline);
            c.Ellipse(x, y + 3, 1.9, 2.4, dark);
            break;
        case Mouth::Grin:
            c.Ellipse(x, y + 2, 7, 4, kOutline);
            c.Rect(static_cast<int>(x - 6), static_cast<int>(y - 1), 13, 3, kOutline);
            c.Ellipse(x, y + 2, 6, 3, kWhite);
            c.Rect(static_cast<int>(x - 5), static_cast<int>(y), 11, 2, kWhite);
            c.Line(x - 5, y + 2, x + 5, y + 2, 1.0, Shade(Ramp::Grey, 10));
            break;
        case Mouth::Snore:
            c.Ellipse(x, y + 3, 1.8, 1.8, kOutline);
            break;
    }
}

Canvas Draw(const Pose& p) {
    Canvas c(kMascotWidth, kMascotHeight);
    const double base = (p.sitting ? 108.0 : 110.0) + p.bob;  // where the feet touch
    const double sq = p.squash;
    const double headY = base - 49 + sq * 4, bodyY = base - 20 + sq * 2;
    const double cx = 32;
    const bool right = p.facing == Facing::Right;

    // Back arm behind the body.
    Arm(c, cx + (right ? -4 : -12), bodyY - 7, p.armBack, 12, false);

    // Legs and feet.
    if (p.sitting) {
        c.Ball(cx - 7, base - 2, 6, 4, Ramp::Violet, 3, 10);
        c.Ball(cx + 7, base - 2, 6, 4, Ramp::Violet, 3, 10);
    } else {
        double f1 = 0, f2 = 0, lift1 = 0, lift2 = 0;
        if (p.stepPhase >= 0) {
            const double s = std::sin(p.stepPhase * 2 * kPi);
            f1 = 6 * s;
            f2 = -6 * s;
            lift1 = s < 0 ? -2.5 * -s : 0;
            lift2 = s > 0 ? -2.5 * s : 0;
        }
        const double hipL = right ? cx - 3 : cx - 6, hipR = right ? cx + 5 : cx + 6;
        c.Line(hipL, bodyY + 8, hipL + f1, base - 4 + lift1, 5, Shade(Ramp::Violet, 5));
        c.Line(hipR, bodyY + 8, hipR + f2, base - 4 + lift2, 5, Shade(Ramp::Violet, 6));
        const double toe = right ? 2.5 : 0;
        c.Ball(hipL + f1 + toe, base - 3 + lift1, 5.5, 3.2, Ramp::Violet, 3, 9);
        c.Ball(hipR + f2 + toe, base - 3 + lift2, 5.5, 3.2, Ramp::Violet, 3, 10);
    }

    // Body with its pale belly.
    c.Ball(cx, bodyY, 14 + sq * 2, 14 - sq, Ramp::Violet, 3, 12);
    c.EllipseBy(cx + (right ? 4 : 0), bodyY + 2, 8.5 + sq, 9 - sq, [](int x, int y, double nx, double ny) {
        return Canvas::Dither(Ramp::Sand, 11.5 - 2.5 * ny - 1.0 * nx, x, y);
    });

    // Antenna.
    const double ax = cx + (right ? -3 : 0), ay = headY - 16;
    const double tipX = ax + 4 + p.antennaSway + (right ? -3 : 0), tipY = ay - 12;
    c.Line(ax, ay + 2, (ax + tipX) / 2 + 2, (ay + tipY) / 2, 1.8, Shade(Ramp::Violet, 4));
    c.Line((ax + tipX) / 2 + 2, (ay + tipY) / 2, tipX, tipY, 1.8, Shade(Ramp::Violet, 4));
    c.Ball(tipX, tipY, 3.6, 3.6, Ramp::Gold, 6, 15);

    // Head: a wide round shape, slightly squashed.
    c.Ball(cx, headY, 19 + sq * 2, 16.5 - sq * 1.5, Ramp::Violet, 3, 13);
    // Cheeks.
    const double eyeY = headY - 2;
    const double leftEye = right ? cx + 1 : cx - 8, rightEye = right ? cx + 13 : cx + 8;
    c.Ellipse(leftEye - (right ? 2 : 3), eyeY + 8, 3, 1.6, Shade(Ramp::Pink, 9));
    c.Ellipse(rightEye + 3, eyeY + 8, 3, 1.6, Shade(Ramp::Pink, 9));
    Eye(c, leftEye, eyeY, right ? 0.8 : 1.0, p);
    Eye(c, rightEye, eyeY, 1.0, p);
    Mouth_(c, right ? cx + 9 : cx, headY + 6, p);

    // Scarf between head and body.
    c.EllipseBy(cx, headY + 15, 12, 3.4, [](int x, int y, double, double ny) {
        return Canvas::Dither(Ramp::Red, 8.5 - 3 * ny, x, y);
    });
    const double tail = right ? cx - 10 : cx + 8;
    c.Polygon({{tail, headY + 15}, {tail + 5, headY + 16}, {tail + 3 + (right ? -4 : 2), headY + 25}, {tail - 1, headY + 24}},
              Shade(Ramp::Red, 7));

    // Front arm.
    Arm(c, cx + (right ? 8 : 12), bodyY - 7, p.armFront, 12, p.mic);

    if (p.zees) {
        // Little sleeping Z's over the head.
        auto zee = [&c](int x, int y, int s) {
            c.Line(x, y, x + s, y, 1.2, kWhite);
            c.Line(x + s, y, x, y + s, 1.2, kWhite);
            c.Line(x, y + s, x + s, y + s, 1.2, kWhite);
        };
        zee(46, static_cast<int>(headY) - 20, 5);
        zee(55, static_cast<int>(headY) - 28, 4);
    }
    c.Outline(kOutline);
    return c;
}

}  // namespace

Frames MascotFrames() {
    Frames f;
    auto add = [&f](const std::string& name, Pose p) { f[name] = Draw(p); };
    Pose stand;
    stand.armBack = 115;
    stand.armFront = 65;

    add("stand1", stand);
    Pose blink = stand;
    blink.eyes = Eyes::Closed;
    add("stand2", blink);
    Pose look = stand;
    look.lookX = -2;
    look.antennaSway = -2;
    add("stand3", look);

    const Mouth talkMouths[4] = {Mouth::Open, Mouth::Oh, Mouth::Wide, Mouth::Open};
    const double talkArms[4][2] = {{115, 65}, {120, 40}, {150, 10}, {110, 60}};
    for (int i = 0; i < 4; ++i) {
        Pose t = stand;
        t.mouth = talkMouths[i];
        t.armBack = talkArms[i][0];
        t.armFront = talkArms[i][1];
        t.bob = i == 2 ? -1 : 0;
        t.antennaSway = i % 2 ? 1.5 : -1;
        add("talk" + std::to_string(i + 1), t);
    }

    for (int i = 0; i < 4; ++i) {
        Pose w;
        w.facing = Facing::Right;
        w.stepPhase = i / 4.0;
        w.bob = (i % 2) ? -1.5 : 0;
        const double swing = std::sin(i / 4.0 * 2 * kPi) * 30;
        w.armBack = 90 - swing;
        w.armFront = 90 + swing;
        w.antennaSway = (i % 2) ? -2 : 1;
        add("walk_r" + std::to_string(i + 1), w);
        f["walk_l" + std::to_string(i + 1)] = f["walk_r" + std::to_string(i + 1)].Mirrored();
    }
    Pose side;
    side.facing = Facing::Right;
    side.armBack = 100;
    side.armFront = 80;
    add("s_right", side);
    f["s_left"] = f["s_right"].Mirrored();

    Pose crouch = stand;
    crouch.squash = 1.5;
    crouch.bob = 2;
    crouch.armBack = 150;
    crouch.armFront = 30;
    crouch.eyes = Eyes::Happy;
    add("jump1", crouch);
    Pose leap = stand;
    leap.squash = -1.2;
    leap.armBack = 225;
    leap.armFront = -45;
    leap.mouth = Mouth::Grin;
    add("jump2", leap);

    Pose wave = stand;
    wave.mouth = Mouth::Grin;
    wave.armFront = -60;
    add("wave1", wave);
    wave.armFront = -20;
    wave.eyes = Eyes::Happy;
    add("wave2", wave);

    Pose reach = stand;
    reach.armFront = 30;
    reach.lookX = 2;
    reach.lookY = 2;
    reach.mouth = Mouth::Flat;
    add("getmic1", reach);
    Pose hold = stand;
    hold.mic = true;
    hold.armFront = 20;
    add("getmic2", hold);
    Pose ready = stand;
    ready.mic = true;
    ready.armFront = -75;
    ready.mouth = Mouth::Grin;
    add("getmic3", ready);

    const Mouth singMouths[4] = {Mouth::Wide, Mouth::Oh, Mouth::Open, Mouth::Wide};
    const double singBack[4] = {150, 210, 130, 230};
    for (int i = 0; i < 4; ++i) {
        Pose s = ready;
        s.mouth = singMouths[i];
        s.eyes = i % 2 ? Eyes::Open : Eyes::Closed;
        s.armBack = singBack[i];
        s.bob = i % 2 ? -2 : 0;
        s.squash = i % 2 ? -0.5 : 0.3;
        s.antennaSway = i % 2 ? 3 : -3;
        add("sing" + std::to_string(i + 1), s);
    }
    Pose dance = stand;
    dance.mouth = Mouth::Grin;
    dance.eyes = Eyes::Happy;
    dance.armBack = 210;
    dance.armFront = 40;
    dance.bob = -2;
    dance.antennaSway = 3;
    add("dance1", dance);
    dance.armBack = 140;
    dance.armFront = -30;
    dance.bob = 1;
    dance.squash = 0.6;
    dance.antennaSway = -3;
    add("dance2", dance);
    Pose bow = stand;
    bow.squash = 1;
    bow.bob = 3;
    bow.eyes = Eyes::Closed;
    bow.armBack = 60;
    bow.armFront = 120;
    add("bow", bow);

    // Sitting in the ship.
    Pose sit = stand;
    sit.sitting = true;
    sit.armBack = 60;
    sit.armFront = 120;
    add("s_l90", sit);
    Pose mail = sit;
    mail.lookX = -2.5;
    mail.lookY = 2;
    mail.mouth = Mouth::Oh;
    mail.eyes = Eyes::Wide;
    mail.antennaSway = -4;
    add("s_l135", mail);
    const Mouth sitMouths[3] = {Mouth::Open, Mouth::Wide, Mouth::Oh};
    for (int i = 0; i < 3; ++i) {
        Pose t = sit;
        t.facing = Facing::Right;
        t.mouth = sitMouths[i];
        t.armFront = i == 1 ? 10 : 70;
        t.antennaSway = i == 1 ? 2 : 0;
        add("sit_talk" + std::to_string(i + 1), t);
    }
    Pose listen = sit;
    listen.facing = Facing::Right;
    add("sit_listen1", listen);
    listen.eyes = Eyes::Closed;
    add("sit_listen2", listen);
    Pose sleep = sit;
    sleep.eyes = Eyes::Closed;
    sleep.mouth = Mouth::Snore;
    sleep.squash = 0.5;
    sleep.bob = 1;
    sleep.antennaSway = -5;
    add("sleep1", sleep);
    sleep.zees = true;
    sleep.mouth = Mouth::Oh;
    sleep.squash = 0.4;
    add("sleep2", sleep);
    Pose wake = sit;
    wake.eyes = Eyes::Wide;
    wake.mouth = Mouth::Oh;
    wake.armBack = 210;
    wake.armFront = -30;
    wake.squash = -1;
    wake.antennaSway = 5;
    add("wake", wake);
    Pose munch = sit;
    munch.mouth = Mouth::Grin;
    munch.eyes = Eyes::Happy;
    add("sit_happy", munch);
    return f;
}

}  // namespace contentgen
