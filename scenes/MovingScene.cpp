#include "scenes/MovingScene.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

#include "model/Exceptions.h"
#include "model/Text.h"
#include "scenes/SpaceShip.h"
#include "stage/Pixie.h"
#include "stage/Stage.h"

namespace quellmoor {

namespace {

// Narrows without the undefined behaviour of an out-of-range conversion.
float ToFloat(double value) {
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        return value > 0 ? kInfinity : -kInfinity;
    return static_cast<float>(value);
}

struct Waypoint {
    std::string text;  // as the header writes it
    float x = 0, y = 0, z = 0;
};

// The text before the first `separator`, taken off the front of `text` with
// the separator; all of it when there is none. Views, so that taking every
// waypoint of a long path costs its length once.
std::string_view SplitOffView(std::string_view& text, char separator) {
    const auto at = text.find(separator);
    const std::string_view head = text.substr(0, at);
    text.remove_prefix(at == std::string_view::npos ? text.size() : at + 1);
    return head;
}

// Splits the first waypoint off the front of `path`; a missing part reads as 0.
Waypoint SplitWaypoint(std::string_view& path) {
    Waypoint point;
    std::string_view parts = SplitOffView(path, '|');
    point.text = parts;
    point.x = ToFloat(TextToFloat(SplitOffView(parts, ',')));
    point.y = ToFloat(TextToFloat(SplitOffView(parts, ',')));
    point.z = ToFloat(TextToFloat(SplitOffView(parts, ',')));
    return point;
}

double Distance(const RMovingScene::Point3& a, const RMovingScene::Point3& b) {
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y,
                 dz = static_cast<double>(b.z) - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

RMovingScene::Point3 Stored(const Waypoint& point) { return {point.x * point.z, point.y * point.z, point.z}; }

// Why the header's Path and Speed cannot be flown, or empty when they can:
// a depth of 0 divides by zero, a negative one mirrors the ship (and a segment
// from one to the other passes 0), and without a positive Speed the flight,
// and with it the hidden sky, never ends.
std::string WhyCannotFly(const RComponentManager& library) {
    const std::string header = library.GetHeaderValue("Path", "");
    std::string_view path = header;
    std::vector<RMovingScene::Point3> points;
    while (!path.empty()) {
        const Waypoint point = SplitWaypoint(path);
        const std::string where =
            "waypoint " + std::to_string(points.size() + 1) + " of its Path (\"" + point.text + "\")";
        if (!std::isfinite(point.x) || !std::isfinite(point.y))
            return where + " has an x or y that is not a finite number";
        if (!(std::isfinite(point.z) && point.z > 0))
            return where + " has a depth z that is not a finite number above 0";
        const RMovingScene::Point3 stored = Stored(point);
        if (!std::isfinite(stored.x) || !std::isfinite(stored.y)) return where + " lies too far out to fly to";
        points.push_back(stored);
    }
    if (points.size() < 2) return "its Path has fewer than two waypoints";

    const std::string speedText = library.GetHeaderValue("Speed", "");
    if (speedText.empty()) return "it has no Speed";
    const float speed = ToFloat(TextToFloat(speedText));
    if (!(std::isfinite(speed) && speed > 0)) return "its Speed \"" + speedText + "\" is not a finite number above 0";

    double length = 0;
    for (std::size_t i = 1; i < points.size(); ++i) length += Distance(points[i - 1], points[i]);
    if (length / speed > RMovingScene::kMaxFlightMs)
        return "its flight at Speed \"" + speedText + "\" would take more than an hour";
    return {};
}

}  // namespace

RMovingScene::RMovingScene(RComponentManager& library, std::string name, RSceneManager& manager)
    : RScene(std::move(name), library, manager) {
    if (const std::string why = WhyCannotFly(library); !why.empty())
        throw RParamException("The scene " + GetName() + " cannot play: " + why + ".");
    for (RComponent* component : library.GetComponents())
        if (auto* pixie = dynamic_cast<RPixie*>(component)) pixie->SetVisible(false);
}

bool RMovingScene::NextWaypoint() {
    if (pathLeft_ >= path_.size()) return false;
    std::string_view rest = std::string_view(path_).substr(pathLeft_);
    next_ = Stored(SplitWaypoint(rest));
    pathLeft_ = path_.size() - rest.size();
    return true;
}

void RMovingScene::Enter() {
    lastAdvanceMs_ = Now();
    path_ = GetLibrary().GetHeaderValue("Path", "");
    pathLeft_ = 0;
    if (!NextWaypoint()) {
        Finish();
        return;
    }
    speed_ = ToFloat(TextToFloat(GetLibrary().GetHeaderValue("Speed", "")));
    current_ = next_;
    if (!NextWaypoint()) {
        Finish();
        return;
    }
    Place(current_);
}

void RMovingScene::PlayTick() {
    // Speed is per millisecond: moving by the time that passed keeps the
    // flight's pace whatever the tick rate, and bounding it keeps a resumed
    // machine from skipping the flight.
    const double now = Now();
    const double elapsed = std::clamp(now - lastAdvanceMs_, 0.0, kMaxCatchUpMs);
    lastAdvanceMs_ = now;
    if (!Advance(speed_ * elapsed)) Finish();
}

bool RMovingScene::Advance(double distance) {
    double left = distance;
    for (;;) {
        const double length = Distance(current_, next_);
        if (length > left) {
            // length > left >= 0 here, so a zero-length segment is never divided by.
            const double part = left / length;
            current_ = {ToFloat(current_.x + (static_cast<double>(next_.x) - current_.x) * part),
                        ToFloat(current_.y + (static_cast<double>(next_.y) - current_.y) * part),
                        ToFloat(current_.z + (static_cast<double>(next_.z) - current_.z) * part)};
            Place(current_);
            return true;
        }
        current_ = next_;
        left -= length;
        if (!NextWaypoint()) return false;
    }
}

void RMovingScene::Place(const Point3& at) {
    auto [width, height] = WindowSize();
    RSpaceShip& ship = Ship();
    ship.SetPosition(at.x / at.z + width * 0.5f, at.y / at.z + height * 0.5f, at.z);
    ship.scale = 100.0f / at.z;
}

void RMovingScene::ShowSkyItems(RStage& stage) {
    RScene::ShowSkyItems(stage);
    stage.SetBackColor(0);
}

}  // namespace quellmoor
