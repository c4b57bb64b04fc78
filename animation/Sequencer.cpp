#include "animation/Sequencer.h"

#include <algorithm>

#include "animation/RecordReader.h"
#include "animation/Sprite.h"
#include "model/StreamReaders.h"
#include "model/Text.h"

namespace quellmoor {

namespace {

// A step of 0 ms would fire on every pass of the loop.
constexpr double kShortestStepMs = 1.0;

double StepInterval(const RPixieModifier& step) { return std::max(step.GetDuration(), kShortestStepMs); }

}  // namespace

double ParseDuration(const std::string& text) {
    std::string rest = text;
    const std::string prefix = SplitOff(rest, ":");
    if (!EqualsIgnoreCase(prefix, "MS")) return 0.0;
    // Stored as seconds in single precision, as the shipped data was timed.
    const float seconds = static_cast<float>(TextToFloat(rest)) * 0.001f;
    return static_cast<double>(seconds) * 1000.0;
}

void RPlaceModifier::Apply(RPixie& pixie) { pixie.MoveBy(deltaX, deltaY, deltaZ); }

void RFrameRef::Begin(RPixie& pixie) {
    auto* sprite = dynamic_cast<RSprite*>(&pixie);
    if (!sprite) throw RFindException("RFrameRef cannot acces object other than RSprite.");
    sprite->ShowFrame(sprite->FindFrameByName(frameName));
}

RPixieSequencer::RPixieSequencer(std::string name, RComponent* owner) : RTimer(std::move(name), owner, 50.0, false) {}

RPixieSequencer::~RPixieSequencer() {
    if (RPixie* pixie = pixie_.Get()) pixie->ForgetSequencer(this);
}

bool RPixieSequencer::LoadFromStream(std::istream& in, int& counter) {
    counter = 0;
    const std::int32_t count = LoadLongIntFromStream(in, counter);
    for (std::int32_t i = 0; i < count; ++i) {
        int used = 0;
        if (AtEndOfStream(in)) throw RStreamException("SequenceList reached unexpected end of stream.");
        const std::string className = LoadStringFromStream(in, used);
        AddToCounter(counter, used);
        RecordReader record(in, "SequenceList");
        if (!EqualsIgnoreCase(className, "FrameRef")) {
            // No other step kind exists; such a record makes no step.
            SkipBytes(in, record.Remaining());
            record.Charge(record.Remaining());
            AddToCounter(counter, record.Consumed());
            continue;
        }
        auto step = std::make_unique<RFrameRef>();
        while (record.HasMore()) {
            const std::string key = record.ReadText();
            if (EqualsIgnoreCase(key, "Name")) step->frameName = record.ReadText();
            else if (EqualsIgnoreCase(key, "DeltaX")) step->deltaX = static_cast<float>(record.ReadInteger());
            else if (EqualsIgnoreCase(key, "DeltaY")) step->deltaY = static_cast<float>(record.ReadInteger());
            else if (EqualsIgnoreCase(key, "DeltaZ")) step->deltaZ = static_cast<float>(record.ReadInteger());
            else if (EqualsIgnoreCase(key, "Time")) step->duration = ParseDuration(record.ReadText());
            else record.ReadText();
        }
        AddToCounter(counter, record.Consumed());
        steps_.push_back(std::move(step));
    }
    return true;
}

void RPixieSequencer::CopyStepsOf(const RPixieSequencer& other) {
    SetEnabled(false);
    current_ = 0;
    steps_.clear();
    for (const auto& step : other.steps_) steps_.push_back(step->Clone());
}

void RPixieSequencer::SetEnabled(bool on) {
    if (!on) ++generation_;
    RTimer::SetEnabled(on);
}

void RPixieSequencer::Start(RPixie* pixie, int repeatCount) {
    ++generation_;
    pixie_ = pixie;
    repeatCount_ = repeatCount;
    current_ = 0;
    if (steps_.empty() || !pixie) return;
    SetInterval(StepInterval(*steps_[0]));
    steps_[0]->Begin(*pixie);
    RTimer::SetEnabled(true);
}

void RPixieSequencer::OnTimerTick() { Step(); }

void RPixieSequencer::Step() {
    RPixie* pixie = pixie_.Get();
    if (steps_.empty() || !pixie) {
        if (!pixie_.IsEmpty()) SetEnabled(false);  // its pixie has died
        return;
    }
    const RHandle<RPixieSequencer> self(this);
    steps_[current_]->Apply(*pixie);
    // Moving fires "OnMove", whose handlers may remove this player or its pixie.
    if (!self) return;
    pixie = pixie_.Get();
    if (!pixie) return;
    ++current_;
    if (current_ >= steps_.size()) {
        if (repeatCount_ > 0) --repeatCount_;
        const unsigned before = generation_;
        pixie->SequenceFinished(this);
        // A handler may have removed this player; one that restarted or
        // stopped it has the last word.
        if (!self || generation_ != before) return;
        pixie = pixie_.Get();
        if (!pixie) return;
        if (repeatCount_ == 0) {
            SetEnabled(false);
            current_ = steps_.size() - 1;
            return;
        }
        current_ = 0;
    }
    SetInterval(StepInterval(*steps_[current_]));
    steps_[current_]->Begin(*pixie);
}

}  // namespace quellmoor
