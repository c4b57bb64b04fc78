#include "scenes/SpaceShip.h"

#include <algorithm>
#include <cstring>
#include <cmath>
#include <fstream>

#include "animation/Picture.h"
#include "animation/Sequencer.h"
#include "animation/Sprite.h"
#include "imaging/Surface.h"
#include "model/EventNames.h"
#include "model/Text.h"
#include "scenes/ContentPaths.h"
#include "scenes/Report.h"
#include "stage/Stage.h"

namespace quellmoor {

namespace {

constexpr std::int32_t kGreen = 0x00FF00, kBlue = 0xFF0000;  // colours are 0x00BBGGRR
constexpr float kGearIntoHull = 18;
constexpr float kInsideBelowHullTop = 78;
constexpr float kMascotAboveHullBottom = 190;
constexpr float kMailLeftOfCentre = 60;
constexpr float kMailLowAboveBottom = 88, kMailHighAboveBottom = 141;
constexpr int kMailRiseTicks = 12, kMailSinkStartTick = 112;

// The image a sprite draws now, or null: a sprite whose frame name matches no
// frame must not throw from inside the stage's drawing.
RSurface* FrameSurface(RSprite& sprite) {
    if (sprite.GetFrames().empty()) return nullptr;
    try {
        return sprite.GetCurFrame()->GetSurface();
    } catch (const RException&) {
        return nullptr;
    }
}

RRect Union(const RRect& a, const RRect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    const float left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    return {left, top, std::max(a.Right(), b.Right()) - left, std::max(a.Bottom(), b.Bottom()) - top};
}

RRect SizedAt(const RSurface* surface, float x, float y) {
    if (!surface) return {};
    return {x, y, surface->GetWidth(), surface->GetHeight()};
}

std::uintptr_t Bits(float value) {
    // memcpy rather than bit_cast: not every standard library has the latter yet.
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void DrawWhole(RSurface& destination, RSurface* source, float x, float y) {
    if (source) DrawSurfaceAt(destination, *source, x, y, nullptr, false, false);
}

}  // namespace

RSpaceShip::RSpaceShip(const RSurface& outline, const RSurface& skin, const RSurface& inside, const RSurface& land,
                       RSprite& engine, RSprite& mascot, RStage& stage)
    : RPixie("Enterprise", &stage),
      engine_(&engine),
      mascot_(&mascot),
      mailTimer_("timer_Enterprise", &stage, 100, false) {
    // The skin sits on the hull's bottom edge; the outline covers it except
    // where the outline is pure blue (and everywhere when it has no pure blue,
    // rather than letting the nearest colour open windows nobody drew).
    hull_ = stage.CloneSurface(outline);
    const float ow = outline.GetWidth(), oh = outline.GetHeight();
    const float sw = skin.GetWidth(), sh = skin.GetHeight();
    hull_->CopyFrom(&skin, 0, 0, sw, sh, 0, oh - sh, sw, sh, false, false);
    const auto keyed = stage.CloneSurface(outline);
    const RDib* outlineDib = outline.GetDib();
    keyed->SetTransColor(outlineDib && outlineDib->GetPaletteIndex(kBlue, false) >= 0 ? kBlue : -1);
    hull_->CopyFrom(keyed.get(), 0, 0, ow, oh, 0, 0, ow, oh, false, false);
    hull_->SetTransColor(kGreen);

    inside_ = stage.CloneSurface(inside);
    inside_->SetTransColor(kGreen);
    gear_ = stage.CloneSurface(land);
    gear_->SetTransColor(kGreen);

    engineAmount = 1.0f;
    gearAmount = 1.0f;
    SetEngine(true, "1");

    scratch_ = stage.CloneSurface(outline);
    scratch_->Resize(ow, oh + gear_->GetHeight(), false);
    scratch_->SetTransColor(kGreen);
    scratchDirty_ = true;
    scale = 1.0f;
    mailTimer_.ConnectEvent(names::OnTimer, this);

    SetMascotAboard(true);
    SetOpen(false);
}

RSpaceShip::~RSpaceShip() { ReleaseCoveredArea(bounds_); }

void RSpaceShip::HandleEvent(const std::string& eventName, RComponent* sender, REvent* event) {
    if (sender == &mailTimer_ && EqualsIgnoreCase(eventName, names::OnTimer)) {
        MailTick();
        return;
    }
    RPixie::HandleEvent(eventName, sender, event);
}

// --- Engine, mascot

void RSpaceShip::SetEngine(bool on, const std::string& type) {
    std::string kind = type;
    if (kind.empty()) {
        if (RPixieSequencer* current = engine_->GetCurrentSequencer()) {
            const std::string& running = current->GetName();
            const auto underscore = running.find('_');
            if (underscore != std::string::npos) kind = running.substr(underscore + 1);
        }
    }
    const std::string name = std::string(on ? "ON" : "OFF") + "_" + kind;
    engine_->Stop();
    if (engine_->FindSequence(name)) engine_->Run(name, -1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
}

void RSpaceShip::SetMascotAboard(bool on) {
    mascotAboard_ = on;
    if (!on) return;
    mascot_->SetCurFrameName("s_l90");
    mascot_->SetVisible(false);  // the ship draws him in its window
}

float RSpaceShip::GetHoverOffset() const {
    return hull_->GetHeight() + (gear_->GetHeight() - kGearIntoHull) * gearAmount;
}

// --- Mail

bool RSpaceShip::IsShowingMail() const { return mail_ && mail_->GetCurrentSequencer(); }

void RSpaceShip::SetMail(RSprite* sprite) {
    if (IsShowingMail()) ShowMail(false);
    mail_ = sprite;
}

void RSpaceShip::ShowMail(bool on) {
    if (IsShowingMail() == on || !mail_ || mail_->GetSequences().empty()) return;
    if (!on) {
        mail_->Stop();
        mailTimer_.SetEnabled(false);
        mailAmount_ = 0;
        return;
    }
    // Checked before anything changes: a mail sprite that cannot play is
    // treated like one without sequences instead of failing every scene end.
    if (!mail_->FindSequence("DEFAULT")) {
        ReportOnce("The mail sprite " + mail_->GetName() + " has no sequence DEFAULT; it is not shown.");
        return;
    }
    mascot_->SetCurFrameName("s_l135");
    mail_->Run("DEFAULT", 1, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    mailTimer_.SetInterval(100);
    mailTimer_.SetEnabled(true);
    mailTicks_ = 0;
}

void RSpaceShip::MailTick() {
    const int n = ++mailTicks_;
    if (n < kMailRiseTicks) {
        mailAmount_ = 0.083333336f * static_cast<float>(n);
        return;
    }
    if (n < kMailSinkStartTick) {
        mailAmount_ = 1.0f;
        return;
    }
    const float sunk = std::min(static_cast<float>(n - kMailSinkStartTick) / 12.0f, 1.0f);
    mailAmount_ = 1.0f - sunk;
    if (sunk < 1.0f) return;
    if (IsShowingMail()) {
        ShowMail(false);
    } else {
        // The mail's sequence ended by itself: stop the timer all the same,
        // or it would tick every 100 ms for the rest of the run.
        mailTimer_.SetEnabled(false);
        mailAmount_ = 0;
    }
}

// --- Drawing

void RSpaceShip::DrawParts(RSurface& destination, float x, float y) {
    if (engineAmount != 0) {
        if (RSurface* flame = FrameSurface(*engine_))
            DrawWhole(destination, flame, x - flame->GetWidth() / 2, y - flame->GetHeight() * (1 - engineAmount));
    }
    if (gearAmount != 0)
        DrawWhole(destination, gear_.get(), x - gear_->GetWidth() / 2,
                  y - gear_->GetHeight() * (1 - gearAmount) - kGearIntoHull);
    if (!open_) {
        DrawWhole(destination, inside_.get(), x - inside_->GetWidth() / 2,
                  y - hull_->GetHeight() + kInsideBelowHullTop);
        if (IsShowingMail() && mailAmount_ != 0 && FrameSurface(*mail_)) {
            const float t = mailAmount_;
            mail_->Draw(destination, x - kMailLeftOfCentre,
                        y - ((1 - t) * kMailLowAboveBottom + t * kMailHighAboveBottom), nullptr);
        }
        if (mascotAboard_) {
            if (RSurface* frame = FrameSurface(*mascot_))
                mascot_->Draw(destination, x - frame->GetWidth() / 2, y - kMascotAboveHullBottom, nullptr);
        }
    }
    DrawWhole(destination, hull_.get(), x - hull_->GetWidth() / 2, y - hull_->GetHeight());
}

RRect RSpaceShip::PartsRect(float x, float y) {
    RRect area = SizedAt(hull_.get(), x - hull_->GetWidth() / 2, y - hull_->GetHeight());
    if (engineAmount != 0) {
        if (RSurface* flame = FrameSurface(*engine_))
            area = Union(area, SizedAt(flame, x - flame->GetWidth() / 2,
                                       y - flame->GetHeight() * (1 - engineAmount)));
    }
    if (gearAmount != 0)
        area = Union(area, SizedAt(gear_.get(), x - gear_->GetWidth() / 2,
                                   y - gear_->GetHeight() * (1 - gearAmount) - kGearIntoHull));
    if (open_) return area;
    area = Union(area, SizedAt(inside_.get(), x - inside_->GetWidth() / 2,
                               y - hull_->GetHeight() + kInsideBelowHullTop));
    if (IsShowingMail() && mailAmount_ != 0) {
        const float t = mailAmount_;
        area = Union(area, SizedAt(FrameSurface(*mail_), x - kMailLeftOfCentre,
                                   y - ((1 - t) * kMailLowAboveBottom + t * kMailHighAboveBottom)));
    }
    if (mascotAboard_) {
        RSurface* frame = FrameSurface(*mascot_);
        if (frame) area = Union(area, SizedAt(frame, x - frame->GetWidth() / 2, y - kMascotAboveHullBottom));
    }
    return area;
}

RRect RSpaceShip::GetDrawnRect(float x, float y) {
    if (scale == 1.0f) return PartsRect(x, y);
    const float gearHeight = gear_->GetHeight();
    const float width = scratch_->GetWidth() * scale, height = scratch_->GetHeight() * scale;
    // Below one pixel (or not a size at all) nothing is drawn: copying an
    // empty rectangle would stretch the ship over the whole destination.
    if (!(width >= 1 && height >= 1) || !std::isfinite(width) || !std::isfinite(height)) return {};
    // One pixel more each way for the stretch's rounding.
    return {x - width / 2 - 1, y - (scratch_->GetHeight() - gearHeight) * scale - 1, width + 2, height + 2};
}

void RSpaceShip::Draw(RSurface& destination, float x, float y, const std::vector<RRect>*) {
    if (scale == 1.0f) {
        DrawParts(destination, x, y);
        return;
    }
    const float gearHeight = gear_->GetHeight();
    const float scratchWidth = scratch_->GetWidth(), scratchHeight = scratch_->GetHeight();
    if (scratchDirty_) {
        scratchDirty_ = false;
        scratch_->Fill(kGreen);
        DrawParts(*scratch_, scratchWidth / 2, scratchHeight - gearHeight);
    }
    if (GetDrawnRect(x, y).IsEmpty()) return;
    const float width = scratchWidth * scale;
    destination.CopyFrom(scratch_.get(), 0, 0, scratchWidth, scratchHeight, x - width / 2,
                         y - (scratchHeight - gearHeight) * scale, width, scratchHeight * scale, false, false);
}

std::vector<std::uintptr_t> RSpaceShip::CurrentLook() {
    if (!GetVisible()) return {};
    // The scaled image is composed once, so only the scale changes it.
    if (scale != 1.0f) return {Bits(scale)};
    std::vector<std::uintptr_t> look{Bits(scale), Bits(engineAmount), Bits(gearAmount), Bits(mailAmount_),
                                     static_cast<std::uintptr_t>(open_) | static_cast<std::uintptr_t>(mascotAboard_) << 1,
                                     reinterpret_cast<std::uintptr_t>(FrameSurface(*engine_))};
    if (IsShowingMail())
        look.push_back(reinterpret_cast<std::uintptr_t>(FrameSurface(*mail_)) | (mail_->mirrorHorizontal ? 1u : 0u) |
                       (mail_->mirrorVertical ? 2u : 0u));
    look.push_back(reinterpret_cast<std::uintptr_t>(FrameSurface(*mascot_)) | (mascot_->mirrorHorizontal ? 1u : 0u) |
                   (mascot_->mirrorVertical ? 2u : 0u));
    return look;
}

bool RSpaceShip::UpdateBounds() {
    const RRect now = GetVisible() ? GetDrawnRect(x_, y_) : RRect{};
    std::vector<std::uintptr_t> look = CurrentLook();
    const bool sameDepth = z_ == bounds_.depth || (std::isnan(z_) && std::isnan(bounds_.depth));
    if (now == bounds_.rect && sameDepth && look == lastLook_) return false;
    if (RStage* stage = CurrentStage()) {
        stage->InvalidRect(bounds_.rect);
        stage->InvalidRect(now);
    }
    bounds_.rect = now;
    bounds_.depth = z_;
    lastLook_ = std::move(look);
    return true;
}

// --- Skins

bool LoadShipSkinFile(RStage& stage, const std::string& path) {
    auto* picture = dynamic_cast<RPicture*>(stage.FindComponent("Ship-Skin"));
    if (!picture || !picture->GetSurface()) {
        ReportOnce("component Ship-Skin not found.");
        return false;
    }
    try {
        // Into a surface of its own first: a failing load must not leave the
        // stream's skin half replaced.
        auto loaded = stage.CreateSurface(1, 1);
        std::ifstream file(path, std::ios::binary);
        if (!file) throw RException("Not a bitmap file");
        int consumed = 0;
        loaded->LoadFromStream(file, consumed);
        // Bitmaps cut short load what arrived; a skin half black is no skin.
        if (file.fail()) throw RException("The bitmap file ends before its last pixel row.");
        picture->GetSurface()->Assign(*loaded);
        picture->SetTransparent(picture->IsTransparent());  // the picture's own transparency again
        return true;
    } catch (const RException& e) {
        ReportOnce("The skin file " + path + " could not be used (" + e.GetMessage() +
                   "); the ship keeps its own skin.");
        return false;
    }
}

bool LoadShipSkin(RStage& stage, std::string_view dir, std::string_view skin) {
    if (skin.empty()) return false;
    const auto path = FindSkin(dir, skin);
    if (!path) {
        ReportOnce("The skin " + std::string(skin) + " was not found in the Skins folder of " + std::string(dir) +
                   "; the ship keeps its own skin.");
        return false;
    }
    return LoadShipSkinFile(stage, *path);
}

}  // namespace quellmoor
