// RBalloon: a comic speech balloon that shows a dialogue page by page.
//
// Pages are separated by lines "***"; a page beginning "(a,b)" is spoken by
// the second character and stands at the first director's position moved by
// (a, b). While a page shows, the speaker's talk animation runs and the
// listener's director plays; between pages the balloon hides for 500 ms. A
// page of n bytes shows for 30 n + 800 ms. The balloon draws a box with cut
// corners and a tail whose tip is at its position, text word-wrapped inside.
// The directors and timers it drives may die first; the balloon then leaves them be.
#pragma once

#include <string>
#include <vector>

#include "model/Lifetime.h"
#include "model/Rect.h"
#include "stage/Pixie.h"

namespace quellmoor {

class RDirector;
class RTimer;

class RBalloon : public RPlacedPixie {
public:
    // Balloons stand in front of everything else on the stage.
    static constexpr float kDepth = -1.0e6f;
    static constexpr int kFontHeight = 19;
    static constexpr int kPreviewFontHeight = 32;
    static constexpr const char* kFace = "Comic Sans MS";

    RBalloon(std::string name, RComponent* owner);
    ~RBalloon() override;

    // Reports the polygon last drawn, so a stage that presents only changed areas repaints it.
    bool UpdateBounds() override;
    void Draw(RSurface& destination, float x, float y, const std::vector<RRect>* clipRects) override;

    void Say(const std::vector<std::string>& lines, float homeX, float homeY, RDirector* directorA,
             RDirector* directorB, RTimer* timerA, RTimer* timerB);
    bool IsFinished() const;
    void Tick();

    const std::string& GetText() const { return text_; }
    RTimer& GetTimer() const { return *timer_; }
    // The preview draws with a larger font, because it is shown reduced by four;
    // the balloon also asks the stage whether it runs as a preview.
    void SetPreviewFont(bool preview) { previewFont_ = preview; }

private:
    float homeX_ = 0, homeY_ = 0;
    std::vector<std::string> lines_;
    RTimer* timer_;
    RHandle<RDirector> directorA_;
    RHandle<RDirector> directorB_;
    RHandle<RTimer> timerA_;
    RHandle<RTimer> timerB_;
    std::string text_;
    bool previewFont_ = false;
    // The area, page and place of the last Draw, and the area last reported:
    // a new page or place is only measured when it is drawn.
    RRect drawnArea_;
    std::string drawnText_;
    float drawnX_ = 0, drawnY_ = 0;
    RRect reportedArea_;
};

}  // namespace quellmoor
