// A stage for animation tests: bitmap surfaces, a clock the test moves, and a
// timer loop that fires every due timer at exactly its due time.
#pragma once

#include <memory>
#include <sstream>

#include "animation/Registration.h"
#include "imaging/Surface.h"
#include "stage/Stage.h"
#include "stage/Timer.h"
#include "tests/animation/AnimationStreams.h"

namespace quellmoor::testing {

class TestStage : public RStage {
public:
    TestStage(int width = 64, int height = 48) {
        RegisterAnimationClasses();
        background_ = CreateSurface(static_cast<float>(width), static_cast<float>(height));
        Palette palette{};
        const auto colours = TestPalette();
        for (int i = 0; i < 256; ++i)
            palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(colours[static_cast<std::size_t>(i)] & 0xFF),
                                                    static_cast<std::uint8_t>((colours[static_cast<std::size_t>(i)] >> 8) & 0xFF),
                                                    static_cast<std::uint8_t>(colours[static_cast<std::size_t>(i)] >> 16), 0};
        background_->GetDib()->SetPalette(palette);
        background_->GetDib()->Fill(9);
        stageImage_ = CloneSurface(*background_);
    }

    double GetSystemTime() override { return now; }
    std::unique_ptr<RSurface> CreateSurface(float width, float height) override {
        return std::make_unique<RDibSurface>(width, height);
    }
    void Present(RSurface&, float, float, const std::vector<RRect>*) override { ++presents; }
    bool PumpMessages(double) override { return true; }
    void MeasureFramePeriod() override {}
    double WaitForVerticalBlank() override { return GetTime(); }
    bool RequestQuit() override { return true; }
    std::unique_ptr<std::istream> OpenContent() override { return nullptr; }
    void CreateStageWindow() override {}
    void ShowCursor(bool) override {}
    RRect GetWindowRect() override { return {}; }
    std::string GetProgramDir() override { return ""; }
    std::string GetProgramName() override { return "test"; }

    void Load(const std::string& bytes) {
        std::istringstream in(bytes);
        RComponentManager::AddComponentStream(&in);
    }

    // Fires due timers in order, each at its own due time, up to `until` ms.
    void RunUntil(double until) {
        for (int guard = 0; guard < 100000; ++guard) {
            RTimer* due = FindNextDue(GetTimers());
            if (!due || due->GetDue() > until) break;
            now = due->GetDue();
            due->Tick();
        }
        now = until;
    }

    std::uint8_t Pixel(int x, int y) const { return GetStageImage()->GetDib()->GetPixelIndex(x, y); }

    double now = 0;
    int Presents() const { return presents; }
    int presents = 0;
};

}  // namespace quellmoor::testing
