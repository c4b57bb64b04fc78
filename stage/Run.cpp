// The application loop: due timers within a time budget, a redraw after a
// round that fired one (at most once a frame period), then a wait for the next
// frame or the next due time, whichever is later, or for input. A wait that
// overran by seconds (sleep, a stopped process) is not stage time.
#include <algorithm>
#include <exception>

#include "stage/Stage.h"
#include "stage/Timer.h"

namespace quellmoor {

namespace {

constexpr double kNoTimerDue = 1e38;
// Longest wait between two looks at the timers, so input is never ignored long.
constexpr double kLongestWaitMs = 50.0;
// Redraw spacing when the measured frame period is not believable.
constexpr double kFallbackFramePeriodMs = 25.0;

double RedrawPeriod(double framePeriod) {
    return framePeriod >= 4.0 && framePeriod <= 100.0 ? framePeriod : kFallbackFramePeriodMs;
}

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
    // Dozens of sequencers tick at phases of their own; composing after each
    // would draw far more frames than the screen shows, so redraws are spaced.
    const double period = RedrawPeriod(framePeriod_);
    double lastRedraw = -kNoTimerDue;
    bool redrawOwed = false;
    while (!quit && !quit_) {
        try {
            CollectDisposed();  // what input handlers disposed of
            const double deadline = GetTime() + timerBudget_;
            bool fired = false, cutShort = false;
            int ticks = 0;
            for (;;) {
                RTimer* next = FindNextDue(timers_);
                const double due = next ? next->GetDue() : kNoTimerDue;
                // Due exactly now is not yet due: stage time must have passed it.
                if (!(due < GetTime())) break;
                fired = true;
                TickTimer(*next);
                cutShort = ++ticks >= kMaxTicksPerRound || GetTime() >= deadline;
                if (cutShort || quit_) break;
            }
            redrawOwed = redrawOwed || fired;
            // A round cut short shows its frame at once: the clock may stand still.
            if (redrawOwed && (cutShort || GetTime() - lastRedraw >= period)) {
                // Settled first: a redraw that throws must not be retried at
                // once, or the loop would spin without ever waiting.
                lastRedraw = GetTime();
                redrawOwed = false;
                Redraw();
            }

            // Nothing is seen between frames, so timers due before the next
            // frame fire with it: the loop wakes once a frame, not once for
            // each of the sky's many timers. A tick advances a timer's due time
            // from its previous value, so the animation keeps its pace.
            RTimer* next = FindNextDue(timers_);
            const double untilFrame = lastRedraw + period - GetTime();
            double waitMs = next ? std::max(next->GetDue() - GetTime(), untilFrame) : kLongestWaitMs;
            if (redrawOwed) waitMs = untilFrame;
            if (!(waitMs > 0.0)) waitMs = 0.0;
            waitMs = std::min(waitMs, kLongestWaitMs);
            // The wait is stage time; the platform waits in system time.
            quit = WaitAbsorbingClockJumps(waitMs * rate_);
        } catch (const RException& e) {
            ReportException(e.GetMessage());
        } catch (const std::exception& e) {
            ReportException(e.what());
        }
    }
}

bool RStage::WaitAbsorbingClockJumps(double waitMs) {
    const double before = GetSystemTime();
    const bool quit = PumpMessages(waitMs);
    // After a laptop resumes or a stopped process continues, every timer
    // would be hours behind and fire each missed step, a frame's budget at a
    // time, for as long again. The show goes on from where it stood instead.
    const double overrun = GetSystemTime() - before - waitMs;
    if (overrun > kClockJumpMs) startTime_ += overrun;
    return quit;
}

}  // namespace quellmoor
