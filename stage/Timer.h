// RTimer: a component that becomes due at a fixed interval and then ticks.
//
// There are no threads and no system timers: the application loop asks the
// stage for the earliest due timer (FindNextDue) and calls its Tick. The base
// tick fires "OnTimer"; sequence players, directors, balloons and scenes
// replace OnTimerTick with their own work. Times are stage time in ms.
//
// A timer registers itself with the current stage when it is made and leaves
// the stage's list when it dies.
#pragma once

#include <span>
#include <string>

#include "model/Component.h"

namespace quellmoor {

class RStage;

class RTimer : public RComponent {
public:
    RTimer(std::string name, RComponent* owner, double intervalMs, bool enabled);
    ~RTimer() override;

    bool LoadPropFromStream(const std::string& name, std::istream& in, int& counter) override;
    std::string GetClassName() const override { return "RTimer"; }

    // When on, restarts the period: the first tick comes one interval from now.
    virtual void SetEnabled(bool on);
    // The tick's work; the base fires "OnTimer".
    virtual void OnTimerTick();

    // Restarts the period from now with a new interval; does not change enabled.
    void SetInterval(double intervalMs);
    // Runs the hook; the next due time follows the old schedule unless the hook
    // called SetInterval. The hook may destroy the timer.
    void Tick();

    bool IsEnabled() const { return enabled_; }
    double GetInterval() const { return interval_; }
    double GetDue() const { return due_; }
    double GetLastTick() const { return lastTick_; }
    double GetPrevTick() const { return prevTick_; }

    // The interval the loop schedules with: never below 1 ms, so a timer with
    // interval 0 cannot stay due for ever.
    double EffectiveInterval() const;

private:
    friend class RStage;  // a dying stage lets go of the timers it still lists
    double Now() const;

    RStage* stage_ = nullptr;
    double lastTick_ = 0;
    double interval_ = 0;
    double prevTick_ = 0;
    double due_ = 0;
    bool enabled_ = false;
    bool intervalChanged_ = false;
};

// The enabled timer with the smallest due time, the earlier one on ties; null when none.
RTimer* FindNextDue(std::span<RTimer* const> timers);

}  // namespace quellmoor
