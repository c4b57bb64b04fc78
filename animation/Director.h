// RDirector: plays a keyframe table over several actors (other pixies).
//
// For each numbered step an actor may have assignments such as
// "CurFrameName=s_front;Visible=True;XPos=74;YPos=33;ZPos=2;". Each tick of the
// director's own timer applies the next step; between an actor's keyframes its
// coordinates are interpolated linearly. The director's own position offsets
// every coordinate it sets, and moving it re-applies the current step.
// Assignments are read into numbers once, when the table loads. Actors are
// found by name and let go of when they die (found again if one reappears).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/Lifetime.h"

#include "stage/Pixie.h"

namespace quellmoor {

class RTimer;

class RDirector : public RPixie {
public:
    RDirector(std::string name, RComponent* owner);

    bool LoadFromStream(std::istream& in, int& counter) override;
    bool LoadPropFromStream(const std::string& name, std::istream& in, int& counter) override;

    float GetXPos() const override { return xPos_; }
    void SetXPos(float x) override;
    float GetYPos() const override { return yPos_; }
    void SetYPos(float y) override;
    float GetZPos() const override { return zPos_; }
    void SetZPos(float z) override;
    bool UpdateBounds() override { return false; }
    void Draw(RSurface&, float, float, const std::vector<RRect>*) override {}

    virtual void SetFrameLength(double ms);
    virtual void Step();
    // Makes `step` current (-1: keep) and applies it to every actor.
    virtual void GotoStep(int step);
    // The actor's coordinates in its first keyframe, without the director's offset.
    virtual bool GetStartPosition(const std::string& actorName, float& x, float& y, float& z) const;

    void SetRunning(bool run, int step);
    bool IsRunning() const;
    int GetCurrentStep() const { return currentStep_; }
    int GetLastStep() const { return lastStep_; }
    double GetFrameLength() const { return frameLength_; }
    RTimer& GetTimer() const { return *timer_; }
    bool loopAtEnd = false;

    struct Assignment {
        std::string key;
        std::string value;
        double number = 0;  // the value read as a number, for coordinates
    };
    struct Keyframe {
        int step = 0;
        std::vector<Assignment> assignments;  // in the order of their "Key=Value" texts
    };
    struct Track {
        std::string actorName;
        std::vector<Keyframe> keyframes;
        RHandle<RPixie> actor;
    };
    const std::vector<Track>& GetTracks() const { return tracks_; }

private:
    int LoadTupels(std::istream& in);
    void ApplyStep(Track& track, int step);

    RTimer* timer_;
    double frameLength_ = 100.0;
    std::vector<Track> tracks_;
    int currentStep_ = 1;
    int lastStep_ = -1;
    std::optional<std::streampos> bodyEnd_;  // while a body loads, when its length was readable
    bool applying_ = false;
};

}  // namespace quellmoor
