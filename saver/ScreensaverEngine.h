// RScreensaverEngine: what the saver asks of the system it runs on.
//
// The engine knows the platform's screensaver conventions: the mode (from the
// command line), the password check before a run may end, how far the mouse
// may move before it counts as input, and how the stage's window is prepared
// for the mode. The screensaver behaviour (Screensaver.h) owns one and drives
// it; each system has its own (LinuxSaverEngine.h here).
#pragma once

#include "model/Rect.h"

namespace quellmoor {

class RDibStage;
class RStageSetup;

class RScreensaverEngine {
public:
    virtual ~RScreensaverEngine() = default;

    // True when the run may end (the password, where the system has one, was accepted).
    virtual bool VerifyPassword() = 0;
    // Where the configure window goes.
    virtual RPoint GetConfigPosition() = 0;
    virtual bool IsConfigMode() = 0;
    // Mouse movement up to this many screen pixels from where it was first seen is no input.
    virtual float GetMouseThreshold() = 0;
    // Prepares the stage for the mode (topmost, frame rate shown, parent window).
    virtual void AttachStage(RDibStage& stage) = 0;
    virtual bool IsDebugMode() = 0;
    // Adjusts the window set-up before the window is made; may ask the stage to quit
    // (another instance runs).
    virtual void PrepareSetup(RStageSetup& setup) = 0;
    virtual void OnSaverStart() = 0;
    virtual void OnSaverEnd() = 0;
};

}  // namespace quellmoor
