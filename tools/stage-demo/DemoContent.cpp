#include "tools/stage-demo/DemoContent.h"

#include <sstream>
#include <string_view>

#include "imaging/BmpWriter.h"
#include "imaging/Dib.h"

namespace quellmoor::demo {

namespace {

enum Index : std::uint8_t { kBlack, kSkyIndex, kMeadowIndex, kSunIndex, kMagenta, kHouseIndex, kTreeIndex,
                            kShipIndex, kStarIndex, kWindowIndex };

Palette DemoPalette() {
    Palette palette{};
    const auto set = [&](int i, std::uint32_t rgb) {
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(rgb & 0xFF),
                                                static_cast<std::uint8_t>((rgb >> 8) & 0xFF),
                                                static_cast<std::uint8_t>(rgb >> 16), 0};
    };
    set(kSkyIndex, kSky);
    set(kMeadowIndex, kMeadow);
    set(kSunIndex, kSun);
    set(kMagenta, 0xFF00FF);
    set(kHouseIndex, kHouse);
    set(kTreeIndex, kTree);
    set(kShipIndex, kShip);
    set(kStarIndex, kStar);
    set(kWindowIndex, 0xF0E68C);
    return palette;
}

RDib MakeDib(int width, int height, std::uint8_t fill) {
    RDib dib(width, height);
    dib.SetPalette(DemoPalette());
    dib.Fill(fill);
    return dib;
}

std::string Bitmap(const RDib& dib) {
    std::ostringstream out;
    SaveBmp(dib, out);
    return out.str();
}

std::string Token(std::string_view text) { return std::to_string(text.size()) + "#" + std::string(text); }
std::string Pair(std::string_view name, std::string_view value) { return Token(name) + Token(value); }

std::string Picture(std::string_view name, const RDib& dib, int x, int y, int z, bool transparent) {
    const std::string body = Pair("XPos", std::to_string(x)) + Pair("YPos", std::to_string(y)) +
                             Pair("ZPos", std::to_string(z)) + Pair("Visible", "True") +
                             Pair("TransColor", "RGB24:FF00FF") + Pair("Surface", Bitmap(dib)) +
                             Pair("Transparent", transparent ? "True" : "False");
    return Token("RPicture") + Token(name) + Token(body);
}

}  // namespace

std::string BuildDemoStream(int width, int height, int sprites) {
    RDib background = MakeDib(width, height, kSkyIndex);
    background.FillRect({0, static_cast<float>(height * 2 / 3), static_cast<float>(width), static_cast<float>(height)},
                        kMeadowIndex);
    for (int i = 0; i < 40; ++i) {  // a fixed scatter of stars in the upper sky
        const int x = (i * 73 + 11) % width, y = (i * 37 + 5) % (height / 2);
        if (x < 80 && y < 80) continue;  // keep the sun's corner clear for the display test
        background.FillRect({static_cast<float>(x), static_cast<float>(y), 1, 1}, kStarIndex);
    }

    RDib sun = MakeDib(48, 48, kMagenta);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            if ((x - 23.5) * (x - 23.5) + (y - 23.5) * (y - 23.5) <= 22.0 * 22.0) *sun.GetPixelAddr(x, y) = kSunIndex;

    RDib house = MakeDib(60, 40, kHouseIndex);
    house.FillRect({8, 10, 10, 10}, kWindowIndex);
    house.FillRect({40, 10, 10, 10}, kWindowIndex);

    RDib tree = MakeDib(30, 50, kTreeIndex);

    RDib ship = MakeDib(40, 16, kMagenta);
    ship.FillRect({4, 4, 32, 8}, kShipIndex);
    ship.FillRect({14, 0, 12, 4}, kShipIndex);

    const std::string stage =
        Pair("Caption", "Quellmoor stage demo") + Pair("Background", Bitmap(background));
    const std::string timer = Pair("Interval", "25") + Pair("Enabled", "True");
    const std::string objects = Token("RStage") + Token("Stage") + Token(stage) +
                                Picture("Sun", sun, 24, 24, 10, true) + Picture("House", house, 200, 140, 5, false) +
                                Picture("Tree", tree, 240, 120, 1, false) +
                                Picture("Ship", ship, 0, height / 2 - 20, 0, true) + Token("RTimer") +
                                Token("Mover") + Token(timer);
    std::string load;
    if (sprites > 0) {
        RDib panel = MakeDib(300, 200, kShipIndex);
        panel.FillRect({10, 10, 280, 180}, kWindowIndex);
        load += Picture("Panel", panel, width / 2 - 150, height / 2 - 100, 20, false);
        RDib ring = MakeDib(12, 12, kMagenta);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) {
                const double d = (x - 5.5) * (x - 5.5) + (y - 5.5) * (y - 5.5);
                if (d <= 36.0 && d >= 9.0) *ring.GetPixelAddr(x, y) = kStarIndex;
            }
        for (int i = 0; i < sprites; ++i)
            load += Picture("Sprite" + std::to_string(i), ring, (i * 53) % width, (i * 29) % height, -1, true);
    }
    return "RCS" + Token("Demo=stage\n") + objects + load;
}

}  // namespace quellmoor::demo
