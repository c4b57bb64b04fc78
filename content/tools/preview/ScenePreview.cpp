// scenepreview: renders moments of the built scenes with the engine's own
// pictures, sprites and directors, so authors can see that the parts line up.
//
//   scenepreview CONTENT_DIR OUT_DIR
//
// The ship is composed the way the show composes it (skin under the outline's
// blue key; interior, gear and mascot placed from the hull's bottom centre),
// and each director is placed as its scene places it. Writes one PNG per
// moment into OUT_DIR.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "animation/Director.h"
#include "animation/Picture.h"
#include "animation/Registration.h"
#include "animation/Sprite.h"
#include "imaging/PngWriter.h"
#include "imaging/Surface.h"
#include "model/Exceptions.h"
#include "stage/OffscreenStage.h"
#include "tools/common/Options.h"

using namespace quellmoor;

namespace {

constexpr float kW = 800, kH = 600;

// Scene moments are rendered on a stage without a window.
class PreviewStage : public ROffscreenStage {
public:
    PreviewStage() : ROffscreenStage("scenepreview") { RegisterAnimationClasses(); }
};

std::string Read(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Ship {
    float x = 0, y = 0;
    bool landed = false, open = false, aboard = true;
    std::string mascotFrame = "s_l90";
};

class Preview {
public:
    Preview(PreviewStage& stage) : stage_(stage) {
        auto& outline = *stage.FindComponentAs<RPicture>("Ship-Outline").GetSurface();
        auto& skin = *stage.FindComponentAs<RPicture>("Ship-Skin").GetSurface();
        hull_ = stage.CloneSurface(outline);
        hull_->SetTransColor(-1);
        skin.SetTransColor(-1);
        hull_->CopyFrom(&skin, 0, 0, skin.GetWidth(), skin.GetHeight(), 0, outline.GetHeight() - skin.GetHeight(),
                        skin.GetWidth(), skin.GetHeight(), false, false);
        auto keyed = stage.CloneSurface(outline);
        keyed->SetTransColor(0xFF0000);
        hull_->CopyFrom(keyed.get(), 0, 0, outline.GetWidth(), outline.GetHeight(), 0, 0, outline.GetWidth(),
                        outline.GetHeight(), false, false);
        hull_->SetTransColor(0x00FF00);
        canvas_ = stage.CreateSurface(kW, kH);
        canvas_->GetDib()->SetPalette(*reinterpret_cast<const Palette*>(outline.GetDib()->GetPaletteEntries()));
    }

    RSurface& Canvas() { return *canvas_; }

    void Sky(RPicture* sky, RPicture* planet) {
        canvas_->Fill(0);
        if (sky) {
            auto* s = sky->GetSurface();
            for (float x = 0; x < kW; x += s->GetWidth())
                canvas_->CopyFrom(s, 0, 0, s->GetWidth(), s->GetHeight(), x, 0, s->GetWidth(), kH, false, false);
        }
        if (planet) {
            auto* p = planet->GetSurface();
            canvas_->CopyFrom(p, 0, 0, p->GetWidth(), p->GetHeight(), 0, kH - p->GetHeight(), kW, p->GetHeight(), false, false);
        }
    }

    void DrawShip(const Ship& ship) {
        auto draw = [this](RSurface* s, float x, float y) {
            canvas_->CopyFrom(s, 0, 0, s->GetWidth(), s->GetHeight(), x, y, s->GetWidth(), s->GetHeight(), false, false);
        };
        if (ship.landed) {
            auto* gear = stage_.FindComponentAs<RPicture>("Ship-Land").GetSurface();
            gear->SetTransColor(0x00FF00);
            draw(gear, ship.x - gear->GetWidth() / 2, ship.y - 18);
        }
        if (!ship.open) {
            auto* inside = stage_.FindComponentAs<RPicture>("Ship-Inside").GetSurface();
            inside->SetTransColor(0x00FF00);
            draw(inside, ship.x - inside->GetWidth() / 2, ship.y - hull_->GetHeight() + 78);
            if (ship.aboard) {
                auto& mascot = stage_.FindComponentAs<RSprite>("Vexmon");
                mascot.SetCurFrameName(ship.mascotFrame);
                auto* frame = mascot.GetCurFrame()->GetSurface();
                draw(frame, ship.x - frame->GetWidth() / 2, ship.y - 190);
            }
        }
        draw(hull_.get(), ship.x - hull_->GetWidth() / 2, ship.y - hull_->GetHeight());
    }

    // Draws the visible pixies and the ship (at depth 1) far to near.
    void Compose(const Ship& ship) {
        std::vector<RPixie*> pixies;
        for (RComponent* c : stage_.GetComponents())
            if (auto* p = dynamic_cast<RPixie*>(c); p && p->GetVisible()) pixies.push_back(p);
        std::stable_sort(pixies.begin(), pixies.end(), [](RPixie* a, RPixie* b) { return a->GetZPos() > b->GetZPos(); });
        bool shipDrawn = false;
        for (RPixie* p : pixies) {
            if (!shipDrawn && p->GetZPos() < 1.0f) {
                DrawShip(ship);
                shipDrawn = true;
            }
            p->Draw(*canvas_, p->GetXPos(), p->GetYPos(), nullptr);
        }
        if (!shipDrawn) DrawShip(ship);
    }

    void Save(const std::string& path) { SavePng(*canvas_->GetDib(), path); }

private:
    PreviewStage& stage_;
    std::unique_ptr<RSurface> hull_;
    std::unique_ptr<RSurface> canvas_;
};

void HideAll(PreviewStage& stage) {
    for (RComponent* c : stage.GetComponents())
        if (auto* p = dynamic_cast<RPixie*>(c)) p->SetVisible(false);
}

void PlaceAtPijl(RDirector& d) {
    float px = 0, py = 0, pz = 0;
    if (d.GetStartPosition("Pijl", px, py, pz)) d.SetPosition(kW * 0.5f - px, kH - 41 - py, -1 - pz);
    else d.MoveTo(kW * 0.5f, kH - 280);
}

void PlaceOnShip(RDirector& d, const Ship& ship, const char* actor) {
    float px = 0, py = 0, pz = 0;
    d.GetStartPosition(actor, px, py, pz);
    d.SetPosition(ship.x - 110 - px, ship.y - 159 - py, 1 + 40 - pz);
}

void PlanetMoments(PreviewStage& stage, RComponentManager& scene, const std::string& name, const std::string& out) {
    Preview preview(stage);
    auto* sky = dynamic_cast<RPicture*>(scene.FindComponent("Sky"));
    auto* planet = dynamic_cast<RPicture*>(scene.FindComponent("Planet"));
    Ship ship{kW * 0.5f - 200, kH - 100, true, false, true, "s_l90"};
    auto& getOut = stage.FindComponentAs<RDirector>("GetOut");
    auto& getIn = stage.FindComponentAs<RDirector>("GetIn");
    auto& before = scene.FindComponentAs<RDirector>("Before");
    auto& playing = scene.FindComponentAs<RDirector>("Playing");
    auto& talking = scene.FindComponentAs<RDirector>("Talking");
    for (const char* d : {"Before", "After", "Talking", "NotTalking", "Playing"}) PlaceAtPijl(scene.FindComponentAs<RDirector>(d));
    struct Moment { const char* label; RDirector* director; int step; bool open; };
    const Moment moments[] = {{"1-landed", &before, before.GetLastStep(), false}, {"2-getout", &getOut, 8, true},
                              {"3-getout", &getOut, 14, true}, {"4-getout", &getOut, 18, true},
                              {"5-getout", &getOut, getOut.GetLastStep(), true}, {"6-talking", &talking, 2, false},
                              {"7-playing", &playing, 6, false}, {"8-getin", &getIn, 9, true}};
    for (const Moment& m : moments) {
        HideAll(stage);
        before.GotoStep(before.GetLastStep());
        ship.open = m.open;
        ship.aboard = m.director == &before;
        if (m.director == &getOut || m.director == &getIn) PlaceOnShip(*m.director, ship, "Ship-Inside");
        if (m.director == &talking || m.director == &playing) {
            getOut.GotoStep(getOut.GetLastStep());
            stage.FindComponentAs<RPicture>("Ship-Inside").SetVisible(false);
            auto& vexmon = stage.FindComponentAs<RSprite>("Vexmon");
            vexmon.SetVisible(true);
            if (m.director == &talking) vexmon.SetCurFrameName("talk3");
        }
        m.director->GotoStep(m.step);
        preview.Sky(sky, planet);
        preview.Compose(ship);
        preview.Save(out + "/" + name + "-" + m.label + ".png");
    }
}

void MeetingMoments(PreviewStage& stage, RComponentManager& scene, const std::string& name, const std::string& out) {
    Preview preview(stage);
    Ship ship{kW * 0.5f, (kH + 237) * 0.5f, false, false, true, "sit_talk2"};
    const float ox = std::stof(scene.GetHeaderValue("XPos", "0")), oy = std::stof(scene.GetHeaderValue("YPos", "0")),
                oz = std::stof(scene.GetHeaderValue("ZPos", "100"));
    for (const char* d : {"Talking", "Playing", "MoveIn"})
        scene.FindComponentAs<RDirector>(d).SetPosition(ship.x + ox, ship.y + oy, 1 + oz);
    int n = 0;
    for (const char* d : {"MoveIn", "Talking", "Playing"}) {
        HideAll(stage);
        auto& director = scene.FindComponentAs<RDirector>(d);
        director.GotoStep(std::string(d) == "Playing" ? 8 : 2);
        preview.Sky(nullptr, nullptr);
        preview.Compose(ship);
        preview.Save(out + "/" + name + "-" + std::to_string(++n) + "-" + d + ".png");
    }
}

void InShipMoments(PreviewStage& stage, RComponentManager& scene, const std::string& name, const std::string& out) {
    Preview preview(stage);
    Ship ship{kW * 0.5f, (kH + 237) * 0.5f, false, true, false, "s_l90"};
    auto& director = scene.FindComponentAs<RDirector>("Scene");
    PlaceOnShip(director, ship, "Inside");
    const int last = director.GetLastStep();
    for (int step : {1, last / 3, last / 2, last - 4}) {
        HideAll(stage);
        director.GotoStep(step);
        preview.Sky(nullptr, nullptr);
        preview.Compose(ship);
        preview.Save(out + "/" + name + "-step" + std::to_string(step) + ".png");
    }
}

void MovingMoment(PreviewStage& stage, RComponentManager& scene, const std::string& name, const std::string& out) {
    Preview preview(stage);
    HideAll(stage);
    for (RComponent* c : scene.GetComponents())
        if (auto* p = dynamic_cast<RPixie*>(c); p && c->GetTagValue("SkyItem", "False") == "True") p->SetVisible(true);
    preview.Sky(nullptr, nullptr);
    preview.Compose({kW * 0.5f, (kH + 237) * 0.5f, false, false, true, "s_l90"});
    preview.Save(out + "/" + name + ".png");
}

}  // namespace

int main(int argc, char** argv) {
    std::string contentDir, out;
    tools::OptionParser options("scenepreview", "Renders moments of the built scenes as PNG files into OUT_DIR.");
    options.Positional("CONTENT_DIR", "the built streams (QUELLMOOR.stream and the scenes' .RCS files)", contentDir);
    options.Positional("OUT_DIR", "where the pictures go (made when missing)", out);
    if (auto exit = options.ParseOrExit(argc, argv, std::cout, std::cerr)) return *exit;
    const std::filesystem::path dir = contentDir;
    std::filesystem::create_directories(out);
    try {
        PreviewStage stage;
        std::istringstream main(Read(dir / "QUELLMOOR.stream"));
        stage.RComponentManager::AddComponentStream(&main);
        {
            Preview preview(stage);
            preview.Sky(nullptr, nullptr);
            preview.Compose({kW * 0.5f, (kH + 237) * 0.5f, false, false, true, "s_l90"});
            preview.Save(out + "/ship-hovering.png");
        }
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.path().extension() != ".RCS") continue;
            RComponentManager scene(entry.path().string(), &stage);
            std::istringstream in(Read(entry.path()));
            scene.AddComponentStream(&in);
            scene.AddComponentsTo(stage);
            const std::string type = scene.GetHeaderValue("Type", ""), name = entry.path().stem().string();
            if (type == "RPlanetScene") PlanetMoments(stage, scene, name, out);
            else if (type == "RMeetingScene") MeetingMoments(stage, scene, name, out);
            else if (type == "RInShipScene") InShipMoments(stage, scene, name, out);
            else if (type == "RMovingScene") MovingMoment(stage, scene, name, out);
            scene.RemoveComponentsFrom(stage);
        }
    } catch (const RException& e) {
        std::cerr << "scenepreview: " << e.GetMessage() << "\n";
        return 1;
    }
    return 0;
}
