#include "stage/Timer.h"

#include "model/EventNames.h"
#include "model/StreamReaders.h"
#include "model/Text.h"
#include "stage/Stage.h"

namespace quellmoor {

RTimer::RTimer(std::string name, RComponent* owner, double intervalMs, bool enabled)
    : RComponent(std::move(name), owner), enabled_(enabled) {
    if (RStage* stage = CurrentStage()) stage->AddTimer(this);
    SetInterval(intervalMs);
}

RTimer::~RTimer() {
    if (stage_) stage_->RemoveTimer(this);
}

double RTimer::Now() const {
    if (stage_) return stage_->GetTime();
    RStage* stage = CurrentStage();
    return stage ? stage->GetTime() : 0.0;
}

double RTimer::EffectiveInterval() const {
    // Also catches a NaN interval ("nan" reads as a number).
    return interval_ >= 1.0 ? interval_ : 1.0;
}

bool RTimer::LoadPropFromStream(const std::string& name, std::istream& in, int& counter) {
    if (EqualsIgnoreCase(name, "Interval")) {
        SetInterval(TextToFloat(LoadStringFromStream(in, counter)));
        return true;
    }
    if (EqualsIgnoreCase(name, "Enabled")) {
        SetEnabled(TextToBool(LoadStringFromStream(in, counter)));
        return true;
    }
    return false;
}

void RTimer::SetEnabled(bool on) {
    enabled_ = on;
    if (!on) return;
    const double now = Now();
    lastTick_ = prevTick_ = now;
    due_ = now + EffectiveInterval();
}

void RTimer::OnTimerTick() { FireEvent(names::OnTimer); }

void RTimer::SetInterval(double intervalMs) {
    const double now = Now();
    lastTick_ = prevTick_ = now;
    interval_ = intervalMs;
    intervalChanged_ = true;
    due_ = now + EffectiveInterval();
}

void RTimer::Tick() {
    prevTick_ = lastTick_;
    lastTick_ = Now();
    intervalChanged_ = false;
    // The hook may destroy this timer (a scene removing itself): afterwards
    // touch nothing unless it still lives.
    const RHandle<RTimer> self(this);
    try {
        OnTimerTick();
    } catch (...) {
        // A failing tick still moves on; otherwise it would fire again at once, for ever.
        if (self && !intervalChanged_) due_ += EffectiveInterval();
        throw;
    }
    if (self && !intervalChanged_) due_ += EffectiveInterval();
}

RTimer* FindNextDue(std::span<RTimer* const> timers) {
    RTimer* best = nullptr;
    for (RTimer* timer : timers) {
        if (!timer->IsEnabled()) continue;
        // Strictly earlier only: on ties the earlier registered timer stays.
        if (!best || timer->GetDue() < best->GetDue()) best = timer;
    }
    return best;
}

}  // namespace quellmoor
