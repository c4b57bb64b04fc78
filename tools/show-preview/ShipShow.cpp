#include "tools/show-preview/ShipShow.h"

#include <algorithm>
#include <cmath>

#include "animation/Director.h"
#include "animation/Picture.h"
#include "animation/Sprite.h"
#include "imaging/Surface.h"
#include "stage/Stage.h"

namespace quellmoor {

namespace {

constexpr std::int32_t kGreen = 0x00FF00, kBlue = 0xFF0000;  // colours are 0x00BBGGRR
// Depths: the hull at 0, the parts it covers behind it, far from the stars (100 and more).
constexpr float kHullZ = 0, kMascotZ = 1, kInsideZ = 2, kGearZ = 3, kEngineZ = 4;
// Table depth + this = stage depth: -20 (the cabin) lands behind the hull, -42 (the doors) in front.
constexpr float kDirectorDepth = 40;
constexpr float kInsideDrop = 78;    // the cabin's top lies this far below the hull's top
constexpr float kMascotAboveHullBottom = 190;
constexpr float kGearIntoHull = 18;
constexpr float kMascotFeet = 110;   // within his 112-pixel frames
constexpr float kLandedAboveBottom = 100;
constexpr double kMoveMs = 1200, kOutsideMs = 1000, kHoverAgainMs = 6000;

float Width(RSurface* surface) { return surface ? surface->GetWidth() : 0.0f; }
float Height(RSurface* surface) { return surface ? surface->GetHeight() : 0.0f; }

RSurface* FrameSurface(RSprite& sprite) {
    RSpriteFrame* frame = sprite.GetCurFrame();
    return frame ? frame->GetSurface() : nullptr;
}

float Smooth(double t) {
    const double c = std::clamp(t, 0.0, 1.0);
    return static_cast<float>(c * c * (3 - 2 * c));
}

}  // namespace

ShipShow::ShipShow(RStage& stage)
    : stage_(stage),
      outline_(stage.FindComponentAs<RPicture>("Ship-Outline")),
      skin_(stage.FindComponentAs<RPicture>("Ship-Skin")),
      inside_(stage.FindComponentAs<RPicture>("Ship-Inside")),
      gear_(stage.FindComponentAs<RPicture>("Ship-Land")),
      engine_(stage.FindComponentAs<RSprite>("Ship-Engine")),
      mascot_(stage.FindComponentAs<RSprite>("Vexmon")),
      getOut_(dynamic_cast<RDirector*>(stage.FindComponent("GetOut"))),
      getIn_(dynamic_cast<RDirector*>(stage.FindComponent("GetIn"))) {
    ComposeHull();
    skin_.SetVisible(false);
    mascot_.SetCurFrameName("s_l90");
    engine_.Run("ON_1", -1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    const RRect window = stage.GetWindowRect();
    const float hullHeight = Height(outline_.GetSurface());
    x_ = window.width * 0.5f;
    hoverY_ = (window.height + hullHeight) * 0.5f;
    landedY_ = std::max(hoverY_, window.height - kLandedAboveBottom);
    y_ = hoverY_;
    CheckLinesUp();
    phaseStart_ = stage.GetTime();
    Place();
}

void ShipShow::ComposeHull() {
    // The skin sits on the hull's bottom edge; the outline covers it except where it is pure blue.
    RSurface& hull = *outline_.GetSurface();
    RSurface& skin = *skin_.GetSurface();
    const float sw = skin.GetWidth(), sh = skin.GetHeight();
    const auto keyed = stage_.CloneSurface(hull);
    keyed->SetTransColor(kBlue);
    hull.SetTransColor(-1);
    skin.SetTransColor(-1);
    hull.CopyFrom(&skin, 0, 0, sw, sh, 0, hull.GetHeight() - sh, sw, sh, false, false);
    hull.CopyFrom(keyed.get(), 0, 0, hull.GetWidth(), hull.GetHeight(), 0, 0, hull.GetWidth(), hull.GetHeight(),
                  false, false);
    outline_.SetTransColor(kGreen);
    outline_.SetTransparent(true);
    inside_.SetTransColor(kGreen);
    inside_.SetTransparent(true);
    gear_.SetTransColor(kGreen);
    gear_.SetTransparent(true);
}

void ShipShow::CheckLinesUp() {
    float ix = 0, iy = 0, iz = 0, sx = 0, sy = 0, sz = 0, ox = 0, oy = 0, oz = 0;
    if (!getOut_ || !getIn_) {
        notLinedUp_ = "the main stream has no GetOut or GetIn director";
        return;
    }
    if (!getOut_->GetStartPosition("Ship-Inside", ix, iy, iz) || !getOut_->GetStartPosition("Vexmon", sx, sy, sz) ||
        !getIn_->GetStartPosition("Vexmon", ox, oy, oz)) {
        notLinedUp_ = "GetOut or GetIn has no keyframe for Ship-Inside or Vexmon";
        return;
    }
    // Table coordinates relative to the hull's bottom centre.
    const float left = -Width(inside_.GetSurface()) * 0.5f - ix;
    const float top = kInsideDrop - Height(outline_.GetSurface()) - iy;
    const float seatX = -Width(FrameSurface(mascot_)) * 0.5f, seatY = -kMascotAboveHullBottom;
    const float ground = Height(gear_.GetSurface()) - kGearIntoHull;
    if (std::abs(left + sx - seatX) > 1 || std::abs(top + sy - seatY) > 1)
        notLinedUp_ = "GetOut does not start with Vexmon in his seat";
    else if (std::abs(top + oy + kMascotFeet - ground) > 2)
        notLinedUp_ = "GetIn does not start with Vexmon's feet on the landing gear's ground line";
}

void ShipShow::PlaceDirector(RDirector& director) {
    float ix = 0, iy = 0, iz = 0;
    director.GetStartPosition("Ship-Inside", ix, iy, iz);
    director.SetPosition(x_ - Width(inside_.GetSurface()) * 0.5f - ix,
                         y_ - Height(outline_.GetSurface()) + kInsideDrop - iy, kDirectorDepth - iz);
}

void ShipShow::Enter(Phase phase) {
    phase_ = phase;
    phaseStart_ = stage_.GetTime();
    const bool trip = notLinedUp_.empty();
    if (phase == Phase::GettingOut && trip) {
        open_ = true;
        aboard_ = false;
        PlaceDirector(*getOut_);
        getOut_->SetRunning(true, 1);
    } else if (phase == Phase::GettingIn && trip) {
        open_ = true;
        PlaceDirector(*getIn_);
        getIn_->SetRunning(true, 1);
    }
}

void ShipShow::Tick() {
    const double elapsed = stage_.GetTime() - phaseStart_;
    switch (phase_) {
        case Phase::Hover:
            if (elapsed >= hoverMs_) Enter(Phase::Descend);
            break;
        case Phase::Descend:
        case Phase::Ascend: {
            const float t = Smooth(elapsed / kMoveMs);
            const float down = phase_ == Phase::Descend ? t : 1 - t;
            y_ = hoverY_ + (landedY_ - hoverY_) * down;
            gearAmount_ = down;
            engineAmount_ = 1 - down;
            if (elapsed >= kMoveMs) {
                hoverMs_ = kHoverAgainMs;
                Enter(phase_ == Phase::Descend ? Phase::GettingOut : Phase::Hover);
            }
            break;
        }
        case Phase::GettingOut:
            if (!getOut_ || !getOut_->IsRunning()) {
                open_ = false;
                Enter(Phase::Outside);
            }
            break;
        case Phase::Outside:
            if (elapsed >= kOutsideMs) Enter(Phase::GettingIn);
            break;
        case Phase::GettingIn:
            if (!getIn_ || !getIn_->IsRunning()) {
                open_ = false;
                aboard_ = true;
                Enter(Phase::Ascend);
            }
            break;
    }
    Place();
}

void ShipShow::Place() {
    RSurface* hull = outline_.GetSurface();
    outline_.SetVisible(true);
    outline_.SetPosition(x_ - Width(hull) * 0.5f, y_ - Height(hull), kHullZ);

    RSurface* flame = FrameSurface(engine_);
    engine_.SetVisible(engineAmount_ > 0);
    engine_.SetPosition(x_ - Width(flame) * 0.5f, y_ - Height(flame) * (1 - engineAmount_), kEngineZ);

    RSurface* gear = gear_.GetSurface();
    gear_.SetVisible(gearAmount_ > 0);
    gear_.SetPosition(x_ - Width(gear) * 0.5f, y_ - Height(gear) * (1 - gearAmount_) - kGearIntoHull, kGearZ);

    if (open_) return;  // a director shows the cabin and the mascot
    inside_.SetVisible(true);
    inside_.SetPosition(x_ - Width(inside_.GetSurface()) * 0.5f, y_ - Height(hull) + kInsideDrop, kInsideZ);
    if (aboard_) {
        mascot_.SetCurFrameName("s_l90");
        mascot_.SetVisible(true);
        mascot_.SetPosition(x_ - Width(FrameSurface(mascot_)) * 0.5f, y_ - kMascotAboveHullBottom, kMascotZ);
    }
}

}  // namespace quellmoor
