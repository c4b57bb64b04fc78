#include "tools/show-preview/Preview.h"

#include "content/EmbeddedContent.h"
#include "stage/DibStage.h"
#include "stage/Timer.h"
#include "scenes/SceneFolder.h"

namespace quellmoor {

namespace {

constexpr std::uint32_t kEscape = 0x1B, kLetterQ = 'Q';

}  // namespace

ShowPreview::ShowPreview(RDibStage& stage, PreviewSettings settings) : stage_(stage), settings_(std::move(settings)) {
    if (settings_.dir.empty()) settings_.dir = BuiltContentDir();
    if (!settings_.scene.empty()) solo_ = std::make_unique<SceneFolder>(settings_.dir, std::vector<std::string>{settings_.scene});
    stage.AddEventHandler("OnSetup", &OnSetup, this);
    stage.AddEventHandler("OnStarted", &OnStarted, this);
    stage.AddEventHandler("OnKeyDown", &OnKeyDown, this);
    auto in = stage.OpenContent();
    stage.AddComponentStream(in.get());
    stage.SetPresentDirtyOnly(!settings_.wholeFrames);
    auto* timer = MakeOwned<RTimer>("PreviewTick", &stage, kTickMs, true);
    timer->AddEventHandler("OnTimer", &OnTick, this);
}

ShowPreview::~ShowPreview() = default;

// The stream asks for a full-screen frameless window; the preview wants the one the user asked for.
void ShowPreview::OnSetup(RComponent*, REvent*, RObject* data) {
    auto& self = static_cast<ShowPreview&>(*data);
    RStageSetup& setup = self.stage_.GetSetup();
    setup.windowRect = {0, 0, static_cast<float>(self.settings_.width), static_cast<float>(self.settings_.height)};
    setup.fullScreen = self.settings_.fullscreen;
    setup.hasFrame = true;
    setup.showCursor = true;
}

// Built when the stage starts, as the saver builds it: the stage clock runs from here.
void ShowPreview::OnStarted(RComponent*, REvent*, RObject* data) {
    auto& self = static_cast<ShowPreview&>(*data);
    try {
        self.show_ = BuildShow(self.stage_, {.dir = self.solo_ ? self.solo_->Path() : self.settings_.dir,
                                             .seed = self.settings_.seed,
                                             .skin = self.settings_.skin,
                                             .engine = self.settings_.engine});
    } catch (const RException& e) {
        self.error_ = e.GetMessage();
        self.stage_.Quit();
    }
}

void ShowPreview::OnKeyDown(RComponent*, REvent*, RObject* data) {
    auto& self = static_cast<ShowPreview&>(*data);
    const std::uint32_t key = self.stage_.GetKeyDownCode();
    if (key == kEscape || key == kLetterQ) self.stage_.Quit();
}

void ShowPreview::OnTick(RComponent*, REvent*, RObject* data) {
    auto& self = static_cast<ShowPreview&>(*data);
    if (self.settings_.seconds > 0 && self.stage_.GetTime() >= self.settings_.seconds * 1000.0) self.stage_.Quit();
}

}  // namespace quellmoor
