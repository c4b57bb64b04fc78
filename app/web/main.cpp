// vexmon in a web page: the show as the saver's window mode plays it, filling
// the page and following its size. The main stream is compiled in; the scene
// files, Sounds/ and Skins/ are fetched beside the page into /content before
// this starts. Pages wider than 2000 pixels compose at half size and show each
// pixel doubled, as the saver does on large screens. S turns sound on and off
// (browsers allow sound only after a gesture, so it starts off); the engine
// says so on the console, where the page's tests look for it.
#include <emscripten.h>

#include <cstdio>
#include <memory>
#include <string>

#include "animation/Registration.h"
#include "content/EmbeddedContent.h"
#include "model/Exceptions.h"
#include "platform/web/WebPlatform.h"
#include "scenes/Show.h"
#include "scenes/SpaceShip.h"
#include "stage/DibStage.h"
#include "stage/Timer.h"

namespace {

using namespace quellmoor;

constexpr std::uint32_t kLetterS = 'S';
constexpr int kLargePageWidth = 2000;
constexpr double kShipReportMs = 100.0;

// Where the ship is drawn, in canvas pixels, for the page's tests (Module.vexmonShip).
// clang-format off
EM_JS(void, qm_report_ship, (int x, int y, int width, int height), {
    Module.vexmonShip = {x: x, y: y, width: width, height: height};
});
// clang-format on

class WebShow : public RObject {
public:
    WebShow(RDibStage& stage, platform::WebPlatform& host) : stage_(stage), host_(host) {
        stage.AddEventHandler("OnSetup", &OnSetup, this);
        stage.AddEventHandler("OnStarted", &OnStarted, this);
        stage.AddEventHandler("OnKeyDown", &OnKeyDown, this);
        auto in = stage.OpenContent();
        stage.AddComponentStream(in.get());
        stage.SetPresentDirtyOnly(true);
        auto* timer = MakeOwned<RTimer>("WebShipReport", &stage, kShipReportMs, true);
        timer->AddEventHandler("OnTimer", &OnReport, this);
    }

    const std::string& Error() const { return error_; }

private:
    // The stream asks for a full-screen window; the page is the window.
    static void OnSetup(RComponent*, REvent*, RObject* data) {
        auto& self = static_cast<WebShow&>(*data);
        const platform::PixelRect page = self.host_.GetDesktopRect();
        RStageSetup& setup = self.stage_.GetSetup();
        setup.windowRect = {0, 0, static_cast<float>(page.width), static_cast<float>(page.height)};
        setup.fullScreen = false;
        setup.hasFrame = false;
        setup.showCursor = true;
        self.stage_.SetComposeScale(page.width > kLargePageWidth ? 2 : 1);
        self.stage_.SetFollowTargetSize(true);
    }

    static void OnStarted(RComponent*, REvent*, RObject* data) {
        auto& self = static_cast<WebShow&>(*data);
        try {
            self.ship_ = BuildShow(self.stage_, {.dir = BuiltContentDir(), .seed = self.host_.RandomSeed()}).ship;
            std::printf("vexmon: the show started\n");
        } catch (const RException& e) {
            self.error_ = e.GetMessage();
            self.stage_.Quit();
        }
    }

    static void OnKeyDown(RComponent*, REvent*, RObject* data) {
        auto& self = static_cast<WebShow&>(*data);
        if (self.stage_.GetKeyDownCode() != kLetterS) return;
        self.host_.SetSoundOn(!self.host_.SoundOn());
        std::printf("vexmon: sound %s\n", self.host_.SoundOn() ? "on" : "off");
    }

    static void OnReport(RComponent*, REvent*, RObject* data) {
        auto& self = static_cast<WebShow&>(*data);
        if (!self.ship_) return;
        const RRect drawn = self.ship_->GetDrawnRect(self.ship_->GetXPos(), self.ship_->GetYPos());
        const auto scale = static_cast<float>(self.stage_.GetComposeScale());
        qm_report_ship(static_cast<int>(drawn.x * scale), static_cast<int>(drawn.y * scale),
                       static_cast<int>(drawn.width * scale), static_cast<int>(drawn.height * scale));
    }

    RDibStage& stage_;
    platform::WebPlatform& host_;
    RSpaceShip* ship_ = nullptr;
    std::string error_;
};

}  // namespace

int main() {
    const auto bytes = EmbeddedMainStream();
    platform::WebPlatform host({.content = std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    platform::SetCurrentPlatform(&host);
    RegisterAnimationClasses();
    int result = 0;
    try {
        RDibStage stage;
        WebShow show(stage, host);
        if (stage.GetOwnWindow()) stage.Run();
        if (!show.Error().empty()) {
            std::fprintf(stderr, "vexmon: %s\n", show.Error().c_str());
            result = 1;
        }
    } catch (const RException& e) {
        std::fprintf(stderr, "vexmon: %s\n", e.GetMessage().c_str());
        result = 1;
    }
    platform::SetCurrentPlatform(nullptr);
    return result;
}
