// RStage: the root of everything shown.
//
// A component manager that owns every loaded component, the off-screen stage
// image and the background, the list of timers, the stage clock and the set of
// dirty rectangles. Each frame it sorts the pixies by depth (larger ZPos first),
// copies the background, has every visible pixie draw itself and presents the
// image. Input arrives as operations that store the value and fire the named
// event ("OnMouseMove", "OnKeyDown", ...). The stage registers itself as its
// own first component, so the stream's object "Stage" fills its properties.
//
// RStage is abstract over what touches the system; RDibStage (DibStage.h)
// implements that once over the platform interface.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "model/ComponentManager.h"
#include "model/Rect.h"

namespace quellmoor {

class RPixie;
class RSurface;
class RTimer;

// The window settings the stream's "Stage" object carries.
class RStageSetup {
public:
    virtual ~RStageSetup() = default;
    // Handles ShowCursor, Fullscreen, HasFrame, WindowRect (read, discarded), BackColor, UseColor.
    virtual bool LoadPropFromStream(const std::string& name, std::istream& in, int& counter);

    bool showCursor = true;
    bool fullScreen = false;
    bool hasFrame = true;
    RRect windowRect{0, 0, 320, 240};
    std::int32_t backColor = 0;
    bool useColor = true;
};

class RStage : public RComponentManager {
public:
    RStage();
    ~RStage() override;

    bool LoadPropFromStream(const std::string& name, std::istream& in, int& counter) override;
    std::string GetClassName() const override { return "RStage"; }

    // Loads content with the set-up sequence: bind links, "OnBeforeEverything",
    // load, bind again, "OnSetup", make the stage image, create the window, "OnCreated".
    void AddComponentStream(std::istream* in) override;

    // --- Clock
    virtual double GetSystemTime() = 0;
    // (system time - start time) / rate.
    double GetTime();
    void Pause();
    void Resume();
    bool IsPaused() const { return pauseStart_.has_value(); }
    // Changes the rate while keeping stage time continuous.
    void SetRate(double rate);
    double GetRate() const { return rate_; }

    // --- Surfaces
    virtual std::unique_ptr<RSurface> CreateSurface(float width, float height) = 0;
    std::unique_ptr<RSurface> CloneSurface(const RSurface& surface);
    RSurface* GetStageImage() const { return stageImage_.get(); }
    RSurface* GetBackground() const { return background_.get(); }
    // Swap in another background or stage image and hand back the old one (the
    // preview opening shows its own screens, then restores the stage's). The
    // whole image becomes dirty, so changes-only composing repaints all of it.
    std::unique_ptr<RSurface> SetBackground(std::unique_ptr<RSurface> background);
    std::unique_ptr<RSurface> SetStageImage(std::unique_ptr<RSurface> image);
    virtual void Resize(float width, float height);
    virtual void SetBackColor(std::int32_t colour);

    // --- Running
    virtual void Start();
    // Fires "OnExit" once; later calls do nothing.
    virtual void Stop();
    virtual void Run();
    virtual void Show();
    virtual void Redraw();
    // A full repaint between scenes: with `fade`, the shown frame fades to
    // black and the newly composed one fades in; without, it is shown at once.
    virtual void FadeTransition(bool fade) = 0;
    // Redraw without presenting: sort, copy the background, draw the visible
    // pixies. False when the stage image or the background is missing.
    bool Compose();
    // When on, Redraw first asks every pixie for its changed area
    // (UpdateBounds), then composes and presents only the dirty rectangles
    // and empties the set; a frame where nothing changed costs nothing. Code
    // that draws on the background itself must report it with InvalidRect.
    // Off by default: then every frame is composed and presented whole.
    void SetPresentDirtyOnly(bool on);
    virtual void Present(RSurface& image, float x, float y, const std::vector<RRect>* rects) = 0;
    virtual bool PumpMessages(double waitMs) = 0;
    virtual void MeasureFramePeriod() = 0;
    virtual double WaitForVerticalBlank() = 0;
    virtual bool RequestQuit() = 0;
    void Quit();
    bool IsQuitting() const { return quit_; }

    // --- Window and program
    virtual std::unique_ptr<std::istream> OpenContent() = 0;
    virtual void CreateStageWindow() = 0;
    virtual void ShowCursor(bool visible) = 0;
    virtual RRect GetWindowRect() = 0;
    virtual std::string GetProgramDir() = 0;
    virtual std::string GetProgramName() = 0;
    virtual void SetCaption(const std::string& caption);
    const std::string& GetCaption() const { return caption_; }
    RStageSetup& GetSetup() { return setup_; }

    // --- Dirty rectangles: pairwise disjoint, integer aligned, inside the stage image.
    void InvalidRect(const RRect& rect);
    const std::vector<RRect>& GetDirtyRects() const { return dirty_; }
    void ClearDirtyRects() { dirty_.clear(); }

