#include "animation/Director.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>
#include <string>

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

// Reads a number as the C library's atof does in the "C" locale (leading
// blanks, a sign, stop at the first stray character, 0 when there is none),
// whatever locale the process runs in.
double ParseNumber(std::string_view text) {
    const auto start = text.find_first_not_of(" \t\n\v\f\r");
    if (start == std::string_view::npos) return 0.0;
    text.remove_prefix(start);
    if (text.starts_with('+')) text.remove_prefix(1);
    // The longest prefix of the form -digits.digits e-digits; the conversion
    // itself goes through a classic-locale stream, which every standard
    // library has for doubles (not all have from_chars for them).
    std::size_t at = text.starts_with('-') ? 1 : 0;
    const auto digits = [&text, &at] {
        const std::size_t first = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        return at - first;
    };
    std::size_t mantissa = digits();
    if (at < text.size() && text[at] == '.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0) return 0.0;
    bool tiny = false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        const std::size_t mark = at++;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) tiny = text[at++] == '-';
        if (digits() == 0) {
            at = mark;
            tiny = false;
        }
    }
    std::istringstream in{std::string(text.substr(0, at))};
    in.imbue(std::locale::classic());
    double value = 0.0;
    if (in >> value) return value;
    // Only a value beyond a double's range fails here.
    const double size = tiny ? 0.0 : HUGE_VAL;
    return text.starts_with('-') ? -size : size;
}

RDirector::Assignment ParseAssignment(const std::string& text) {
    std::string value = text;
    std::string key = SplitOff(value, "=");
    const double number = ParseNumber(value);
    return {std::move(key), std::move(value), number};
}

// The assignment of `key` in a keyframe, or null when the keyframe does not set it.
const RDirector::Assignment* FindAssignment(const std::vector<RDirector::Assignment>& assignments,
                                            const std::string& key) {
    for (const RDirector::Assignment& assignment : assignments)
        if (EqualsIgnoreCase(assignment.key, key)) return &assignment;
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
    bodyEnd_.reset();
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
    bodyEnd_.reset();
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
            tracks_.push_back({actorName, {}, {}});
            track = tracks_.end() - 1;
        }
        std::vector<std::string> pieces;
        while (!assignments.empty()) {
            std::string piece = SplitOff(assignments, ";");
            if (!piece.empty()) pieces.push_back(std::move(piece));
        }
        std::sort(pieces.begin(), pieces.end());
        Keyframe keyframe{step, {}};
        for (const std::string& piece : pieces) keyframe.assignments.push_back(ParseAssignment(piece));
        track->keyframes.push_back(std::move(keyframe));
    }
    value.Charge(records.Consumed());
    int counter = value.Consumed();
    // Stored directors carry one filler pair after the table; it belongs to the
    // table's reader. Stop at the body's end when there is none.
    if (!bodyEnd_ || in.tellg() < *bodyEnd_) {
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
        const RHandle<RDirector> self(this);
        FireEvent("OnReachEnd");
        if (!self) return;  // a handler removed this director
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
        RDirector& director;
        ~Reset() {
            if (self) director.applying_ = false;
        }
        const RHandle<RDirector> self;
    } reset{*this, this};
    const RHandle<RDirector>& self = reset.self;
    if (step != -1 && step != currentStep_) {
        currentStep_ = step;
        FireEvent("OnEnterCol");
        if (!self) return;
    }
    // By index: an actor's handlers ("OnMove") may remove this director.
    for (std::size_t i = 0; i < tracks_.size(); ++i) {
        ApplyStep(tracks_[i], currentStep_);
        if (!self) return;
    }
}

void RDirector::ApplyStep(Track& track, int step) {
    RPixie* actor = track.actor.Get();
    if (!actor) {
        RStage* stage = CurrentStage();
        actor = dynamic_cast<RPixie*>(stage ? stage->FindComponent(track.actorName) : nullptr);
        if (!actor) return;
        track.actor = actor;
    }
    if (actor == this) return;

    const Keyframe* prev = nullptr;
    const Keyframe* next = nullptr;
    for (const Keyframe& keyframe : track.keyframes) {
        if (keyframe.step <= step && (!prev || keyframe.step > prev->step)) prev = &keyframe;
        if (keyframe.step >= step && (!next || keyframe.step < next->step)) next = &keyframe;
    }
    if (!prev) return;
    const double t = (prev == next || !next) ? 1.0 : double(step - prev->step) / double(next->step - prev->step);

    for (const Assignment& assignment : prev->assignments) {
        const std::string& key = assignment.key;
        double number = assignment.number;
        if (next && next != prev && IsCoordinateKey(key)) {
            if (const Assignment* to = FindAssignment(next->assignments, key))
                number = (1.0 - t) * number + t * to->number;
        }
        const auto coordinate = static_cast<float>(number);
        if (EqualsIgnoreCase(key, "XPos")) actor->SetXPos(coordinate + GetXPos());
        else if (EqualsIgnoreCase(key, "YPos")) actor->SetYPos(coordinate + GetYPos());
        else if (EqualsIgnoreCase(key, "ZPos")) actor->SetZPos(coordinate + GetZPos());
        else if (EqualsIgnoreCase(key, "Visible")) actor->SetVisible(TextToBool(assignment.value));
        else if (EqualsIgnoreCase(key, "CurFrameName")) {
            if (auto* sprite = dynamic_cast<RSprite*>(actor)) sprite->SetCurFrameName(assignment.value);
        }
    }
}

bool RDirector::GetStartPosition(const std::string& actorName, float& x, float& y, float& z) const {
    for (const Track& track : tracks_) {
        if (!EqualsIgnoreCase(track.actorName, actorName) || track.keyframes.empty()) continue;
        for (const Assignment& assignment : track.keyframes.front().assignments) {
            const auto value = static_cast<float>(assignment.number);
            if (EqualsIgnoreCase(assignment.key, "XPos")) x = value;
            else if (EqualsIgnoreCase(assignment.key, "YPos")) y = value;
            else if (EqualsIgnoreCase(assignment.key, "ZPos")) z = value;
        }
        return true;
    }
    return false;
}

}  // namespace quellmoor
