#include "scenes/Floater.h"

#include <cmath>

#include "animation/Sequencer.h"
#include "animation/Sprite.h"
#include "imaging/Surface.h"
#include "model/Exceptions.h"
#include "model/Text.h"
#include "scenes/Random.h"

namespace quellmoor {

namespace {

// "inf" and "nan" pass atof; a floater moved by them would leave the window
// for good or sit at NaN, so they count as 0 like any other junk.
float SpeedFromText(const std::string& text) {
    const double value = TextToFloat(text);
    return std::isfinite(value) ? static_cast<float>(value) : 0.0f;
}

}  // namespace

RFloater::RFloater(RSprite* sprite, float startX, float endX, std::string pre, std::string during, std::string post,
                   const std::string& speedRange, int weight)
    : sprite_(sprite), weight_(weight), startX_(startX), endX_(endX), pre_(std::move(pre)) {
    if (!sprite_) throw RParamException("RFloater needs a sprite.");
    during_ = during.empty() ? pre_ : std::move(during);
    post_ = post.empty() ? pre_ : std::move(post);
    std::string rest = speedRange;
    speedMin_ = SpeedFromText(SplitOff(rest, "-"));
    speedMax_ = rest.empty() ? speedMin_ : SpeedFromText(rest);
    speed_ = static_cast<float>(RandomRange(speedMin_, speedMax_));
}

float RFloater::GetXPos() const { return sprite_->GetXPos(); }
void RFloater::SetXPos(float x) { sprite_->SetXPos(x); }
float RFloater::GetYPos() const { return sprite_->GetYPos(); }
void RFloater::SetYPos(float y) { sprite_->SetYPos(y); }
float RFloater::GetZPos() const { return sprite_->GetZPos(); }
void RFloater::SetZPos(float z) { sprite_->SetZPos(z); }

float RFloater::GetWidth() const {
    if (sprite_->GetFrames().empty()) return 0;
    const RSurface* surface = sprite_->GetCurFrame()->GetSurface();
    return surface ? surface->GetWidth() : 0.0f;
}

float RFloater::GetHeight() const {
    if (sprite_->GetFrames().empty()) return 0;
    const RSurface* surface = sprite_->GetCurFrame()->GetSurface();
    return surface ? surface->GetHeight() : 0.0f;
}

bool RFloater::GetVisible() const { return sprite_->GetVisible(); }
void RFloater::SetVisible(bool visible) { sprite_->SetVisible(visible); }
float RFloater::GetLeft() const { return sprite_->GetLeft(); }
float RFloater::GetTop() const { return sprite_->GetTop(); }
void RFloater::SetPosition(float x, float y, float z) { sprite_->SetPosition(x, y, z); }
void RFloater::MoveTo(float x, float y) { sprite_->MoveTo(x, y); }
void RFloater::MoveBy(float dx, float dy, float dz) { sprite_->MoveBy(dx, dy, dz); }

void RFloater::Update() {
    const RPixieSequencer* playing = sprite_->GetCurrentSequencer();
    const std::string current = playing ? playing->GetName() : std::string();
    const float x = GetLeft();
    const std::string* wanted = &post_;
    if (x < startX_) wanted = &pre_;
    else if (x < endX_) wanted = during_.empty() ? &post_ : &during_;
    if (wanted->empty() || EqualsIgnoreCase(*wanted, current)) return;
    if (!sprite_->FindSequence(*wanted)) return;  // a missing sequence is no sequence
    sprite_->Run(*wanted, -1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
}

void RFloater::StopSequence() { sprite_->Stop(); }

}  // namespace quellmoor
