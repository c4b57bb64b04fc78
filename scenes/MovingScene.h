// RMovingScene: the ship flies a path of 3-D waypoints in perspective.
//
// The header's `Path` lists waypoints "x,y,z|x,y,z|..."; at a waypoint the
// ship is drawn x, y pixels from the window centre at scale 100 / z (z = 100
// is natural size). A waypoint is kept as (x * z, y * z, z), and the ship
// moves through that space at a constant `Speed` per millisecond along the
// straight lines between waypoints; the scene ends at the last one. The sky of
// floaters is hidden while it flies, the scene's own sky items shown instead.
//
//   header: Type=RMovingScene  Path=0,0,900|-260,40,200|0,-60,900  Speed=26
//
// A file that could never finish or would divide by zero (fewer than two
// waypoints, a depth not above 0, a Speed not above 0, a flight longer than an
// hour) throws RParamException from the constructor, so the manager leaves
// the scene out.
#pragma once

#include <string>

#include "scenes/Scene.h"

namespace quellmoor {

class RMovingScene : public RScene {
public:
    // A tick after a stall (a laptop waking up) moves at most this much time's
    // worth, so the ship does not leap across its path.
    static constexpr double kMaxCatchUpMs = 1000.0;
    // Longer flights are taken for content errors: the sky would stay hidden.
    static constexpr double kMaxFlightMs = 60.0 * 60.0 * 1000.0;

    RMovingScene(RComponentManager& library, std::string name, RSceneManager& manager);
    std::string GetClassName() const override { return "RMovingScene"; }

    void Enter() override;
    void ShowSkyItems(RStage& stage) override;
    bool KeepsSky() const override { return false; }
    // Moves the ship `distance` further along the path (stored units), past as
    // many waypoints as it reaches; false once the last one is reached.
    virtual bool Advance(double distance);

    // A point of the path as kept: (x * z, y * z, z).
    struct Point3 {
        float x = 0, y = 0, z = 0;
    };

protected:
    void PlayTick() override;

private:
    bool NextWaypoint();
    void Place(const Point3& at);

    std::string path_;          // the header's Path
    std::size_t pathLeft_ = 0;  // where what is left of it starts
    Point3 next_;               // the waypoint being approached
    Point3 current_;            // where the ship is now
    float speed_ = 0;           // stored units per millisecond
    double lastAdvanceMs_ = 0;  // stage time the ship last moved
};

}  // namespace quellmoor
