// RPixie: the abstract base of everything that stands on the stage at a place.
//
// A pixie has x, y (top-left, pixels) and a depth z (larger is further away,
// drawn first), a visibility flag, the stored properties XPos, YPos, ZPos and
// Visible, and two hooks the stage calls: UpdateBounds and Draw. Every movement
// ends in SetPosition, which fires "OnMove". Pictures, sprites, directors,
// balloons and the ship derive from it. It lives beside the stage because the
// stage sorts and draws pixies; the concrete kinds live in animation/.
#pragma once

#include <string>
#include <vector>

#include "model/Component.h"
#include "model/Rect.h"

namespace quellmoor {

class RSurface;
class RPixieSequencer;

class RPixie : public RComponent {
public:
    RPixie(std::string name, RComponent* owner);
    // Destroys the owned components while the pixie part still stands, so a
    // dying sequence player can let go of it.
    ~RPixie() override;

    bool LoadPropFromStream(const std::string& name, std::istream& in, int& counter) override;
    std::string GetClassName() const override { return "RPixie"; }

    virtual float GetXPos() const = 0;
    virtual void SetXPos(float x) = 0;
    virtual float GetYPos() const = 0;
    virtual void SetYPos(float y) = 0;
    virtual float GetZPos() const = 0;
    virtual void SetZPos(float z) = 0;
    virtual bool GetVisible() const { return visible_; }
    virtual void SetVisible(bool visible) { visible_ = visible; }
    virtual float GetLeft() const { return GetXPos(); }
    virtual float GetTop() const { return GetYPos(); }
    // Stores x, y, z in that order, then fires "OnMove" (also when nothing changed).
    virtual void SetPosition(float x, float y, float z);
    virtual void MoveTo(float x, float y);
    virtual void MoveBy(float dx, float dy, float dz);
    // Marks what the pixie's covered area changed on the stage; true when it changed.
    virtual bool UpdateBounds() = 0;
    // Draws onto `destination` at (x, y); `clipRects` may be null.
    virtual void Draw(RSurface& destination, float x, float y, const std::vector<RRect>* clipRects) = 0;
    // Called by a sequence player at the end of each pass; fires "OnFinishSequence".
    virtual void SequenceFinished(RPixieSequencer* sequencer);

    RPixieSequencer* GetLastFinishedSequencer() const { return lastFinishedSequencer_; }
    // Called by a dying sequence player, so the pixie does not keep pointing at it.
    void ForgetSequencer(const RPixieSequencer* sequencer) {
        if (lastFinishedSequencer_ == sequencer) lastFinishedSequencer_ = nullptr;
    }

protected:
    // Position fields for the classes that store them plainly.
    float xPos_ = 0, yPos_ = 0, zPos_ = 0;

private:
    bool visible_ = false;
    RPixieSequencer* lastFinishedSequencer_ = nullptr;
};

// A pixie whose coordinates are plain fields (pictures, sprites, balloons):
// setting one only stores it.
class RPlacedPixie : public RPixie {
public:
    using RPixie::RPixie;

    float GetXPos() const override { return xPos_; }
    void SetXPos(float x) override { xPos_ = x; }
    float GetYPos() const override { return yPos_; }
    void SetYPos(float y) override { yPos_ = y; }
    float GetZPos() const override { return zPos_; }
    void SetZPos(float z) override { zPos_ = z; }
};

}  // namespace quellmoor
