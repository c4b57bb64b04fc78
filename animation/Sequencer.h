// Sequences: timed steps played over one pixie by a timer.
//
// RPixieSequencer walks its steps: each step begins (a frame step shows its
// frame), lasts its duration, then applies its movement. At the end of a pass
// it tells the pixie (which fires "OnFinishSequence") and either stops or
// starts the next pass. Repeat counts: -1 for ever, n >= 1 passes, 0 one pass.
// A player whose pixie has died stops.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "stage/Pixie.h"
#include "stage/Timer.h"

namespace quellmoor {

class RPixie;

class RPixieModifier {
public:
    virtual ~RPixieModifier() = default;
    virtual void Begin(RPixie& pixie) = 0;
    virtual void Apply(RPixie& pixie) = 0;
    virtual double GetDuration() const = 0;
    virtual std::unique_ptr<RPixieModifier> Clone() const = 0;
};

class RPlaceModifier : public RPixieModifier {
public:
    RPlaceModifier(double durationMs, float dx, float dy, float dz)
        : duration(durationMs), deltaX(dx), deltaY(dy), deltaZ(dz) {}
    void Begin(RPixie&) override {}
    void Apply(RPixie& pixie) override;
    double GetDuration() const override { return duration; }
    std::unique_ptr<RPixieModifier> Clone() const override { return std::make_unique<RPlaceModifier>(*this); }

    double duration;
    float deltaX, deltaY, deltaZ;
};

class RFrameRef : public RPlaceModifier {
public:
    RFrameRef() : RPlaceModifier(0, 0, 0, 0) {}
    // Shows the named frame; the pixie must be a sprite.
    void Begin(RPixie& pixie) override;
    std::unique_ptr<RPixieModifier> Clone() const override { return std::make_unique<RFrameRef>(*this); }

    std::string frameName;
};

class RPixieSequencer : public RTimer {
public:
    RPixieSequencer(std::string name, RComponent* owner);
    ~RPixieSequencer() override;

    // Reads the step list of a stored sequence body.
    bool LoadFromStream(std::istream& in, int& counter) override;
    void SetEnabled(bool on) override;
    void OnTimerTick() override;

    // Replaces this player's steps with copies of `other`'s.
    void CopyStepsOf(const RPixieSequencer& other);
    virtual void Start(RPixie* pixie, int repeatCount);
    void Step();

    int GetRepeatCount() const { return repeatCount_; }
    std::size_t GetStepCount() const { return steps_.size(); }
    const RPixieModifier& GetStep(std::size_t index) const { return *steps_[index]; }
    std::size_t GetCurrentStepIndex() const { return current_; }

private:
    int repeatCount_ = 0;
    std::size_t current_ = 0;
    std::vector<std::unique_ptr<RPixieModifier>> steps_;
    RHandle<RPixie> pixie_;
    // Bumped by Start and by disabling, so Step notices a callback that restarted or stopped it.
    unsigned generation_ = 0;
};

// Parses "MS:110" into 110 ms; any other prefix gives 0.
double ParseDuration(const std::string& text);

}  // namespace quellmoor
