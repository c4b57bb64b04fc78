// RWinSaver: the screensaver engine on Windows.
//
// Modes come from the parsed command line (saver/WindowsCommandLine.h):
//   run      full screen, topmost, cursor hidden; tells the system a saver runs
//   preview  composed at 608 x 448 and reduced into the host window (/p HWND),
//            after the preview's opening; the own window is a hidden child
//   debug    a framed 640 x 480 window showing the frame rate
// The single-instance rule (saver/WindowsSaverRules.h) uses the window titles
// program name + "_RUN" / "_PREVIEW"; a preview cannot be found by title (it
// is a child window), so it publishes its window handle in a named mapping.
// The password check ("PASSWORD.CPL", 95/98 family only), the password change
// ("MPR.DLL") and the input method ("IMM32.DLL") are loaded at run time, and
// only when present.
//
//   auto engine = std::make_unique<RWinSaver>(ParseWindowsCommandLine(GetCommandLineA()));
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "saver/ScreensaverEngine.h"
#include "saver/WindowsCommandLine.h"

namespace quellmoor {

class RWinSaver : public RScreensaverEngine {
public:
    explicit RWinSaver(WindowsCommandLine line);
    ~RWinSaver() override;
    RWinSaver(const RWinSaver&) = delete;
    RWinSaver& operator=(const RWinSaver&) = delete;

    bool VerifyPassword() override;
    RPoint GetConfigPosition() override { return {100.0f, 100.0f}; }
    bool IsConfigMode() override { return line_.mode == WinSaverMode::Config; }
    float GetMouseThreshold() override { return 5.0f; }
    void AttachStage(RDibStage& stage) override;
    bool IsDebugMode() override { return line_.mode == WinSaverMode::Debug; }
    void PrepareSetup(RStageSetup& setup) override;
    void OnSaverStart() override;
    void OnSaverEnd() override;

    bool IsPreviewMode() const { return line_.mode == WinSaverMode::Preview; }
    const WindowsCommandLine& GetArguments() const { return line_; }
    // True when this instance gave way to another (it quit at set-up).
    bool GaveWay() const { return gaveWay_; }
    // Why the run could not start (the preview's host window does not exist); empty otherwise.
    const std::string& Failure() const { return failure_; }

    // "/a": the system's password change dialog over `parent`; false when the
    // system has none ("MPR.DLL" or its export missing).
    static bool ChangePassword(std::optional<std::uint32_t> parent);

private:
    struct Native;  // the Win32 handles, kept out of this header

    void PrepareMode(RStageSetup& setup);
    void ApplyInstanceRule();

    WindowsCommandLine line_;
    RDibStage* stage_ = nullptr;
    std::unique_ptr<Native> native_;
    bool gaveWay_ = false;
    bool runningFlagSet_ = false;
    bool ended_ = false;
    std::string failure_;
};

}  // namespace quellmoor
