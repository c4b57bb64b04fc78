// The application loop: due timers within a time budget, a redraw after every
// round that fired one, then a wait for the next due time or for input.
#include <algorithm>
#include <exception>

#include "stage/Stage.h"
#include "stage/Timer.h"

namespace quellmoor {

namespace {

constexpr double kNoTimerDue = 1e38;
// Longest wait between two looks at the timers, so input is never ignored long.
constexpr double kLongestWaitMs = 50.0;

}  // namespace

void RStage::Run() {
    try {
        MeasureFramePeriod();
        timerBudget_ = 1000.0 / 3.0;
        Start();
    } catch (const RException& e) {
        ReportException(e.GetMessage());
    } catch (const std::exception& e) {
        ReportException(e.what());
    }
    if (quit_) return;

    bool quit = false;
    while (!quit && !quit_) {
        try {
            CollectDisposed();  // what input handlers disposed of
            const double deadline = GetTime() + timerBudget_;
            bool fired = false;
            int ticks = 0;
            for (;;) {
                RTimer* next = FindNextDue(timers_);
                const double due = next ? next->GetDue() : kNoTimerDue;
                // Due exactly now is not yet due: stage time must have passed it.
                if (!(due < GetTime())) break;
                fired = true;
                TickTimer(*next);
                if (++ticks >= kMaxTicksPerRound || quit_ || GetTime() >= deadline) break;
            }
            if (fired) Redraw();

            RTimer* next = FindNextDue(timers_);
            double waitMs = next ? next->GetDue() - GetTime() : kLongestWaitMs;
            if (!(waitMs > 0.0)) waitMs = 0.0;
            waitMs = std::min(waitMs, kLongestWaitMs);
            // The wait is stage time; the platform waits in system time.
            quit = PumpMessages(waitMs * rate_);
        } catch (const RException& e) {
            ReportException(e.GetMessage());
        } catch (const std::exception& e) {
            ReportException(e.what());
        }
    }
}

}  // namespace quellmoor
