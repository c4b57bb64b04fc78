// RSpaceShip: the ship in the middle of the show, drawn from its parts.
//
// The hull is the skin under the outline, composed once: the skin shows only
// where the outline is pure blue. Below it the engine flame (the "Ship-Engine"
// sprite's current frame) and the landing gear slide out by engineAmount and
// gearAmount; through the hull's windows the interior, a scene's mail and the
// mascot are seen. (x, y) is the hull's bottom centre. At a scale other than 1
// the ship is composed once into `scratch` and stretched from there.
//
//   auto* ship = MakeOwned<RSpaceShip>(outline, skin, inside, land, engine, mascot, stage);
//   stage.RegisterComponent(ship);
//   ship->SetEngine(true, "2");
//
// The ship belongs to the stage; the engine, mascot and mail sprites are borrowed.
// LoadShipSkin replaces the "Ship-Skin" picture's bitmap from a file and keeps
// the old one, with a report, when the file cannot be used.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "animation/PixieDrawing.h"
#include "stage/Pixie.h"
#include "stage/Timer.h"

namespace quellmoor {

class RSprite;
class RStage;
class RSurface;

class RSpaceShip : public RPixie {
public:
    RSpaceShip(const RSurface& outline, const RSurface& skin, const RSurface& inside, const RSurface& land,
               RSprite& engine, RSprite& mascot, RStage& stage);
    ~RSpaceShip() override;

    std::string GetClassName() const override { return "RSpaceShip"; }
    void HandleEvent(const std::string& eventName, RComponent* sender, REvent* event) override;

    float GetXPos() const override { return x_; }
    void SetXPos(float x) override { x_ = x; }
    float GetYPos() const override { return y_; }
    void SetYPos(float y) override { y_ = y; }
    float GetZPos() const override { return z_; }
    void SetZPos(float z) override { z_ = z; }

    bool UpdateBounds() override;
    void Draw(RSurface& destination, float x, float y, const std::vector<RRect>* clipRects) override;

    // Runs "ON_" or "OFF_" + type endlessly; an empty type keeps the current one.
    void SetEngine(bool on, const std::string& type);
    void SetMascotAboard(bool on);
    bool IsMascotAboard() const { return mascotAboard_; }
    // While open, a director shows the interior: no interior, mail or mascot.
    void SetOpen(bool on) { open_ = on; }
    bool IsOpen() const { return open_; }

    void SetMail(RSprite* sprite);
    void ShowMail(bool on);
    bool IsShowingMail() const;
    float GetMailAmount() const { return mailAmount_; }
    const RTimer& GetMailTimer() const { return mailTimer_; }

    // The ship's full height with the gear out by gearAmount.
    float GetHoverOffset() const;

    // The rectangle Draw covers at (x, y); empty when it draws nothing.
    RRect GetDrawnRect(float x, float y);

    // Written directly by the scenes.
    float engineAmount = 1.0f;
    float gearAmount = 1.0f;
    float scale = 1.0f;

private:
    void DrawParts(RSurface& destination, float x, float y);
    RRect PartsRect(float x, float y);
    // What changes the picture without moving it: flame frame, amounts, flags.
    std::vector<std::uintptr_t> CurrentLook();
    void MailTick();

    float x_ = 0, y_ = 0, z_ = 0;
    std::unique_ptr<RSurface> hull_;
    std::unique_ptr<RSurface> inside_;
    std::unique_ptr<RSurface> gear_;
    std::unique_ptr<RSurface> scratch_;
    RSprite* engine_;
    RSprite* mascot_;
    RSprite* mail_ = nullptr;
    float mailAmount_ = 0;
    int mailTicks_ = 0;
    bool scratchDirty_ = true;
    unsigned scratchGeneration_ = 0;
    bool mascotAboard_ = false;
    bool open_ = false;
    RTimer mailTimer_;
    CoveredArea bounds_;
    std::vector<std::uintptr_t> lastLook_;
};

// Loads dir/Skins/skin.bmp into the "Ship-Skin" picture of `stage`. An empty
// skin name keeps the stream's skin and says nothing; a missing, unreadable or
// non-8-bit file keeps it too and is reported once. True when the skin changed.
bool LoadShipSkin(RStage& stage, std::string_view dir, std::string_view skin);

// Loads the bitmap file at `path` into the "Ship-Skin" picture, through a
// temporary surface so that a failure leaves the picture as it was.
bool LoadShipSkinFile(RStage& stage, const std::string& path);

}  // namespace quellmoor
