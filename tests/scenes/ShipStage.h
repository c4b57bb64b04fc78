// A windowless stage holding the built main stream, for the space ship tests:
// the stage image in the ship's palette over a background of a colour no ship
// part uses, every loaded pixie hidden, and a timer loop on the virtual clock.
#pragma once

#include <array>
#include <fstream>
#include <sstream>
#include <string>

#include "animation/Picture.h"
#include "animation/Registration.h"
#include "animation/Sprite.h"
#include "imaging/Surface.h"
#include "scenes/SpaceShip.h"
#include "stage/OffscreenStage.h"
#include "stage/Timer.h"

namespace quellmoor::shiptest {

inline std::string ContentDir() { return QM_CONTENT_DIR; }

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class ShipStage : public ROffscreenStage {
public:
    static constexpr int kWidth = 480, kHeight = 400;

    ShipStage() : ShipStage(kWidth, kHeight) {}
    ShipStage(int width, int height) : ROffscreenStage("ship-test") {
        RegisterAnimationClasses();
        LoadStream(ReadFileBytes(ContentDir() + "/QUELLMOOR.stream"));
        for (RComponent* c : GetComponents())
            if (auto* pixie = dynamic_cast<RPixie*>(c)) pixie->SetVisible(false);
        const RDib& outline = *Outline().GetDib();
        Palette palette{};
        for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = outline.GetPaletteEntries()[i];
        background_ = CreateSurface(static_cast<float>(width), static_cast<float>(height));
        background_->GetDib()->SetPalette(palette);
        background_->GetDib()->Fill(UnusedIndex());
        stageImage_ = CloneSurface(*background_);
    }

    RSurface& Outline() const { return *FindComponentAs<RPicture>("Ship-Outline").GetSurface(); }
    RSurface& Skin() const { return *FindComponentAs<RPicture>("Ship-Skin").GetSurface(); }
    RSurface& Inside() const { return *FindComponentAs<RPicture>("Ship-Inside").GetSurface(); }
    RSurface& Land() const { return *FindComponentAs<RPicture>("Ship-Land").GetSurface(); }
    RSprite& Engine() const { return FindComponentAs<RSprite>("Ship-Engine"); }
    RSprite& Mascot() const { return FindComponentAs<RSprite>("Vexmon"); }

    // The ship, owned by the stage like at start-up, shown with its bottom centre at (x, y).
    RSpaceShip& MakeShip(float x = 240, float y = 300) {
        auto* ship = MakeOwned<RSpaceShip>(Outline(), Skin(), Inside(), Land(), Engine(), Mascot(), *this);
        RegisterComponent(ship);
        ship->SetPosition(x, y, 1);
        ship->SetVisible(true);
        return *ship;
    }

    std::uint8_t BackIndex() const { return background_->GetDib()->GetPixelIndex(0, 0); }
    std::uint8_t Pixel(int x, int y) const { return GetStageImage()->GetDib()->GetPixelIndex(x, y); }

    // Fires due timers in order, each at its own due time, up to `until` ms.
    void RunUntil(double until) {
        for (int guard = 0; guard < 1000000; ++guard) {
            RTimer* due = FindNextDue(GetTimers());
            if (!due || due->GetDue() > until) break;
            nowMs = due->GetDue();
            due->Tick();
        }
        nowMs = until;
    }

private:
    std::uint8_t UnusedIndex() const {
        std::array<bool, 256> used{};
        auto mark = [&used](const RSurface* s) {
            if (!s) return;
            const RDib& dib = *s->GetDib();
            for (int y = 0; y < dib.GetHeight(); ++y)
                for (int x = 0; x < dib.GetWidth(); ++x) used[dib.GetPixelIndex(x, y)] = true;
        };
        for (const char* name : {"Ship-Outline", "Ship-Skin", "Ship-Inside", "Ship-Land"})
            mark(FindComponentAs<RPicture>(name).GetSurface());
        for (const char* name : {"Ship-Engine", "Vexmon"})
            for (RSpriteFrame* frame : FindComponentAs<RSprite>(name).GetFrames()) mark(frame->GetSurface());
        for (int i = 255; i >= 0; --i)
            if (!used[static_cast<std::size_t>(i)]) return static_cast<std::uint8_t>(i);
        return 0;
    }
};

}  // namespace quellmoor::shiptest
