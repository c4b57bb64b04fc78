#include "saver/LinuxSaverEngine.h"

#include "platform/Platform.h"
#include "saver/PreviewOpening.h"
#include "stage/DibStage.h"

namespace quellmoor {

namespace {

constexpr float kDefaultWidth = 800, kDefaultHeight = 600;
constexpr float kDebugWidth = 640, kDebugHeight = 480;
// A host window narrower than this is a settings preview: the show is composed
// at the preview's size and shrunk into it, with the preview's larger text.
constexpr int kPreviewBelowWidth = 400;
constexpr float kPreviewComposeWidth = 608, kPreviewComposeHeight = 448;
constexpr float kNaturalSize = -99999.0f;

// Wider than this, the show is composed at half size and shown doubled.
constexpr int kLargeDisplayWidth = 2000;

int ComposeScale(const CommandLine& line, int displayWidth) {
    if (line.scale) return *line.scale;
    return displayWidth > kLargeDisplayWidth ? 2 : 1;
}

RRect RequestedWindow(const CommandLine& line) {
    if (line.width && line.height) return {0, 0, static_cast<float>(*line.width), static_cast<float>(*line.height)};
    return {0, 0, kDefaultWidth, kDefaultHeight};
}

}  // namespace

RLinuxSaverEngine::RLinuxSaverEngine(CommandLine line) : line_(std::move(line)) {}

RLinuxSaverEngine::~RLinuxSaverEngine() { OnSaverEnd(); }

void RLinuxSaverEngine::AttachStage(RDibStage& stage) {
    stage_ = &stage;
    if (line_.mode == SaverMode::Fullscreen) stage.MakeTopmost();
    if (line_.mode == SaverMode::Debug) stage.SetShowFrameRate(true);
}

void RLinuxSaverEngine::PrepareSetup(RStageSetup& setup) {
    setup.fullScreen = false;
    switch (line_.mode) {
        case SaverMode::Fullscreen: {
            // A borderless window at the display's bounds works with or without a window manager.
            platform::Platform& system = platform::CurrentPlatform();
            const std::vector<platform::PixelRect> monitors = system.GetMonitorRects();
            const platform::PixelRect bounds = monitors.empty() ? system.GetDesktopRect() : monitors.front();
            setup.windowRect = {static_cast<float>(bounds.x), static_cast<float>(bounds.y),
                                static_cast<float>(bounds.width), static_cast<float>(bounds.height)};
            setup.hasFrame = false;
            setup.showCursor = false;
            if (stage_) stage_->SetComposeScale(ComposeScale(line_, bounds.width));
            // The lock is taken only by the instance that runs, and only it gives the lock back.
            if (!lockHeld_) lockHeld_ = system.AcquireInstanceLock(kInstanceLockName);
            if (!lockHeld_ && stage_) stage_->Quit();
            break;
        }
        case SaverMode::Hack: PrepareHack(setup); break;
        case SaverMode::Debug:
            setup.windowRect = {0, 0, kDebugWidth, kDebugHeight};
            setup.hasFrame = true;
            setup.showCursor = true;
            break;
        default:
            setup.windowRect = RequestedWindow(line_);
            setup.hasFrame = true;
            setup.showCursor = true;
            if (stage_ && line_.mode == SaverMode::Window)
                stage_->SetComposeScale(ComposeScale(line_, static_cast<int>(setup.windowRect.width)));
            break;
    }
}

// Drawn into the host's window: the own window stays hidden, no input reaches
// the show, and a window that does not exist ends the run before it starts.
void RLinuxSaverEngine::PrepareHack(RStageSetup& setup) {
    setup.hasFrame = false;
    setup.showCursor = true;
    platform::Platform& system = platform::CurrentPlatform();
    const platform::NativeWindow host =
        line_.windowId ? platform::NativeWindow(*line_.windowId) : system.RootWindow();
    if (host) hostWindow_ = system.AttachWindow(host);
    if (!hostWindow_) {
        if (stage_) stage_->Quit();
        return;
    }
    const platform::PixelRect size = system.GetWindowRect(hostWindow_);
    const auto width = static_cast<float>(size.width), height = static_cast<float>(size.height);
    const bool preview = size.width < kPreviewBelowWidth;
    if (preview) setup.windowRect = {0, 0, kPreviewComposeWidth, kPreviewComposeHeight};
    else setup.windowRect = {0, 0, width, height};
    if (!stage_) return;
    stage_->SetPreviewMode(preview);
    if (preview) {
        stage_->SetPresentTarget(hostWindow_, width, height);
        return;
    }
    const int scale = ComposeScale(line_, size.width);
    stage_->SetComposeScale(scale);
    if (scale > 1) stage_->SetPresentTarget(hostWindow_, width, height);
    else stage_->SetPresentTarget(hostWindow_, kNaturalSize, kNaturalSize);
    stage_->SetFollowTargetSize(true);
}

float RLinuxSaverEngine::GetMouseThreshold() {
    // Five screen pixels, whatever the composing scale.
    return 5.0f / static_cast<float>(stage_ ? stage_->GetComposeScale() : 1);
}

void RLinuxSaverEngine::OnSaverStart() {
    if (stage_ && stage_->IsPreviewMode()) PlayPreviewOpening(*stage_);
}

void RLinuxSaverEngine::OnSaverEnd() {
    if (!lockHeld_) return;
    lockHeld_ = false;
    if (platform::HasCurrentPlatform()) platform::CurrentPlatform().ReleaseInstanceLock();
}

}  // namespace quellmoor