    // --- Input: each stores its values, then fires its event.
    virtual void Activate(bool active);
    virtual void MouseMove(float x, float y);
    virtual void MouseUp(float x, float y);
    virtual void MouseDown(float x, float y);
    void KeyDown(std::uint32_t code, std::uint32_t data);
    void KeyUp(std::uint32_t code, std::uint32_t data);
    // The last mouse position in stage pixels; empty before the first mouse event.
    std::optional<RPoint> GetMousePosition() const { return mouse_; }
    std::uint8_t GetKeyDownCode() const { return keyDownCode_; }
    std::uint8_t GetKeyUpCode() const { return keyUpCode_; }
    std::uint32_t GetKeyDownData() const { return keyDownData_; }
    std::uint32_t GetKeyUpData() const { return keyUpData_; }
    bool IsActive() const { return active_; }

    // --- Failures: "OnException" handlers may clear the message; otherwise ShowException.
    virtual void ReportException(const std::string& message) noexcept;
    virtual void ShowException(const std::string& message);
    // The message while "OnException" handlers run; null otherwise.
    const std::string* GetExceptionMessage() const { return exceptionMessage_; }
    void ClearExceptionMessage() { exceptionMessage_ = nullptr; }

    // --- Sound: the stage plays a file path (finding it is the caller's job),
    // and only while its sound switch is on. A new sound replaces the playing one.
    bool IsSoundEnabled() const { return soundEnabled_; }
    // Switching off also silences the sound playing.
    void SetSoundEnabled(bool on);
    void PlaySound(const std::string& path);
    void StopSound();

    // --- Preview: the frame is shown reduced by four, so text is drawn larger.
    bool IsPreviewMode() const { return previewMode_; }
    void SetPreviewMode(bool on) { previewMode_ = on; }

    // --- Timers register themselves when made and leave when they die.
    void AddTimer(RTimer* timer);
    void RemoveTimer(RTimer* timer);
    const std::vector<RTimer*>& GetTimers() const { return timers_; }
    double GetFramePeriod() const { return framePeriod_; }

    // --- Removing components while the show runs. Dispose takes a component
    // (usually a scene's library) out of play at once: it and everything it
    // owns leave every registry and the timer list. It is destroyed when the
    // current timer tick or input event is over (CollectDisposed, which the
    // loop calls), so a handler may remove the very scene it belongs to.
    // A component with an owner is taken from that owner.
    void Dispose(RComponent* component);
    void Dispose(std::unique_ptr<RComponent> component);
    void CollectDisposed();
    std::size_t DisposedCount() const { return disposed_.size(); }
    // Ticks one timer, then destroys what its handlers disposed.
    void TickTimer(RTimer& timer);

    // Timer ticks in one round at most, besides the time budget: a virtual
    // clock does not advance while timers tick.
    static constexpr int kMaxTicksPerRound = 1000;
    // A wait that overran by more than this (system ms) was the machine
    // sleeping or the process stopped, not a slow frame.
    static constexpr double kClockJumpMs = 1000.0;

protected:
    // Starts the stage clock at the system time (derived constructors call it
    // once the system time is available, so timers made while loading read a
    // real time).
    void StartClock();
    // Deletes the disposed and the owned components while the stage's lists still exist.
    void DeleteOwnedComponents();

    double framePeriod_ = 1000.0 / 60.0;
    double timerBudget_ = 1000.0 / 3.0;
    std::unique_ptr<RSurface> stageImage_;
    std::unique_ptr<RSurface> background_;

private:
    // Sorts the component list by depth and collects its pixies in that order.
    void SortByDepth();
    RPixie* AsPixie(RComponent& component);
    void DrawPixies();
    // Compose restricted to the dirty set, over the last composed image.
    bool ComposeDirty();
    void ReportPixieChanges();
    // Waits for input or up to `waitMs` of system time, taking out of stage
    // time whatever the wait overran by more than kClockJumpMs.
    bool WaitAbsorbingClockJumps(double waitMs);

    // A frame's components in drawing order, kept to reuse their memory.
    struct DepthEntry {
        bool other;  // not a pixie: after every pixie
        float key;
        RComponent* component;
        RPixie* pixie;
    };
    std::vector<DepthEntry> depthOrder_;
    std::vector<RPixie*> pixies_;  // the frame's pixies in drawing order; empty between frames
    std::vector<std::pair<const std::type_info*, bool>> pixieClasses_;  // which classes are pixies

    bool firstShowPending_ = true;
    std::vector<RRect> dirty_;
    double startTime_ = 0;
    double rate_ = 1.0;
    std::optional<double> pauseStart_;  // stage time when paused
    std::vector<RTimer*> timers_;
    std::vector<std::unique_ptr<RComponent>> disposed_;
    std::string caption_;
    bool quit_ = false;
    bool stopped_ = false;
    bool presentDirtyOnly_ = false;
    bool soundEnabled_ = true;
    bool previewMode_ = false;
    RStageSetup setup_;
    bool active_ = false;
    std::optional<RPoint> mouse_;
    std::uint8_t keyUpCode_ = 0, keyDownCode_ = 0;
    std::uint32_t keyUpData_ = 0, keyDownData_ = 0;
    const std::string* exceptionMessage_ = nullptr;
};

// The one stage of the process, or null before it exists.
RStage* CurrentStage();

}  // namespace quellmoor
