// RSprite: a pixie with named frames and named sequences that play them.
//
// One frame is current at any moment and is drawn at the sprite's position,
// mirrored when scene code asks. Frames and sequence players are owned
// components of the sprite. Run starts a sequence by name; Stop pauses it.
// CopyAs makes an independent sprite whose frames share the images: a frame
// image is held by shared_ptr, so copies cost no pixels and any of them may
// outlive the sprite it was copied from.
//
//   sprite.Run("walkrl", -1, kKeep, 50, kKeep);  // loop for ever, move y to 50
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "animation/PixieDrawing.h"
#include "model/Rect.h"
#include "stage/Pixie.h"

namespace quellmoor {

class RSurface;
class RPixieSequencer;

// A coordinate argument that keeps the current value.
inline constexpr float kKeepCoordinate = -99999.0f;

class RSpriteFrame : public RComponent {
public:
    RSpriteFrame(std::string name, RComponent* owner, float hotSpotX, float hotSpotY, std::int32_t transColor);
    ~RSpriteFrame() override;

    // Takes `surface` as the frame's image and hands back the previous one.
    // The image may be shared with the frames of sprite copies: drawing into
    // it changes every copy, so nothing draws into a frame's image.
    std::shared_ptr<RSurface> SetSurface(std::shared_ptr<RSurface> surface);
    RSurface* GetSurface() const { return surface_.get(); }
    const std::shared_ptr<RSurface>& GetSharedSurface() const { return surface_; }
    // Changes with every SetSurface and is never reused, unlike a surface's
    // address: it tells a new look from the old one. 0 before the first surface.
    std::uint64_t GetSurfaceGeneration() const { return surfaceGeneration_; }
    void Draw(RSurface& destination, float x, float y, const std::vector<RRect>* clipRects, bool mirrorHorizontal,
              bool mirrorVertical);

    float GetHotSpotX() const { return hotSpotX_; }
    float GetHotSpotY() const { return hotSpotY_; }
    std::int32_t GetTransColor() const { return transColor_; }

private:
    float hotSpotX_, hotSpotY_;
    std::int32_t transColor_;
    std::shared_ptr<RSurface> surface_;
    std::uint64_t surfaceGeneration_ = 0;
};

class RSprite : public RPlacedPixie {
public:
    RSprite(std::string name, RComponent* owner);
    ~RSprite() override;

    // A new sprite named `name`, owned by `owner`, with this sprite's place,
    // visibility, mirroring and current frame, frames of its own that share
    // this sprite's images, and sequence players of its own with the same
    // steps. Nothing plays on the copy; its tag is empty.
    RSprite* CopyAs(std::string name, RComponent& owner) const;

    bool LoadPropFromStream(const std::string& name, std::istream& in, int& counter) override;

    bool UpdateBounds() override;
    void Draw(RSurface& destination, float x, float y, const std::vector<RRect>* clipRects) override;
    void SequenceFinished(RPixieSequencer* sequencer) override;

    // Plays the named sequence `repeatCount` times (-1 for ever, 0 once);
    // coordinates equal to kKeepCoordinate keep their value.
    virtual void Run(const std::string& sequenceName, int repeatCount, float x, float y, float z);
    virtual void Stop();

    RSpriteFrame* GetCurFrame();
    void SetCurFrameName(const std::string& name);
    const std::string& GetCurFrameName() const { return curFrameName_; }
    // An empty name gives the first frame; throws RFindException when none matches.
    RSpriteFrame* FindFrameByName(const std::string& name) const;
    // Used by sequence steps: shows a frame without changing the stored name.
    void ShowFrame(RSpriteFrame* frame) { curFrame_ = frame; }

    const std::vector<RSpriteFrame*>& GetFrames() const { return frames_; }
    const std::vector<RPixieSequencer*>& GetSequences() const { return sequences_; }
    RPixieSequencer* GetCurrentSequencer() const { return currentSequencer_; }
    RPixieSequencer* FindSequence(const std::string& name) const;

    bool mirrorHorizontal = false;
    bool mirrorVertical = false;

protected:
    void OwnedReleased(RComponent* child) override;

private:
    int LoadFrameList(std::istream& in);
    int LoadSequenceList(std::istream& in);

    RSpriteFrame* curFrame_ = nullptr;
    std::string curFrameName_;
    CoveredArea bounds_;
    std::vector<RSpriteFrame*> frames_;
    std::vector<RPixieSequencer*> sequences_;
    RPixieSequencer* currentSequencer_ = nullptr;
};

}  // namespace quellmoor
