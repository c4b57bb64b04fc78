// A stage for animation tests: the test palette, a clock the test moves, and
// a timer loop that fires every due timer at exactly its due time.
#pragma once

#include "animation/Registration.h"
#include "imaging/Surface.h"
#include "stage/OffscreenStage.h"
#include "stage/Timer.h"
#include "tests/animation/AnimationStreams.h"

namespace quellmoor::testing {

class TestStage : public ROffscreenStage {
public:
    TestStage(int width = 64, int height = 48) : ROffscreenStage("test") {
        RegisterAnimationClasses();
        background_ = CreateSurface(static_cast<float>(width), static_cast<float>(height));
        Palette palette{};
        const auto colours = TestPalette();
        for (std::size_t i = 0; i < 256; ++i)
            palette[i] = {static_cast<std::uint8_t>(colours[i] & 0xFF), static_cast<std::uint8_t>((colours[i] >> 8) & 0xFF),
                          static_cast<std::uint8_t>(colours[i] >> 16), 0};
        background_->GetDib()->SetPalette(palette);
        background_->GetDib()->Fill(9);
        stageImage_ = CloneSurface(*background_);
    }

    void Load(const std::string& bytes) { LoadStream(bytes); }

    // Fires due timers in order, each at its own due time, up to `until` ms.
    void RunUntil(double until) {
        for (int guard = 0; guard < 100000; ++guard) {
            RTimer* due = FindNextDue(GetTimers());
            if (!due || due->GetDue() > until) break;
            nowMs = due->GetDue();
            TickTimer(*due);
        }
        nowMs = until;
    }

    std::uint8_t Pixel(int x, int y) const { return GetStageImage()->GetDib()->GetPixelIndex(x, y); }
    int Presents() const { return presents; }
};

}  // namespace quellmoor::testing
