// ROffscreenStage: a stage without a window, for tools and tests.
//
// Surfaces are plain bitmaps, the clock is `nowMs`, which only its owner moves,
// presenting, fading and window operations do nothing, and loading a stream
// skips the window set-up (LoadStream). It starts with a 64 x 48 background and
// stage image; Resize changes both. Its window is the stage image's rectangle.
//
//   ROffscreenStage stage;
//   stage.LoadStream(bytes);
//   stage.nowMs = 250;
//   stage.Redraw();
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "stage/Stage.h"

namespace quellmoor {

class ROffscreenStage : public RStage {
public:
    explicit ROffscreenStage(std::string programName = "offscreen");

    double GetSystemTime() override { return nowMs; }
    std::unique_ptr<RSurface> CreateSurface(float width, float height) override;
    void Present(RSurface&, float, float, const std::vector<RRect>* rects) override {
        ++presents;
        presentedRects = rects ? *rects : std::vector<RRect>{};
    }
    bool PumpMessages(double) override { return true; }
    void MeasureFramePeriod() override {}
    double WaitForVerticalBlank() override { return GetTime(); }
    bool RequestQuit() override { return true; }
    std::unique_ptr<std::istream> OpenContent() override { return nullptr; }
    void CreateStageWindow() override {}
    void ShowCursor(bool) override {}
    // The stage image's size: scenes place things by the window's width and height.
    RRect GetWindowRect() override;
    // No window to fade: the next Redraw shows the new frame.
    void FadeTransition(bool) override {}
    std::string GetProgramDir() override { return ""; }
    std::string GetProgramName() override { return programName_; }

    // Loads a component stream into the registry, without the window set-up.
    void LoadStream(const std::string& bytes);

    double nowMs = 0;
    int presents = 0;
    std::vector<RRect> presentedRects;  // of the last present; empty when it was whole

private:
    std::string programName_;
};

}  // namespace quellmoor
