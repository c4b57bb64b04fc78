// RDibStage: the concrete stage, written once over the platform interface.
//
// It makes RDibSurface surfaces, opens the embedded content, owns the one
// window (class "QuellmoorWindowClass", title "Quellmoor Window"), turns the
// platform's input into the stage's events, presents frames (1:1, stretched to
// the display size, only the dirty rectangles, or the preview's 608 x 448
// image reduced to 152 x 112 by averaging 4 x 4 blocks), fades between scenes
// at one display frame per step, draws the frame rate on request and shows
// unhandled exceptions in a box titled "Quellmoor Exception" (Cancel quits).
//
//   platform::SetCurrentPlatform(&backend);
//   RDibStage stage;              // uses the current platform; becomes the current stage
//   return RunStageProgram(stage);
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/Platform.h"
#include "stage/Stage.h"

namespace quellmoor {

class RDibStage : public RStage {
public:
    RDibStage();
    ~RDibStage() override;

    double GetSystemTime() override;
    std::unique_ptr<RSurface> CreateSurface(float width, float height) override;
    // The embedded main stream; throws RException when the program carries none.
    std::unique_ptr<std::istream> OpenContent() override;
    // Handles waiting input, then waits `waitMs` of system time (at least 1 ms,
    // waking early on input). Returns whether the stage is quitting.
    bool PumpMessages(double waitMs) override;
    void MeasureFramePeriod() override;
    // No retrace to poll here: the time one frame from now.
    double WaitForVerticalBlank() override;
    void Present(RSurface& image, float x, float y, const std::vector<RRect>* rects) override;
    bool RequestQuit() override { return true; }
    // Who decides whether the window's close request ends the run (a saver asks
    // for its password first); without one, closing ends it.
    void SetCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }
    void CreateStageWindow() override;
    void ShowCursor(bool visible) override;
    RRect GetWindowRect() override;
    std::string GetProgramDir() override;
    std::string GetProgramName() override;
    void SetCaption(const std::string& caption) override;
    void ShowException(const std::string& message) override;

    // Fades the image out, recomposes it and fades it in, one display frame per
    // step. A resize of the target window during the fade waits for its end.
    void FadeTransition(bool fade) override;

    // --- Settings the screensaver shell makes
    void MakeTopmost();
    // Frames go to `window` (the own one or one the platform attached), stretched
    // to width x height (-99999: the image's own size).
    void SetPresentTarget(platform::WindowId window, float width, float height);
    void SetShowFrameRate(bool show);
    void SetParentWindow(platform::NativeWindow window);
    // Composes at 1/n of the window's size and shows each pixel n times as wide
    // and high, so pixel art keeps its look on very large screens. Set before
    // the window is made; the stage's window rectangle and mouse positions are
    // then in composed pixels.
    void SetComposeScale(int n);
    int GetComposeScale() const { return composeScale_; }
    // The stage follows the target window's size (a host window that resizes).
    void SetFollowTargetSize(bool follow) { followTargetSize_ = follow; }

    // Turns one platform event into the stage operation and its event.
    void DispatchInput(const platform::InputEvent& event);

    platform::WindowId GetOwnWindow() const { return ownWindow_; }
    platform::WindowId GetTargetWindow() const { return targetWindow_; }
    double GetFrameRate() const { return frameRate_; }
    bool IsTopmost() const { return topmost_; }

private:
    void DrawFrameRate(RSurface& image);
    // True when the preview reduction applies to this image.
    bool UsePreviewReduction(const RSurface& image);
    void PresentPreview(const RSurface& image);
    void FollowTargetSize(int width, int height);
    void Fade(bool fade);

    platform::Platform& platform_;
    platform::WindowId ownWindow_;
    platform::WindowId targetWindow_;
    struct DisplaySize {
        float width, height;
    };
    std::optional<DisplaySize> displaySize_;  // none: present at the image's own size
    bool showFrameRate_ = false;
    bool topmost_ = false;
    std::optional<double> lastPresentTime_;
    double frameRate_ = 10.0;
    platform::NativeWindow parentWindow_;
    std::vector<std::uint8_t> previewPixels_;  // reused between frames
    std::function<void()> closeHandler_;
    int composeScale_ = 1;
    bool followTargetSize_ = false;
    // A fade holds the image's palette: the image is not replaced under it.
    bool fading_ = false;
    struct TargetSize {
        int width, height;
    };
    std::optional<TargetSize> sizeAfterFade_;
};

}  // namespace quellmoor
