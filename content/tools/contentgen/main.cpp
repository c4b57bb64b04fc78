// contentgen: draws the show's pictures, skins and sounds from code and from
// the text pixel art, into the build tree.
//
//   contentgen OUT_DIR ART_DIR [--preview PREVIEW_DIR]
//
// OUT_DIR/images/... gets every bitmap the stream sources refer to,
// OUT_DIR/Skins and OUT_DIR/Sounds the skins and sounds, OUT_DIR/palette.bmp
// the reference for the palette check. --preview writes PNG contact sheets.
#include <iostream>
#include <string>
#include <vector>

#include "content/tools/contentgen/Art.h"
#include "content/tools/contentgen/Output.h"
#include "content/tools/contentgen/Sound.h"
#include "model/Exceptions.h"

using namespace contentgen;

namespace {

void SaveAll(const Frames& frames, const std::string& dir, const std::string& preview, const std::string& sheetName,
             int columns) {
    std::vector<const Canvas*> list;
    for (const auto& [name, canvas] : frames) {
        SaveBitmap(canvas, dir + "/" + name + ".bmp");
        list.push_back(&canvas);
    }
    if (!preview.empty()) SavePreview(ContactSheet(list, columns, kNight1), preview + "/" + sheetName + ".png", 2);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        std::cerr << "usage: contentgen OUT_DIR ART_DIR [--preview PREVIEW_DIR]\n";
        return 2;
    }
    const std::string out = argv[1], art = argv[2];
    const std::string preview = argc == 5 ? argv[4] : "";
    try {
        Canvas palette(16, 16);
        for (int i = 0; i < 256; ++i) palette.Set(i % 16, i / 16, static_cast<std::uint8_t>(i));
        SaveBitmap(palette, out + "/palette.bmp");
        if (!preview.empty()) SavePreview(palette, preview + "/palette.png", 8);

        const Frames mascot = MascotFrames(), ship = ShipPictures(), engine = EngineFrames(), skins = ShipSkins();
        Frames sky = SkyPictures();
        DecorateScreens(sky, ship, skins, mascot, engine);
        SaveAll(mascot, out + "/images/vexmon", preview, "vexmon", 8);
        SaveAll(ship, out + "/images/ship", preview, "ship", 3);
        SaveAll(engine, out + "/images/engine", preview, "engine", 10);
        SaveAll(sky, out + "/images/sky", preview, "sky", 4);
        SaveAll(VisitorFrames(), out + "/images/visitors", preview, "visitors", 8);
        SaveAll(PixelArtFrames(art), out + "/images/art", preview, "art", 10);
        for (const auto& [name, canvas] : skins) SaveBitmap(canvas, out + "/Skins/" + name + ".bmp");
        SaveBitmap(skins.at("Classic"), out + "/images/ship/Ship-Skin.bmp");
        if (!preview.empty()) {
            std::vector<const Canvas*> list;
            for (const auto& [name, canvas] : skins) list.push_back(&canvas);
            SavePreview(ContactSheet(list, 4, kNight1), preview + "/skins.png", 1);
        }
        WriteSounds(out + "/Sounds");
    } catch (const quellmoor::RException& e) {
        std::cerr << "contentgen: " << e.GetMessage() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "contentgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
