// RFloater: a sprite of the sky that drifts across the window.
//
// It keeps the sprite's speed range (drawn anew at each launch by the scene
// manager), its selection weight and three sequence names, and Update picks
// the one that fits where the sprite is: `pre` left of startX, `during`
// between startX and endX, `post` from endX on. A name the sprite has no
// sequence for counts as no name, so broken content never throws here.
// The pixie operations forward to the sprite, which the stage owns and which
// must outlive the floater (the scene manager owning the floaters is itself
// owned by the stage, and nothing is deleted while the show runs).
//
//   RFloater star(clone, 300, 400, "Pre", "", "", "20-50", 4);
//   star.SetPosition(-100, y, z);
//   star.Update();  // plays "Pre", looping, until the sprite passes 300
#pragma once

#include <string>

namespace quellmoor {

class RSprite;

class RFloater {
public:
    // `speedRange` is "min-max" or one number; `sprite` must not be null.
    RFloater(RSprite* sprite, float startX, float endX, std::string pre, std::string during, std::string post,
             const std::string& speedRange, int weight);
    virtual ~RFloater() = default;
    RFloater(const RFloater&) = delete;
    RFloater& operator=(const RFloater&) = delete;

    virtual float GetXPos() const;
    virtual void SetXPos(float x);
    virtual float GetYPos() const;
    virtual void SetYPos(float y);
    virtual float GetZPos() const;
    virtual void SetZPos(float z);
    // Of the current frame's image; 0 for a sprite without frames or image.
    virtual float GetWidth() const;
    virtual float GetHeight() const;
    virtual bool GetVisible() const;
    virtual void SetVisible(bool visible);
    virtual float GetLeft() const;
    virtual float GetTop() const;
    virtual void SetPosition(float x, float y, float z);
    virtual void MoveTo(float x, float y);
    virtual void MoveBy(float dx, float dy, float dz);

    // Starts the sequence that fits the sprite's place, unless it already plays.
    void Update();
    void StopSequence();

    RSprite& GetSprite() const { return *sprite_; }
    int GetWeight() const { return weight_; }
    float GetStartX() const { return startX_; }
    float GetEndX() const { return endX_; }
    float GetSpeed() const { return speed_; }
    void SetSpeed(float speed) { speed_ = speed; }
    float GetSpeedMin() const { return speedMin_; }
    float GetSpeedMax() const { return speedMax_; }
    const std::string& GetPre() const { return pre_; }
    const std::string& GetDuring() const { return during_; }
    const std::string& GetPost() const { return post_; }

private:
    RSprite* sprite_;
    int weight_;
    float startX_, endX_;
    float speed_ = 0;
    float speedMin_ = 0, speedMax_ = 0;
    std::string pre_, during_, post_;
};

}  // namespace quellmoor
