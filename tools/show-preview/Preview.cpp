#include "tools/show-preview/Preview.h"

#include "content/EmbeddedContent.h"
#include "stage/DibStage.h"
#include "stage/Timer.h"
#include "tools/show-preview/ShipShow.h"
#include "tools/show-preview/StarSky.h"

namespace quellmoor {

namespace {

constexpr std::uint32_t kEscape = 0x1B, kLetterQ = 'Q';

}  // namespace

ShowPreview::ShowPreview(RDibStage& stage, PreviewSettings settings)
    : stage_(stage), settings_(settings), random_(settings.seed) {
    stage.AddEventHandler("OnSetup", &OnSetup, this);
    stage.AddEventHandler("OnKeyDown", &OnKeyDown, this);
    auto in = stage.OpenContent();
    stage.AddComponentStream(in.get());
    ship_ = std::make_unique<ShipShow>(stage);
    sky_ = std::make_unique<StarSky>(stage, EmbeddedMainStream(), random_);
    sky_->Scatter();
    stage.SetPresentDirtyOnly(!settings.wholeFrames);
    auto* timer = MakeOwned<RTimer>("PreviewTick", &stage, kTickMs, true);
    timer->AddEventHandler("OnTimer", &OnTick, this);
}

ShowPreview::~ShowPreview() = default;

const std::string& ShowPreview::LinesUpReason() const { return ship_->LinesUpReason(); }

// The stream asks for a full-screen frameless window; the preview wants the one the user asked for.
void ShowPreview::OnSetup(RComponent*, REvent*, RObject* data) {
    auto& self = static_cast<ShowPreview&>(*data);
    RStageSetup& setup = self.stage_.GetSetup();
    setup.windowRect = {0, 0, static_cast<float>(self.settings_.width), static_cast<float>(self.settings_.height)};
    setup.fullScreen = self.settings_.fullscreen;
    setup.hasFrame = true;
    setup.showCursor = true;
}

void ShowPreview::OnKeyDown(RComponent*, REvent*, RObject* data) {
    auto& self = static_cast<ShowPreview&>(*data);
    const std::uint32_t key = self.stage_.GetKeyDownCode();
    if (key == kEscape || key == kLetterQ) self.stage_.Quit();
}

void ShowPreview::OnTick(RComponent*, REvent*, RObject* data) {
    auto& self = static_cast<ShowPreview&>(*data);
    self.sky_->Tick();
    self.ship_->Tick();
    if (self.settings_.seconds > 0 && self.stage_.GetTime() >= self.settings_.seconds * 1000.0) self.stage_.Quit();
}

}  // namespace quellmoor
