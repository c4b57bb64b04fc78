// RLinuxSaverEngine: the screensaver engine for the `vexmon` program, over the
// platform interface and the parsed command line (CommandLine.h).
//
// There is no screensaver password on this system (the screen locker asks for
// it), so VerifyPassword always agrees. Modes prepare the window so:
//   window      a framed window (--size, default 800 x 600), cursor shown
//   fullscreen  a borderless window at the primary display's bounds, cursor
//               hidden, topmost, one instance at a time (the platform's lock
//               "vexmon"; a second instance gives way by quitting at set-up)
//   debug       a framed 640 x 480 window showing the frame rate
//   record, screenshot  a framed window of --size (the headless backend's)
//   hack        frames go into the window named on the command line, else the
//               root window (the own window stays hidden), following its size;
//               one under 400 pixels wide is a settings preview: composed at
//               608 x 448 with the preview's text and shrunk into it, after the
//               preview's opening. A window that does not exist ends the run at
//               set-up.
// Window, full screen and hack wider than 2000 pixels compose at half size and
// show each pixel doubled (--scale N chooses); the mouse threshold stays five
// screen pixels.
//
//   RLinuxSaverEngine engine(ParseCommandLine(argc, argv, nullptr));
#pragma once

#include "platform/Platform.h"
#include "saver/CommandLine.h"
#include "saver/ScreensaverEngine.h"

namespace quellmoor {

inline constexpr const char* kInstanceLockName = "vexmon";

class RLinuxSaverEngine : public RScreensaverEngine {
public:
    explicit RLinuxSaverEngine(CommandLine line);
    ~RLinuxSaverEngine() override;
    RLinuxSaverEngine(const RLinuxSaverEngine&) = delete;
    RLinuxSaverEngine& operator=(const RLinuxSaverEngine&) = delete;

    bool VerifyPassword() override { return true; }
    RPoint GetConfigPosition() override { return {100.0f, 100.0f}; }
    bool IsConfigMode() override { return line_.mode == SaverMode::Config; }
    float GetMouseThreshold() override;
    void AttachStage(RDibStage& stage) override;
    bool IsDebugMode() override { return line_.mode == SaverMode::Debug; }
    void PrepareSetup(RStageSetup& setup) override;
    // A settings preview plays its opening first (PreviewOpening.h).
    void OnSaverStart() override;
    void OnSaverEnd() override;

    const CommandLine& GetArguments() const { return line_; }
    // True while this instance holds the single-instance lock.
    bool HoldsInstanceLock() const { return lockHeld_; }
    // Hack: the host's window once attached; empty before or when it does not exist.
    platform::WindowId GetHostWindow() const { return hostWindow_; }

private:
    void PrepareHack(RStageSetup& setup);

    CommandLine line_;
    RDibStage* stage_ = nullptr;
    bool lockHeld_ = false;
    platform::WindowId hostWindow_;
};

}  // namespace quellmoor
