// ShipShow: the preview's ship, from the main stream's own pictures, and the
// mascot's trips outside through its "GetOut" and "GetIn" directors.
//
// The hull is "Ship-Skin" composed once under "Ship-Outline" (the outline's
// pure blue lets the skin show); the flame ("Ship-Engine" playing "ON_1"), the
// landing gear ("Ship-Land"), the cabin ("Ship-Inside") and the mascot aboard
// are separate pixies placed from the hull's bottom centre as the ship places
// them. A loop on stage time: hover in the middle of the window, sink to the
// landing height with the gear out, let the mascot out and back in, rise again.
// The trip outside is only played when the directors' tables line up with the
// ship (mascot in his seat, feet on the gear's ground line); otherwise the
// ship lands and rises with him aboard, and LinesUpReason says why.
//
//   ShipShow ship(stage);     // throws RException when a part is missing
//   ship.Tick();              // every 25 ms
#pragma once

#include <string>

namespace quellmoor {

class RDirector;
class RPicture;
class RSprite;
class RStage;

class ShipShow {
public:
    explicit ShipShow(RStage& stage);

    void Tick();

    // Empty when the mascot's trip lines up with the ship; otherwise what does not.
    const std::string& LinesUpReason() const { return notLinedUp_; }

private:
    enum class Phase { Hover, Descend, GettingOut, Outside, GettingIn, Ascend };
    void ComposeHull();
    void CheckLinesUp();
    void Enter(Phase phase);
    // Puts every part where the ship with this pose draws it.
    void Place();
    void PlaceDirector(RDirector& director);

    RStage& stage_;
    RPicture &outline_, &skin_, &inside_, &gear_;
    RSprite &engine_, &mascot_;
    RDirector* getOut_ = nullptr;
    RDirector* getIn_ = nullptr;
    std::string notLinedUp_;

    Phase phase_ = Phase::Hover;
    double phaseStart_ = 0;
    double hoverMs_ = 1500;  // short the first time, so a short recording sees a trip
    float x_ = 0, y_ = 0, hoverY_ = 0, landedY_ = 0;
    float engineAmount_ = 1, gearAmount_ = 0;
    bool open_ = false, aboard_ = true;
};

}  // namespace quellmoor
