// RScreensaver: the behaviour that runs the show as a screensaver.
//
// It listens to the stage: at "OnSetup" it shapes the window for the mode (the
// engine has the last word), at "OnStarted" it builds the show (scenes/Show.h)
// from the settings, and afterwards it ends the run on input through the
// engine's password check. Mouse movement counts once the pointer is more than
// the engine's threshold away from where the first movement of the run was
// seen (the first only records; a refused check forgets it, so the watch
// starts afresh); a click or a key press counts at once, except S and F4, whose
// release toggles the sound. Closing the window goes through the same check,
// and F2 ends the run through it and then opens our web page once. In window
// mode only Esc (or closing the window) ends the run and other input is ignored. In the quiet modes an error goes
// once to the report sink (scenes/Report.h) instead of a message box.
//
//   auto* saver = MakeOwned<RScreensaver>(stage, std::move(engine), options);
//   stage.AddComponentStream(stage.OpenContent().get());
//   stage.Run();
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "model/Behaviour.h"
#include "model/Rect.h"
#include "saver/ScreensaverEngine.h"
#include "scenes/Show.h"

namespace quellmoor {

class RDibStage;
class RStageSetup;
struct CommandLine;

inline constexpr const char* kSaverCaption = "Vexmon";
// The page F2 opens once a full-screen or debug run has ended.
inline constexpr const char* kSaverWebPage = "https://vexmon.example.org/";

// Key codes the saver knows (the platform's virtual-key codes).
inline constexpr std::uint32_t kKeyEscape = 0x1B, kKeyS = 0x53, kKeyF2 = 0x71, kKeyF4 = 0x73, kKeyPlus = 0x6B, kKeyMinus = 0x6D;

// The show's settings for one run: the settings file's "Vexmon" section, with
// the command line's overrides winning.
struct SaverSettings {
    std::string dir;
    std::string engine = "1";
    std::string skin;
    bool sound = true;
    std::uint32_t seed = 0;
};

// Dir (default `defaultDir`), Engine ("1"), Skin (""), Sound ("1": on exactly
// when it reads 1); an Engine or Skin that is not a bare name falls back to its
// default. The seed is the command line's, else the platform's random seed.
SaverSettings ReadSaverSettings(const CommandLine& line, const std::string& defaultDir);

struct SaverOptions {
    SaverSettings settings;
    bool windowMode = false;   // only Esc ends the run; no password, other input ignored
    bool quietErrors = true;   // errors go once to the report sink, never to a box
};

class RScreensaver : public RBehaviour {
public:
    // Made with the stage as owner and target, and registered as "Screensaver".
    RScreensaver(RDibStage& stage, std::unique_ptr<RScreensaverEngine> engine, SaverOptions options);
    ~RScreensaver() override;

    std::string GetClassName() const override { return "RScreensaver"; }
    bool OnEvent(const std::string& eventName, RComponent* sender) override;

    void ApplySetup(RStageSetup& setup);
    void StartRun();
    void EndRun();
    void MouseMoved(float x, float y);
    void KeyPressed(std::uint32_t code, std::uint32_t data);
    void KeyReleased(std::uint32_t code);
    // Ends the run when the password check agrees; true when this call ended it.
    bool TryQuit();

    RScreensaverEngine& GetEngine() const { return *engine_; }
    const SaverSettings& GetSettings() const { return options_.settings; }
    const BuiltShow& GetShow() const { return show_; }
    // Why the show could not be built (the run then ended); empty when it was.
    const std::string& Error() const { return error_; }

private:
    void BuildTheShow();
    void PressedF2();

    RDibStage& stage_;
    std::unique_ptr<RScreensaverEngine> engine_;
    SaverOptions options_;
    std::optional<RPoint> mouseAnchor_;  // where the mouse was first seen since the watch was armed
    bool quitting_ = false;
    bool watchMouse_ = true;
    bool quitOnClick_ = true;
    bool quitOnKey_ = true;
    bool ended_ = false;
    bool f2Held_ = false;     // F2's key repeats open nothing more
    bool pageOpened_ = false;
    BuiltShow show_;
    std::string error_;
};

}  // namespace quellmoor
