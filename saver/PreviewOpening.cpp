#include "saver/PreviewOpening.h"

#include <algorithm>
#include <memory>

#include "animation/Picture.h"
#include "imaging/Surface.h"
#include "model/Exceptions.h"
#include "platform/Platform.h"
#include "scenes/Report.h"
#include "stage/DibStage.h"

namespace quellmoor {

namespace {

constexpr double kPumpSliceMs = 100.0;

// Gives the stage back its background and image when the opening ends, by
// return or by exception.
class KeptScreens {
public:
    explicit KeptScreens(RDibStage& stage) : stage_(stage) {}
    ~KeptScreens() {
        if (kept_) stage_.SetBackground(std::move(background_));
        if (kept_) stage_.SetStageImage(std::move(image_));
    }
    KeptScreens(const KeptScreens&) = delete;
    KeptScreens& operator=(const KeptScreens&) = delete;

    // Shows a copy of `screen` as the background (and the first time a copy
    // of it as the stage image too), keeping what the stage had.
    void Show(const RSurface& screen) {
        auto previous = stage_.SetBackground(stage_.CloneSurface(screen));
        if (kept_) return;
        kept_ = true;
        background_ = std::move(previous);
        image_ = stage_.SetStageImage(stage_.CloneSurface(*stage_.GetBackground()));
    }

private:
    RDibStage& stage_;
    bool kept_ = false;
    std::unique_ptr<RSurface> background_;
    std::unique_ptr<RSurface> image_;
};

const RSurface* FindScreen(RDibStage& stage, const char* number) {
    const RSurface* surface = stage.FindComponentAs<RPicture>(std::string("Screen") + number).GetSurface();
    if (!surface) throw RException(std::string("component Screen") + number + " not found.");
    return surface;
}

bool HostWindowGone(RDibStage& stage) {
    if (!platform::HasCurrentPlatform() || !stage.GetTargetWindow()) return false;
    return !platform::CurrentPlatform().WindowExists(stage.GetTargetWindow());
}

// Waits on the stage's clock, handling messages; false when the run ends meanwhile.
bool Hold(RDibStage& stage, double ms) {
    const double until = stage.GetSystemTime() + ms;
    for (double left = ms; left > 0; left = until - stage.GetSystemTime()) {
        if (stage.PumpMessages(std::min(left, kPumpSliceMs))) return false;
        if (HostWindowGone(stage)) {
            stage.Quit();
            return false;
        }
    }
    return !stage.IsQuitting();
}

}  // namespace

bool PlayPreviewOpening(RDibStage& stage) {
    const RSurface* first = nullptr;
    const RSurface* second = nullptr;
    try {
        first = FindScreen(stage, "1");
        second = FindScreen(stage, "2");
    } catch (const RException& e) {
        ReportOnce(e.GetMessage());
        return false;
    }
    KeptScreens kept(stage);
    kept.Show(*first);
    stage.FadeTransition(false);
    if (stage.IsQuitting() || !Hold(stage, kPreviewOpeningHoldMs)) return false;
    kept.Show(*second);
    stage.FadeTransition(true);
    return !stage.IsQuitting();
}

}  // namespace quellmoor
