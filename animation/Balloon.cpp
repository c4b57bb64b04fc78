#include "animation/Balloon.h"

#include <cmath>

#include "animation/Director.h"
#include "imaging/Dib.h"
#include "imaging/Surface.h"
#include "model/Text.h"
#include "platform/Platform.h"
#include "stage/Stage.h"
#include "stage/Timer.h"

namespace quellmoor {

namespace {

constexpr std::uint8_t kInk = 0;      // black in the shared palette
constexpr std::uint8_t kPaper = 255;  // white
constexpr double kPauseMs = 500.0;

void TickBalloon(RComponent*, REvent*, RObject* data) {
    if (auto* balloon = dynamic_cast<RBalloon*>(data)) balloon->Tick();
}

void Enable(const RHandle<RTimer>& timer, bool on) {
    if (RTimer* alive = timer.Get()) alive->SetEnabled(on);
}

// Runs a director; its "OnEnterCol" handlers may remove the balloon's scene.
void Run(const RHandle<RDirector>& director, bool run, int step) {
    if (RDirector* alive = director.Get()) alive->SetRunning(run, step);
}

// Releases the bitmap's drawing context on every exit.
class DcLease {
public:
    explicit DcLease(RDib& dib) : dib_(dib), dc_(dib.GetDC()) {}
    ~DcLease() {
        try {
            dib_.ReleaseDC();
        } catch (...) {
        }
    }
    platform::DrawingContext& operator*() const { return *dc_; }

private:
    RDib& dib_;
    platform::DrawingContext* dc_;
};

}  // namespace

RBalloon::RBalloon(std::string name, RComponent* owner) : RPlacedPixie(std::move(name), owner) {
    zPos_ = kDepth;
    timer_ = MakeOwned<RTimer>("timer_" + GetName(), this, 100.0, false);
    timer_->AddEventHandler("OnTimer", &TickBalloon, this);
    SetVisible(false);
}

RBalloon::~RBalloon() {
    if (RStage* stage = CurrentStage(); stage && !reportedArea_.IsEmpty()) stage->InvalidRect(reportedArea_);
}

void RBalloon::Say(const std::vector<std::string>& lines, float homeX, float homeY, RDirector* directorA,
                   RDirector* directorB, RTimer* timerA, RTimer* timerB) {
    homeX_ = homeX;
    homeY_ = homeY;
    directorA_ = directorA;
    directorB_ = directorB;
    lines_ = lines;
    timer_->SetEnabled(true);
    timerA_ = timerA;
    timerB_ = timerB;
    Tick();
}

bool RBalloon::IsFinished() const { return !timer_->IsEnabled(); }

void RBalloon::Tick() {
    // Directors and movement run handlers that may remove this balloon.
    const RHandle<RBalloon> self(this);
    if (GetVisible()) {
        SetVisible(false);
        timer_->SetInterval(kPauseMs);
        Enable(timerA_, false);
        Enable(timerB_, true);
        Run(directorA_, false, -1);
        Run(directorB_, true, 1);
        return;
    }
    if (lines_.empty()) {
        Enable(timerA_, false);
        Enable(timerB_, false);
        Run(directorA_, false, -1);
        Run(directorB_, false, -1);
        timer_->SetEnabled(false);
        return;
    }
    std::string page;
    std::size_t taken = 0;
    for (; taken < lines_.size() && !EqualsIgnoreCase(lines_[taken], "***"); ++taken) page += lines_[taken] + "\n";
    lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(std::min(taken + 1, lines_.size())));

    timer_->SetInterval((30.0 * static_cast<double>(page.size()) + 800.0) * 1.0);
    Enable(timerB_, false);
    Run(directorB_, false, -1);
    if (!page.empty() && page.front() == '(') {
        Enable(timerA_, false);
        Enable(timerB_, true);
        Run(directorA_, true, 1);
        if (!self) return;
        std::string offset = SplitOff(page, ")");
        offset.erase(0, 1);
        const auto a = static_cast<float>(TextToFloat(SplitOff(offset, ",")));
        const auto b = static_cast<float>(TextToFloat(offset));
        if (RDirector* director = directorA_.Get()) MoveTo(director->GetXPos() + a, director->GetYPos() + b);
    } else {
        Enable(timerA_, true);
        Run(directorA_, false, -1);
        MoveTo(homeX_, homeY_);
        if (!self) return;
        Run(directorB_, true, -1);
    }
    if (!self) return;
    text_ = page;
    SetVisible(true);
}

bool RBalloon::UpdateBounds() {
    const bool notYetDrawn =
        GetVisible() && (text_ != drawnText_ || GetXPos() != drawnX_ || GetYPos() != drawnY_);
    const RRect now = GetVisible() && !notYetDrawn ? drawnArea_ : RRect{};
    if (now == reportedArea_ && !notYetDrawn) return false;
    if (RStage* stage = CurrentStage()) {
        if (!reportedArea_.IsEmpty()) stage->InvalidRect(reportedArea_);
        if (!now.IsEmpty()) stage->InvalidRect(now);
        // The tail's tip is always inside the balloon: marking it gets the
        // frame drawn, and asked again afterwards the balloon knows its area.
        if (notYetDrawn) stage->InvalidRect({GetXPos(), GetYPos(), 1, 1});
    }
    reportedArea_ = now;
    return true;
}

void RBalloon::Draw(RSurface& destination, float x, float y, const std::vector<RRect>*) {
    drawnText_ = text_;
    drawnX_ = x;
    drawnY_ = y;
    drawnArea_ = {};
    // The text of a page ends in a line feed; an empty page shows nothing.
    if (text_.size() <= 1) return;
    auto* surface = dynamic_cast<RDibSurface*>(&destination);
    if (!surface) return;
    DcLease lease(*surface->GetDib());
    platform::DrawingContext& dc = *lease;
    const RStage* stage = CurrentStage();
    const bool preview = previewFont_ || (stage && stage->IsPreviewMode());
    dc.SetFont(kFace, preview ? kPreviewFontHeight : kFontHeight);

    const platform::TextSize line = dc.MeasureLine(text_);
    const int w = static_cast<int>(std::sqrt(2.0 * line.width * line.height));
    const std::string_view shown(text_.data(), text_.size() - 1);
    const int left = static_cast<int>(x - static_cast<float>(2 * w / 3));
    const platform::TextSize wrapped = dc.MeasureWrapped(shown, w);
    const int right = left + std::max(w, wrapped.width);
    const int top = static_cast<int>(y - static_cast<float>(wrapped.height) - 50.0f);
    const int bottom = static_cast<int>(y - 50.0f);
    const int middle = left + w / 2;
    const int tipX = static_cast<int>(x), tipY = static_cast<int>(y);

    const platform::Point outline[] = {
        {tipX, tipY},          {middle - 5, bottom + 5}, {left, bottom + 5}, {left - 5, bottom},
        {left - 5, top},       {left, top - 5},          {right, top - 5},   {right + 5, top},
        {right + 5, bottom},   {right, bottom + 5},      {middle + 5, bottom + 5},
    };
    dc.FillPolygon(outline, kPaper);
    dc.OutlinePolygon(outline, kInk);
    dc.DrawWrappedCentred(text_, {left, top, right - left, bottom - top}, kInk);

    const int minX = std::min(left - 5, tipX), maxX = std::max(right + 5, tipX);
    const int minY = top - 5, maxY = std::max(bottom + 5, tipY);
    drawnArea_ = {static_cast<float>(minX), static_cast<float>(minY), static_cast<float>(maxX - minX + 1),
                  static_cast<float>(maxY - minY + 1)};
}

}  // namespace quellmoor
