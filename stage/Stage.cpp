#include "stage/Stage.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <typeinfo>

#include "imaging/Surface.h"
#include "model/CurrentStage.h"
#include "model/EventLinks.h"
#include "model/EventNames.h"
#include "model/StreamReaders.h"
#include "model/Text.h"
#include "platform/Platform.h"
#include "stage/Pixie.h"
#include "stage/Timer.h"

namespace quellmoor {

namespace {

bool LoadBoolProperty(std::istream& in, int& counter) { return TextToBool(LoadStringFromStream(in, counter)); }

// Depth key: larger ZPos is drawn first. A depth that is not a number sorts as
// the farthest, so a bad value gives a fixed order instead of an invalid sort.
float DrawKey(const RPixie& pixie) {
    const float z = pixie.GetZPos();
    return std::isnan(z) ? std::numeric_limits<float>::infinity() : z;
}

}  // namespace

// --- RStageSetup

bool RStageSetup::LoadPropFromStream(const std::string& name, std::istream& in, int& counter) {
    if (EqualsIgnoreCase(name, "ShowCursor")) {
        showCursor = LoadBoolProperty(in, counter);
    } else if (EqualsIgnoreCase(name, "Fullscreen")) {
        fullScreen = LoadBoolProperty(in, counter);
    } else if (EqualsIgnoreCase(name, "HasFrame")) {
        hasFrame = LoadBoolProperty(in, counter);
    } else if (EqualsIgnoreCase(name, "WindowRect")) {
        // Read and discarded: the shell decides the window rectangle.
        LoadStringFromStream(in, counter);
    } else if (EqualsIgnoreCase(name, "BackColor")) {
        backColor = LoadColorFromStream(in, counter);
    } else if (EqualsIgnoreCase(name, "UseColor")) {
        useColor = LoadBoolProperty(in, counter);
    } else {
        return false;
    }
    return true;
}

// --- Construction

namespace {
// The newest stage, so that CurrentStage needs no cast: pixies ask for it
// hundreds of times a frame.
RStage* newestStage = nullptr;
}  // namespace

RStage::RStage() : RComponentManager(names::StageObject, nullptr) {
    RegisterComponent(this);
    SetCurrentStage(this);
    newestStage = this;
}

RStage::~RStage() {
    DeleteOwnedComponents();
    for (RTimer* timer : timers_) timer->stage_ = nullptr;
    timers_.clear();
    if (GetCurrentStage() == this) SetCurrentStage(nullptr);
    if (newestStage == this) newestStage = nullptr;
}

void RStage::DeleteOwnedComponents() {
    CollectDisposed();
    // Timers leave the timer list and pixies the registry from their destructors.
    DestroyOwnedComponents();
}

void RStage::StartClock() { startTime_ = GetSystemTime(); }

// --- Properties and loading

bool RStage::LoadPropFromStream(const std::string& name, std::istream& in, int& counter) {
    if (setup_.LoadPropFromStream(name, in, counter)) return true;
    if (EqualsIgnoreCase(name, "Background")) {
        const std::int32_t declared = LoadLongIntFromStream(in, counter);
        if (!background_) background_ = CreateSurface(1, 1);
        int consumed = 0;
        background_->LoadFromStream(in, consumed);
        AddToCounter(counter, consumed);
        if (consumed != declared) throw RStreamException("LoadPropFromStream; Invalid length.");
        return true;
    }
    if (EqualsIgnoreCase(name, "Caption")) {
        SetCaption(LoadStringFromStream(in, counter));
        return true;
    }
    return false;
}

void RStage::AddComponentStream(std::istream* in) {
    try {
        BindPendingEventLinks(*this);
        FireEvent(names::OnBeforeEverything);
        if (quit_) return;
        background_ = CreateSurface(1, 1);
        RComponentManager::AddComponentStream(in);
        BindPendingEventLinks(*this);
        FireEvent(names::OnSetup);
        // A quit asked for at set-up (another instance runs) makes no window.
        if (quit_) return;
        stageImage_ = CloneSurface(*background_);
        CreateStageWindow();
        FireEvent(names::OnCreated);
    } catch (const RException& e) {
        ReportException(e.GetMessage());
    }
}

// --- Clock

double RStage::GetTime() { return (GetSystemTime() - startTime_) / rate_; }

void RStage::Pause() {
    if (!IsPaused()) pauseStart_ = GetTime();
}

void RStage::Resume() {
    if (!IsPaused()) return;
    // The span is stage time; the start time is system time.
    startTime_ += (GetTime() - *pauseStart_) * rate_;
    pauseStart_.reset();
}

void RStage::SetRate(double rate) {
    if (!(rate > 0.0) || !std::isfinite(rate))
        throw RParamException("The stage rate must be a positive number.");
    const double now = GetTime();
    rate_ = rate;
    startTime_ = GetSystemTime() - now * rate_;
}

// --- Surfaces

std::unique_ptr<RSurface> RStage::CloneSurface(const RSurface& surface) {
    std::unique_ptr<RSurface> clone = CreateSurface(1, 1);
    clone->Assign(surface);
    return clone;
}

void RStage::Resize(float width, float height) {
    if (background_) background_->Resize(width, height, false);
    if (stageImage_) {
        stageImage_->Resize(width, height, false);
        // All of it is dirty now; rectangles kept from a larger size would
        // reach outside the new image.
        dirty_.clear();
        InvalidRect(stageImage_->GetRect());
    }
}

std::unique_ptr<RSurface> RStage::SetBackground(std::unique_ptr<RSurface> background) {
    std::swap(background_, background);
    if (stageImage_) InvalidRect(stageImage_->GetRect());
    return background;
}

std::unique_ptr<RSurface> RStage::SetStageImage(std::unique_ptr<RSurface> image) {
    std::swap(stageImage_, image);
    // The image coming in holds whatever it showed last, not this frame, and
    // may be smaller than the rectangles kept for the one going out.
    dirty_.clear();
    if (stageImage_) InvalidRect(stageImage_->GetRect());
    return image;
}

void RStage::SetBackColor(std::int32_t colour) {
    if (!background_) return;
    background_->Fill(colour);
    if (stageImage_) InvalidRect(stageImage_->GetRect());
}

// --- Running

void RStage::Start() {
    startTime_ = GetSystemTime();
    FireEvent(names::OnStarted);
    if (stageImage_) InvalidRect(stageImage_->GetRect());
}

void RStage::Stop() {
    if (stopped_) return;
    stopped_ = true;
    FireEvent(names::OnExit);
}

void RStage::Show() {
    if (firstShowPending_) {
        firstShowPending_ = false;
        FireEvent(names::OnBeforeShow);
    }
    if (stageImage_) InvalidRect(stageImage_->GetRect());
    Redraw();
}

RPixie* RStage::AsPixie(RComponent& component) {
    // A cast walks the class tree comparing type names; a stage holds a
    // dozen classes, so the answer per class is kept.
    const std::type_info* type = &typeid(component);
    for (const auto& [known, isPixie] : pixieClasses_)
        if (known == type) return isPixie ? static_cast<RPixie*>(&component) : nullptr;
    RPixie* pixie = dynamic_cast<RPixie*>(&component);
    pixieClasses_.emplace_back(type, pixie != nullptr);
    return pixie;
}

void RStage::SortByDepth() {
    auto& list = ComponentList();
    // Every frame sorts, and most find the list in order already: which
    // components are pixies, then a look whether anything is out of place.
    depthOrder_.clear();
    depthOrder_.reserve(list.size());
    for (RComponent* component : list) {
        RPixie* pixie = AsPixie(*component);
        depthOrder_.push_back({pixie == nullptr, pixie ? DrawKey(*pixie) : 0.0f, component, pixie});
    }
    const auto before = [](const DepthEntry& a, const DepthEntry& b) {
        if (a.other != b.other) return !a.other;
        return !a.other && a.key > b.key;
    };
    if (!std::is_sorted(depthOrder_.begin(), depthOrder_.end(), before)) {
        // Stable: equal depths keep their list order, so they never swap between frames.
        std::stable_sort(depthOrder_.begin(), depthOrder_.end(), before);
        for (std::size_t i = 0; i < depthOrder_.size(); ++i) list[i] = depthOrder_[i].component;
    }
    pixies_.clear();
    for (const DepthEntry& entry : depthOrder_)
        if (entry.pixie) pixies_.push_back(entry.pixie);
}

void RStage::DrawPixies() {
    // A pixie's Draw must not change the component list: the pixies sorted
    // just before are the ones drawn.
    for (RPixie* pixie : pixies_)
        if (pixie->GetVisible()) pixie->Draw(*stageImage_, pixie->GetXPos(), pixie->GetYPos(), nullptr);
}

bool RStage::Compose() {
    if (!stageImage_ || !background_) return false;
    SortByDepth();
    stageImage_->CopyFrom(background_.get(), 0, 0, background_->GetWidth(), background_->GetHeight(), 0, 0,
                          stageImage_->GetWidth(), stageImage_->GetHeight(), false, false);
    DrawPixies();
    pixies_.clear();  // no pointers kept past the frame
    return true;
}

bool RStage::ComposeDirty() {
    if (!stageImage_ || !background_) return false;
    // A background of another size is stretched over the whole image.
    if (background_->GetWidth() != stageImage_->GetWidth() || background_->GetHeight() != stageImage_->GetHeight())
        return Compose();
    // The pixies were sorted and collected by the redraw.
    // Source rows count from the bottom of the image.
    const float height = background_->GetHeight();
    for (const RRect& rect : dirty_)
        stageImage_->CopyFrom(background_.get(), rect.x, height - rect.y - rect.height, rect.width, rect.height,
                              rect.x, rect.y, rect.width, rect.height, false, false);
    // Outside the dirty set the image already holds this very picture, and
    // every draw is an opaque or keyed copy: drawing all pixies whole again,
    // in the same order, leaves those pixels as they are. Clip lists would
    // not do: pixies up to 256 pixels ignore them and would paint over
    // clipped ones in front of them.
    DrawPixies();
    return true;
}

void RStage::ReportPixieChanges() {
    for (RPixie* pixie : pixies_) pixie->UpdateBounds();
}

void RStage::Redraw() {
    if (!presentDirtyOnly_) {
        if (Compose()) Present(*stageImage_, 0, 0, nullptr);
        return;
    }
    // Movement, hiding and new frames tell the stage nothing by themselves:
    // ask every pixie what it covered and covers now.
    SortByDepth();
    ReportPixieChanges();
    const bool composed = !dirty_.empty() && ComposeDirty();  // an unchanged frame costs nothing
    if (composed) ReportPixieChanges();  // what only drawing measures (a balloon's new page)
    pixies_.clear();  // no pointers kept past the frame
    if (!composed) return;
    // What presenting itself invalidates (the frame-rate figure) is the next frame's.
    std::vector<RRect> frame;
    frame.swap(dirty_);
    Present(*stageImage_, 0, 0, &frame);
}

void RStage::SetPresentDirtyOnly(bool on) {
    presentDirtyOnly_ = on;
    if (on && stageImage_) InvalidRect(stageImage_->GetRect());
}

void RStage::Quit() {
    if (RequestQuit()) quit_ = true;
}

void RStage::SetCaption(const std::string& caption) { caption_ = caption; }

// --- Input

void RStage::Activate(bool active) {
    active_ = active;
    FireEvent(names::OnActivate);
}

void RStage::MouseMove(float x, float y) {
    mouse_ = RPoint{x, y};
    FireEvent(names::OnMouseMove);
}

void RStage::MouseUp(float x, float y) {
    mouse_ = RPoint{x, y};
    FireEvent(names::OnMouseUp);
}

void RStage::MouseDown(float x, float y) {
    mouse_ = RPoint{x, y};
    FireEvent(names::OnMouseDown);
}

void RStage::KeyDown(std::uint32_t code, std::uint32_t data) {
    keyDownCode_ = static_cast<std::uint8_t>(code & 0xFF);
    keyDownData_ = data;
    FireEvent(names::OnKeyDown);
}

void RStage::KeyUp(std::uint32_t code, std::uint32_t data) {
    keyUpCode_ = static_cast<std::uint8_t>(code & 0xFF);
    keyUpData_ = data;
    FireEvent(names::OnKeyUp);
}

// --- Failures

void RStage::ReportException(const std::string& message) noexcept {
    const std::string* outer = exceptionMessage_;
    try {
        const std::string kept = message;  // the caller's text may die with its exception
        exceptionMessage_ = &kept;
        try {
            FireEvent(names::OnException);
        } catch (...) {
            // A failing handler must not hide the report; the message still shows.
        }
        if (exceptionMessage_) ShowException(kept);
    } catch (...) {
        // Nothing may escape a report: it runs at every boundary.
    }
    exceptionMessage_ = outer;
}

void RStage::ShowException(const std::string&) {}

// --- Sound

void RStage::SetSoundEnabled(bool on) {
    if (soundEnabled_ && !on) StopSound();
    soundEnabled_ = on;
}

void RStage::PlaySound(const std::string& path) {
    if (soundEnabled_ && platform::HasCurrentPlatform()) platform::CurrentPlatform().PlaySoundFile(path);
}

void RStage::StopSound() {
    // Not gated: a sound started before the switch went off must still stop.
    if (platform::HasCurrentPlatform()) platform::CurrentPlatform().StopSound();
}

// --- Timers

void RStage::AddTimer(RTimer* timer) {
    if (!timer || std::find(timers_.begin(), timers_.end(), timer) != timers_.end()) return;
    timers_.push_back(timer);
    timer->stage_ = this;
}

void RStage::RemoveTimer(RTimer* timer) {
    const auto it = std::find(timers_.begin(), timers_.end(), timer);
    if (it == timers_.end()) return;
    timers_.erase(it);
    timer->stage_ = nullptr;
}

// --- Removing components

namespace {

// Takes `component` and everything it owns out of play on `stage`.
void TakeOutOfPlay(RStage& stage, RComponent& component) {
    component.LeaveRegistries();
    if (auto* timer = dynamic_cast<RTimer*>(&component)) stage.RemoveTimer(timer);
    for (const auto& child : component.GetOwnedComponents()) TakeOutOfPlay(stage, *child);
}

}  // namespace

void RStage::Dispose(RComponent* component) {
    if (!component) return;
    for (const auto& waiting : disposed_)
        if (waiting.get() == component) return;  // disposed twice in one tick
    if (component == this) throw RParamException("Dispose: the stage cannot dispose of itself.");
    RComponent* owner = component->GetOwner();
    std::unique_ptr<RComponent> taken = owner ? owner->ReleaseOwned(component) : nullptr;
    if (!taken) throw RParamException("Dispose: component " + component->GetName() + " has no owner.");
    Dispose(std::move(taken));
}

void RStage::Dispose(std::unique_ptr<RComponent> component) {
    if (!component) return;
    TakeOutOfPlay(*this, *component);
    disposed_.push_back(std::move(component));
}

void RStage::CollectDisposed() {
    // Destructors may dispose of more; take the list each round.
    while (!disposed_.empty()) {
        std::vector<std::unique_ptr<RComponent>> doomed = std::move(disposed_);
        disposed_.clear();
        doomed.clear();
    }
}

void RStage::TickTimer(RTimer& timer) {
    // Also when the tick throws: the loop reports it and goes on.
    struct Collect {
        RStage& stage;
        ~Collect() { stage.CollectDisposed(); }
    } collect{*this};
    timer.Tick();
}

RStage* CurrentStage() {
    RComponentManager* current = GetCurrentStage();
    if (newestStage && current == newestStage) return newestStage;
    return dynamic_cast<RStage*>(current);
}

}  // namespace quellmoor
