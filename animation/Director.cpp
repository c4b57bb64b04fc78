#include "animation/Director.h"

#include <algorithm>
#include <cstdio>

#include "animation/RecordReader.h"
#include "animation/Sprite.h"
#include "model/ComponentManager.h"
#include "model/StreamReaders.h"
#include "model/Text.h"
#include "stage/Stage.h"
#include "stage/Timer.h"

namespace quellmoor {

namespace {

constexpr double kDefaultFrameLengthMs = 100.0;
constexpr double kShortestFrameLengthMs = 1.0;

void StepDirector(RComponent*, REvent*, RObject* data) {
    if (auto* director = dynamic_cast<RDirector*>(data)) director->Step();
}

bool IsCoordinateKey(const std::string& key) {
    return EqualsIgnoreCase(key, "XPos") || EqualsIgnoreCase(key, "YPos") || EqualsIgnoreCase(key, "ZPos");
}

std::string FormatFloat(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

// The value of `key` in a keyframe, or null when the keyframe does not set it.
const std::string* FindAssignment(const std::vector<std::string>& assignments, const std::string& key,
                                  std::string& value) {
    for (const std::string& assignment : assignments) {
        std::string rest = assignment;
        if (EqualsIgnoreCase(SplitOff(rest, "="), key)) {
            value = rest;
            return &assignment;
        }
    }
    return nullptr;
}

}  // namespace

RDirector::RDirector(std::string name, RComponent* owner) : RPixie(std::move(name), owner) {
    timer_ = MakeOwned<RTimer>("timer_" + GetName(), this, kDefaultFrameLengthMs, false);
    timer_->AddEventHandler("OnTimer", &StepDirector, this);
}

bool RDirector::LoadFromStream(std::istream& in, int& counter) {
    // Remember where the body ends, so the Tupels reader never reads into the next object.
    const std::streampos start = in.tellg();
    bodyEnd_ = -1;
    if (start != std::streampos(-1)) {
        int used = 0;
        try {
            const std::int32_t length = LoadLongIntFromStream(in, used);
            if (length >= 0) bodyEnd_ = in.tellg() + static_cast<std::streamoff>(length);
        } catch (const RStreamException&) {
        }
        in.clear();
        in.seekg(start);
    }
    const bool ok = RPixie::LoadFromStream(in, counter);
    bodyEnd_ = -1;
    return ok;
}

bool RDirector::LoadPropFromStream(const std::string& name, std::istream& in, int& counter) {
    if (RPixie::LoadPropFromStream(name, in, counter)) return true;
    if (EqualsIgnoreCase(name, "FrameLength")) {
        double ms = TextToFloat(LoadStringFromStream(in, counter));
        if (!(ms >= kShortestFrameLengthMs)) ms = ms > 0 ? kShortestFrameLengthMs : kDefaultFrameLengthMs;
        frameLength_ = ms;
        SetFrameLength(ms);
        return true;
    }
    if (EqualsIgnoreCase(name, "Tupels")) {
        counter = LoadTupels(in);
        return true;
    }
    return false;
}

int RDirector::LoadTupels(std::istream& in) {
    RecordReader value(in, "Tupels");
    value.ReadText();  // the actor list; tracks come from the records
    RecordReader records(in, "Tupels");
    while (records.HasMore()) {
        RecordReader record(in, "Tupels");
        const int step = TextToLong(record.ReadText());
        const std::string actorName = record.ReadText();
        std::string assignments = record.ReadText();
        if (record.HasMore()) {  // room for more in a record: not ours to read
            SkipBytes(in, record.Remaining());
            record.Charge(record.Remaining());
        }
        records.Charge(record.Consumed());
        lastStep_ = std::max(lastStep_, step);

        auto track = std::find_if(tracks_.begin(), tracks_.end(),
                                  [&](const Track& t) { return EqualsIgnoreCase(t.actorName, actorName); });
        if (track == tracks_.end()) {
            tracks_.push_back({actorName, {}, nullptr});
            track = tracks_.end() - 1;
        }
        Keyframe keyframe{step, {}};
        while (!assignments.empty()) {
            std::string piece = SplitOff(assignments, ";");
            if (!piece.empty()) keyframe.assignments.push_back(std::move(piece));
        }
        std::sort(keyframe.assignments.begin(), keyframe.assignments.end());
        track->keyframes.push_back(std::move(keyframe));
    }
    value.Charge(records.Consumed());
    int counter = value.Consumed();
    // Stored directors carry one filler pair after the table; it belongs to the
    // table's reader. Stop at the body's end when there is none.
    if (bodyEnd_ == std::streampos(-1) || in.tellg() < bodyEnd_) {
        for (int i = 0; i < 2; ++i) {
            int used = 0;
            LoadStringFromStream(in, used);
            AddToCounter(counter, used);
        }
    }
    return counter;
}

void RDirector::SetXPos(float x) {
    if (x == xPos_) return;
    xPos_ = x;
    GotoStep(-1);
}

void RDirector::SetYPos(float y) {
    if (y == yPos_) return;
    yPos_ = y;
    GotoStep(-1);
}

void RDirector::SetZPos(float z) {
    if (z == zPos_) return;
    zPos_ = z;
    GotoStep(-1);
}

void RDirector::SetFrameLength(double ms) { timer_->SetInterval(std::max(ms, kShortestFrameLengthMs)); }

bool RDirector::IsRunning() const { return timer_->IsEnabled(); }

void RDirector::SetRunning(bool run, int step) {
    if (run == IsRunning()) return;
    timer_->SetEnabled(run);
    if (step != -1) currentStep_ = step;
    if (run) GotoStep(currentStep_);
}

void RDirector::Step() {
    if (tracks_.empty()) return;
    ++currentStep_;
    if (currentStep_ > lastStep_) {
        FireEvent("OnReachEnd");
        if (IsRunning()) {
            SetRunning(loopAtEnd, -1);
            SetFrameLength(frameLength_ * 1.0);
            currentStep_ = 1;
        }
    }
    if (IsRunning()) GotoStep(currentStep_);
}

void RDirector::GotoStep(int step) {
    // An actor that leads back to this director must not recurse without end.
    if (applying_) return;
    applying_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{applying_};
    if (step != -1 && step != currentStep_) {
        currentStep_ = step;
        FireEvent("OnEnterCol");
    }
    for (Track& track : tracks_) ApplyStep(track, currentStep_);
}

void RDirector::ApplyStep(Track& track, int step) {
    if (!track.actor) {
        RStage* stage = CurrentStage();
        RComponent* found = stage ? stage->FindComponent(track.actorName) : nullptr;
        track.actor = dynamic_cast<RPixie*>(found);
        if (!track.actor) return;
    }
    if (track.actor == this) return;

    const Keyframe* prev = nullptr;
    const Keyframe* next = nullptr;
    for (const Keyframe& keyframe : track.keyframes) {
        if (keyframe.step <= step && (!prev || keyframe.step > prev->step)) prev = &keyframe;
        if (keyframe.step >= step && (!next || keyframe.step < next->step)) next = &keyframe;
    }
    if (!prev) return;
    const double t = (prev == next || !next) ? 1.0 : double(step - prev->step) / double(next->step - prev->step);

    RPixie& actor = *track.actor;
    for (const std::string& assignment : prev->assignments) {
        std::string value = assignment;
        const std::string key = SplitOff(value, "=");
        std::string nextValue;
        if (next && next != prev && IsCoordinateKey(key) && FindAssignment(next->assignments, key, nextValue))
            value = FormatFloat((1.0 - t) * TextToFloat(value) + t * TextToFloat(nextValue));

        if (EqualsIgnoreCase(key, "XPos")) actor.SetXPos(static_cast<float>(TextToFloat(value)) + GetXPos());
        else if (EqualsIgnoreCase(key, "YPos")) actor.SetYPos(static_cast<float>(TextToFloat(value)) + GetYPos());
        else if (EqualsIgnoreCase(key, "ZPos")) actor.SetZPos(static_cast<float>(TextToFloat(value)) + GetZPos());
        else if (EqualsIgnoreCase(key, "Visible")) actor.SetVisible(TextToBool(value));
        else if (EqualsIgnoreCase(key, "CurFrameName")) {
            if (auto* sprite = dynamic_cast<RSprite*>(&actor)) sprite->SetCurFrameName(value);
        }
    }
}

bool RDirector::GetStartPosition(const std::string& actorName, float& x, float& y, float& z) const {
    for (const Track& track : tracks_) {
        if (!EqualsIgnoreCase(track.actorName, actorName) || track.keyframes.empty()) continue;
        for (const std::string& assignment : track.keyframes.front().assignments) {
            std::string value = assignment;
            const std::string key = SplitOff(value, "=");
            if (EqualsIgnoreCase(key, "XPos")) x = static_cast<float>(TextToFloat(value));
            else if (EqualsIgnoreCase(key, "YPos")) y = static_cast<float>(TextToFloat(value));
            else if (EqualsIgnoreCase(key, "ZPos")) z = static_cast<float>(TextToFloat(value));
        }
        return true;
    }
    return false;
}

}  // namespace quellmoor
