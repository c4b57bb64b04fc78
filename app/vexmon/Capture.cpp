#include "app/vexmon/Capture.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/vexmon/SaverRun.h"
#include "imaging/Surface.h"
#include "platform/media/GifRecorder.h"
#include "platform/media/PngFile.h"
#include "scenes/SceneFolder.h"
#include "stage/DibStage.h"
#include "stage/Timer.h"

namespace quellmoor {

namespace {

constexpr double kProgressEveryMs = 5000.0;
constexpr double kScreenshotTickMs = 25.0;

// Writes a frame of the stage image every tick and ends the run after the last.
class GifCapture : public RObject {
public:
    GifCapture(RDibStage& stage, const CommandLine& line) : stage_(stage), line_(line) {}

    void Begin() {
        recorder_ = std::make_unique<media::GifRecorder>(line_.outputPath);
        auto* timer = MakeOwned<RTimer>("RecordTick", &stage_, kRecordFrameMs, true);
        timer->AddEventHandler("OnTimer", &OnTick, this);
    }
    void Finish() {
        if (recorder_ && error_.empty()) recorder_->Close();
    }
    int Frames() const { return frames_; }
    const std::string& Error() const { return error_; }

private:
    static void OnTick(RComponent*, REvent*, RObject* data) {
        auto& self = static_cast<GifCapture&>(*data);
        try {
            self.Tick();
        } catch (const RException& e) {
            self.error_ = e.GetMessage();
            self.stage_.Quit();
        }
    }
    void Tick() {
        const RSurface* image = stage_.GetStageImage();
        if (!image) return;
        recorder_->AddFrame(*image->GetDib(), static_cast<int>(kRecordFrameMs));
        ++frames_;
        const double recordedMs = frames_ * kRecordFrameMs;
        if (recordedMs >= nextProgressMs_ && recordedMs < line_.recordSeconds * 1000.0) {
            std::printf("%s: %.0f of %.0f s recorded\n", kProgramName, recordedMs / 1000.0, line_.recordSeconds);
            std::fflush(stdout);
            nextProgressMs_ += kProgressEveryMs;
        }
        if (recordedMs >= line_.recordSeconds * 1000.0) stage_.Quit();
    }

    RDibStage& stage_;
    const CommandLine& line_;
    std::unique_ptr<media::GifRecorder> recorder_;
    int frames_ = 0;
    double nextProgressMs_ = kProgressEveryMs;
    std::string error_;
};

// Saves the stage image once show time reaches the moment asked for.
class PngCapture : public RObject {
public:
    PngCapture(RDibStage& stage, const CommandLine& line) : stage_(stage), line_(line) {}

    void Begin() {
        auto* timer = MakeOwned<RTimer>("ScreenshotTick", &stage_, kScreenshotTickMs, true);
        timer->AddEventHandler("OnTimer", &OnTick, this);
    }
    bool Saved() const { return saved_; }
    const std::string& Error() const { return error_; }

private:
    static void OnTick(RComponent*, REvent*, RObject* data) {
        auto& self = static_cast<PngCapture&>(*data);
        if (self.stage_.GetTime() < self.line_.screenshotSeconds * 1000.0) return;
        try {
            if (const RSurface* image = self.stage_.GetStageImage()) {
                media::SavePngFile(*image->GetDib(), self.line_.outputPath);
                self.saved_ = true;
            }
        } catch (const RException& e) {
            self.error_ = e.GetMessage();
        }
        self.stage_.Quit();
    }

    RDibStage& stage_;
    const CommandLine& line_;
    bool saved_ = false;
    std::string error_;
};

SaverOptions CaptureOptions(platform::Platform& host, const CommandLine& line, std::unique_ptr<SceneFolder>& scenes) {
    SaverOptions options;
    options.settings = ResolveSettings(host, line, scenes);
    options.windowMode = true;  // nobody is there to end it: the capture does
    options.quietErrors = true;
    return options;
}

int Finish(const SaverRunResult& run, const std::string& captureError) {
    if (!run.error.empty()) {
        PrintError(run.error);
        return 1;
    }
    if (!captureError.empty()) {
        PrintError(captureError);
        return 1;
    }
    if (!run.ran) return 1;
    return 0;
}

std::string Shown(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

}  // namespace

int RecordShow(const CommandLine& line) {
    auto host = MakeHeadlessHost(line, SettingsUse::ReadOnly);
    std::unique_ptr<SceneFolder> scenes;
    SaverOptions options;
    try {
        options = CaptureOptions(*host, line, scenes);
    } catch (const RException& e) {
        PrintError(e.GetMessage());
        return 1;
    }
    std::optional<GifCapture> capture;
    std::string error;
    const SaverRunResult run = RunSaver(*host, line, std::move(options), [&](RDibStage& stage) {
        capture.emplace(stage, line);
        try {
            capture->Begin();
        } catch (const RException& e) {
            error = e.GetMessage();
            stage.Quit();
        }
    });
    if (capture) {
        if (error.empty()) error = capture->Error();
        try {
            capture->Finish();
        } catch (const RException& e) {
            if (error.empty()) error = e.GetMessage();
        }
    }
    if (const int status = Finish(run, error)) return status;
    std::printf("%s: %d frames (%.0f s) written to %s\n", kProgramName, capture->Frames(), line.recordSeconds,
                Shown(line.outputPath).c_str());
    return 0;
}

int TakeScreenshot(const CommandLine& line) {
    auto host = MakeHeadlessHost(line, SettingsUse::ReadOnly);
    std::unique_ptr<SceneFolder> scenes;
    SaverOptions options;
    try {
        options = CaptureOptions(*host, line, scenes);
    } catch (const RException& e) {
        PrintError(e.GetMessage());
        return 1;
    }
    std::optional<PngCapture> capture;
    const SaverRunResult run = RunSaver(*host, line, std::move(options), [&](RDibStage& stage) {
        capture.emplace(stage, line);
        capture->Begin();
    });
    if (const int status = Finish(run, capture ? capture->Error() : std::string())) return status;
    if (!capture || !capture->Saved()) {
        PrintError("no frame was composed to save");
        return 1;
    }
    std::printf("%s: the show at %.1f s written to %s\n", kProgramName, line.screenshotSeconds,
                Shown(line.outputPath).c_str());
    return 0;
}

}  // namespace quellmoor
