#include "scenes/MovingScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "scenes/Floater.h"
#include "tests/model/StreamBuilder.h"
#include "tests/scenes/ShowStage.h"

namespace quellmoor::shiptest {
namespace {

constexpr double kTick = RScene::kTickMs;
constexpr float kCentreX = ShowStage::kShowWidth / 2.0f, kCentreY = ShowStage::kShowHeight / 2.0f;

// A scene file of its own: the header lines after Type, and any objects.
std::string MovingSceneFile(const std::string& headerLines, const std::string& objects = "") {
    return quellmoor::testing::Stream("Type=RMovingScene\n" + headerLines, objects);
}

// Loads the show with `file` as its one scene and lets the manager start it
// on its first tick; returns the scene, now playing.
RScene& StartOnlyScene(ShowStage& show, bool withStars = false) {
    show.Begin(1997, withStars);
    show.RunUntil(show.nowMs + kTick);
    RScene* scene = show.manager->GetCurrentScene();
    if (!scene) throw std::runtime_error("no scene started; reports: " + std::to_string(show.reports.size()));
    return *scene;
}

RScene& FlyOwnScene(ShowStage& show, const std::string& headerLines, const std::string& objects = "") {
    show.WriteSceneFile("Flight.RCS", MovingSceneFile(headerLines, objects));
    return StartOnlyScene(show);
}

// Where PlaceShip puts the ship between scenes.
float RestingY(const ShowStage& show) { return (ShowStage::kShowHeight + show.ship->GetHoverOffset()) * 0.5f; }

void ExpectShipBackBetweenScenes(const ShowStage& show) {
    EXPECT_EQ(show.manager->GetCurrentScene(), nullptr);
    EXPECT_TRUE(show.manager->IsSkyActive());
    EXPECT_FLOAT_EQ(show.ship->scale, 1.0f);
    EXPECT_FLOAT_EQ(show.ship->GetXPos(), kCentreX);
    EXPECT_FLOAT_EQ(show.ship->GetYPos(), RestingY(show));
    EXPECT_FLOAT_EQ(show.ship->GetZPos(), 1.0f);
}

// Columns of the stage image holding anything but the background colour.
std::optional<std::pair<int, int>> DrawnColumns(ShowStage& show) {
    if (!show.Compose()) return std::nullopt;
    const std::uint8_t back = show.GetBackground()->GetDib()->GetPixelIndex(0, 0);
    int left = ShowStage::kShowWidth, right = -1;
    for (int y = 0; y < ShowStage::kShowHeight; ++y)
        for (int x = 0; x < ShowStage::kShowWidth; ++x)
            if (show.Pixel(x, y) != back) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    if (right < 0) return std::nullopt;
    return std::pair{left, right};
}

// --- The path, on the 25 ms grid

// 0.4 per ms is 10 stored units per 25 ms tick; the path is 100 x 100 long.
TEST(MovingSceneTest, FliesAHundredPixelsRightAtNaturalSizeInAThousandTicks) {
    ShowStage show;
    RScene& scene = FlyOwnScene(show, "Path=0,0,100|100,0,100\nSpeed=0.4\n");
    const double entered = show.nowMs;
    // Ticking faster would only redraw more often: positions follow the clock.
    EXPECT_EQ(scene.GetInterval(), kTick);
    EXPECT_FALSE(show.manager->IsSkyActive());
    EXPECT_FLOAT_EQ(show.ship->GetXPos(), kCentreX);
    EXPECT_FLOAT_EQ(show.ship->GetYPos(), kCentreY);
    EXPECT_FLOAT_EQ(show.ship->GetZPos(), 100.0f);
    EXPECT_FLOAT_EQ(show.ship->scale, 1.0f);

    for (int ticks : {1, 10, 500, 999}) {
        show.RunUntil(entered + ticks * kTick);
        SCOPED_TRACE(ticks);
        EXPECT_EQ(show.manager->GetCurrentScene(), &scene);
        EXPECT_NEAR(show.ship->GetXPos(), kCentreX + 0.1f * static_cast<float>(ticks), 1e-3);
        EXPECT_FLOAT_EQ(show.ship->GetYPos(), kCentreY);
        EXPECT_FLOAT_EQ(show.ship->scale, 1.0f);
    }
    show.RunUntil(entered + 1000 * kTick);
    ExpectShipBackBetweenScenes(show);
    EXPECT_TRUE(show.reports.empty());
}

// Flying straight back from depth 100 to 200 at the same stored x: half the
// offset from the centre and half the size; at waypoint 2 itself the ship is
// at that waypoint's own x (50) from the centre.
TEST(MovingSceneTest, DepthTwoHundredHalvesTheScaleAndTheOffset) {
    ShowStage show;
    FlyOwnScene(show, "Path=100,0,100|50,0,200|0,0,200\nSpeed=0.4\n");
    const double entered = show.nowMs;
    EXPECT_FLOAT_EQ(show.ship->GetXPos(), kCentreX + 100);
    EXPECT_FLOAT_EQ(show.ship->scale, 1.0f);
    show.RunUntil(entered + 5 * kTick);  // depth 150
    EXPECT_NEAR(show.ship->GetXPos(), kCentreX + 100 / 1.5f, 1e-3);
    EXPECT_NEAR(show.ship->scale, 1 / 1.5f, 1e-6);
    show.RunUntil(entered + 10 * kTick);  // exactly at waypoint 2
    EXPECT_FLOAT_EQ(show.ship->GetXPos(), kCentreX + 50);
    EXPECT_FLOAT_EQ(show.ship->GetZPos(), 200.0f);
    EXPECT_FLOAT_EQ(show.ship->scale, 0.5f);
}

TEST(MovingSceneTest, ShipAtDepthTwoHundredIsDrawnHalfAsWide) {
    ShowStage natural;
    FlyOwnScene(natural, "Path=0,0,100|0,0,101\nSpeed=0.001\n");
    ShowStage far;
    FlyOwnScene(far, "Path=0,0,200|0,0,201\nSpeed=0.001\n");
    const auto wide = DrawnColumns(natural), narrow = DrawnColumns(far);
    ASSERT_TRUE(wide && narrow);
    const int wideWidth = wide->second - wide->first + 1, narrowWidth = narrow->second - narrow->first + 1;
    EXPECT_NEAR(narrowWidth, wideWidth / 2.0, 2.0);
    EXPECT_NEAR((narrow->first + narrow->second) / 2.0, kCentreX, 1.5);
}

TEST(MovingSceneTest, ShipSmallerThanAPixelDrawsNothing) {
    ShowStage show;
    FlyOwnScene(show, "Path=0,0,50000|0,0,60000\nSpeed=100\n");
    ASSERT_LT(show.ship->scale, 0.005f);
    ASSERT_TRUE(show.Compose());
    EXPECT_EQ(DrawnColumns(show), std::nullopt);
    show.RunUntil(show.nowMs + 10 * kTick);
    EXPECT_EQ(DrawnColumns(show), std::nullopt);
}

TEST(MovingSceneTest, VeryNearWaypointDrawsTheShipClippedToTheWindow) {
    ShowStage show;
    FlyOwnScene(show, "Path=0,0,1|0,0,100\nSpeed=100\n");
    EXPECT_FLOAT_EQ(show.ship->scale, 100.0f);
    const auto columns = DrawnColumns(show);
    ASSERT_TRUE(columns);
    EXPECT_EQ(columns->first, 0);
    EXPECT_EQ(columns->second, ShowStage::kShowWidth - 1);
}

TEST(MovingSceneTest, ZeroLengthSegmentsArePassedWithoutStopping) {
    for (const char* path : {"0,0,100|0,0,100|100,0,100", "0,0,100|100,0,100|100,0,100"}) {
        SCOPED_TRACE(path);
        ShowStage show;
        FlyOwnScene(show, std::string("Path=") + path + "\nSpeed=0.4\n");
        const double entered = show.nowMs;
        show.RunUntil(entered + kTick);
        EXPECT_NEAR(show.ship->GetXPos(), kCentreX + 0.1f, 1e-4);
        show.RunUntil(entered + 999 * kTick);
        EXPECT_NEAR(show.ship->GetXPos(), kCentreX + 99.9f, 1e-3);
        EXPECT_TRUE(std::isfinite(show.ship->scale));
        show.RunUntil(entered + 1000 * kTick);
        ExpectShipBackBetweenScenes(show);
    }
}

// Passing waypoints is a loop: a tick that passes a great many of them
// cannot run out of stack.
TEST(MovingSceneTest, OneTickPassesTwoHundredThousandWaypoints) {
    std::string path;
    for (int i = 0; i < 200000; ++i) path += "0,0,100|";
    ShowStage show;
    FlyOwnScene(show, "Path=" + path + "100,0,100\nSpeed=0.4\n");
    show.RunUntil(show.nowMs + kTick);
    EXPECT_NEAR(show.ship->GetXPos(), kCentreX + 0.1f, 1e-4);
}

// After the clock jumps (a laptop sleeping mid-flight), one tick moves the
// ship by at most a second's worth; the backlog of ticks that follows at the
// same time moves it no further.
TEST(MovingSceneTest, LongStallMovesTheShipBySecondAtMost) {
    ShowStage show;
    RScene& scene = FlyOwnScene(show, "Path=-300,0,100|300,0,100\nSpeed=1\n");
    show.RunUntil(show.nowMs + 10 * kTick);
    const float before = show.ship->GetXPos();
    EXPECT_FLOAT_EQ(before, kCentreX - 300 + 2.5f);

    show.nowMs += 8 * 60 * 60 * 1000.0;
    show.TickTimer(scene);
    EXPECT_FLOAT_EQ(show.ship->GetXPos(), before + static_cast<float>(RMovingScene::kMaxCatchUpMs / 100));
    for (int i = 0; i < 5; ++i) show.TickTimer(scene);
    EXPECT_FLOAT_EQ(show.ship->GetXPos(), before + static_cast<float>(RMovingScene::kMaxCatchUpMs / 100));
    EXPECT_EQ(show.manager->GetCurrentScene(), &scene);
}

TEST(MovingSceneTest, HidesTheLibrarysPixiesAndBlackensTheBackground) {
    ShowStage show;
    show.WriteSceneFile("Flight.RCS",
                        MovingSceneFile("Path=0,0,100|0,0,200\nSpeed=1\n",
                                        quellmoor::testing::Object(
                                            "RSprite", "Rock", quellmoor::testing::Pair("Visible", "True"))));
    show.Begin(1997, false);
    ASSERT_EQ(show.manager->GetScenes().size(), 1u);
    auto* rock = dynamic_cast<RPixie*>(show.manager->GetScenes()[0]->GetLibrary().FindComponent("Rock"));
    ASSERT_NE(rock, nullptr);
    EXPECT_FALSE(rock->GetVisible());

    const std::uint8_t black = show.GetBackground()->GetDib()->GetPixelIndex(0, 0);
    show.SetBackColor(0xFFFFFF);
    ASSERT_NE(show.GetBackground()->GetDib()->GetPixelIndex(0, 0), black);
    show.RunUntil(show.nowMs + kTick);
    ASSERT_NE(show.manager->GetCurrentScene(), nullptr);
    EXPECT_EQ(show.GetBackground()->GetDib()->GetPixelIndex(0, 0), black);
    EXPECT_FALSE(rock->GetVisible());
}

// --- Files that cannot be flown are left out at load

struct BadFlight {
    const char* name;
    const char* headerLines;
    const char* why;
};

const BadFlight kBadFlights[] = {
    {"NoPath", "Speed=1\n", "its Path has fewer than two waypoints"},
    {"OneWaypoint", "Path=0,0,100\nSpeed=1\n", "its Path has fewer than two waypoints"},
    {"OneWaypointAndABar", "Path=0,0,100|\nSpeed=1\n", "its Path has fewer than two waypoints"},
    {"DepthZero", "Path=0,0,100|100,0,0\nSpeed=1\n",
     "waypoint 2 of its Path (\"100,0,0\") has a depth z that is not a finite number above 0"},
    {"DepthLeftOut", "Path=0,0|100,0,100\nSpeed=1\n",
     "waypoint 1 of its Path (\"0,0\") has a depth z that is not a finite number above 0"},
    {"NegativeDepth", "Path=0,0,-100|100,0,-100\nSpeed=1\n",
     "waypoint 1 of its Path (\"0,0,-100\") has a depth z that is not a finite number above 0"},
    {"CrossesDepthZero", "Path=0,0,100|0,0,-50|0,0,100\nSpeed=1\n",
     "waypoint 2 of its Path (\"0,0,-50\") has a depth z that is not a finite number above 0"},
    {"DepthNaN", "Path=0,0,100|0,0,nan\nSpeed=1\n",
     "waypoint 2 of its Path (\"0,0,nan\") has a depth z that is not a finite number above 0"},
    {"DepthInfinite", "Path=0,0,inf|0,0,100\nSpeed=1\n",
     "waypoint 1 of its Path (\"0,0,inf\") has a depth z that is not a finite number above 0"},
    {"EmptyWaypoint", "Path=0,0,100||0,0,100\nSpeed=1\n",
     "waypoint 2 of its Path (\"\") has a depth z that is not a finite number above 0"},
    {"XInfinite", "Path=inf,0,100|0,0,100\nSpeed=1\n",
     "waypoint 1 of its Path (\"inf,0,100\") has an x or y that is not a finite number"},
    {"YNaN", "Path=0,0,100|0,nan,100\nSpeed=1\n",
     "waypoint 2 of its Path (\"0,nan,100\") has an x or y that is not a finite number"},
    {"TooFarOut", "Path=1e30,0,1e30|0,0,100\nSpeed=1\n",
     "waypoint 1 of its Path (\"1e30,0,1e30\") lies too far out to fly to"},
    {"SpeedMissing", "Path=0,0,100|100,0,100\n", "it has no Speed"},
    {"SpeedEmpty", "Path=0,0,100|100,0,100\nSpeed=\n", "it has no Speed"},
    {"SpeedZero", "Path=0,0,100|100,0,100\nSpeed=0\n", "its Speed \"0\" is not a finite number above 0"},
    {"SpeedNegative", "Path=0,0,100|100,0,100\nSpeed=-2\n", "its Speed \"-2\" is not a finite number above 0"},
    {"SpeedNaN", "Path=0,0,100|100,0,100\nSpeed=nan\n", "its Speed \"nan\" is not a finite number above 0"},
    {"SpeedInfinite", "Path=0,0,100|100,0,100\nSpeed=inf\n", "its Speed \"inf\" is not a finite number above 0"},
    {"SpeedBeyondFloat", "Path=0,0,100|100,0,100\nSpeed=1e300\n",
     "its Speed \"1e300\" is not a finite number above 0"},
    {"SpeedNotANumber", "Path=0,0,100|100,0,100\nSpeed=fast\n", "its Speed \"fast\" is not a finite number above 0"},
    {"FlightLongerThanAnHour", "Path=0,0,100|100,0,100\nSpeed=0.000001\n",
     "its flight at Speed \"0.000001\" would take more than an hour"},
};

void PrintTo(const BadFlight& flight, std::ostream* out) { *out << flight.name; }

class BadFlightTest : public ::testing::TestWithParam<BadFlight> {};

TEST_P(BadFlightTest, IsLeftOutWithItsReasonReportedOnce) {
    ShowStage show;
    show.WriteSceneFile("Bad.RCS", MovingSceneFile(GetParam().headerLines));
    show.Begin(1997, false);
    EXPECT_TRUE(show.manager->GetScenes().empty());
    const std::string message = "The scene Bad.RCS cannot play: " + std::string(GetParam().why) + ".";
    EXPECT_EQ(show.reports, std::vector<std::string>{message});
    // The show goes on without it.
    show.RunUntil(show.nowMs + 10 * kTick);
    EXPECT_EQ(show.manager->GetCurrentScene(), nullptr);
    EXPECT_TRUE(show.manager->IsSkyActive());
    EXPECT_EQ(show.reports.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(MovingSceneTest, BadFlightTest, ::testing::ValuesIn(kBadFlights),
                         [](const ::testing::TestParamInfo<BadFlight>& test) { return std::string(test.param.name); });

// --- The built scenes

struct Waypoint3 {
    double x, y, z;
};

std::vector<Waypoint3> ParsePath(std::string path) {
    std::vector<Waypoint3> points;
    while (!path.empty()) {
        std::string point = SplitOff(path, "|");
        const double x = TextToFloat(SplitOff(point, ",")), y = TextToFloat(SplitOff(point, ","));
        const double z = TextToFloat(point);
        points.push_back({x, y, z});
    }
    return points;
}

class BuiltFlightTest : public ::testing::TestWithParam<const char*> {};

TEST_P(BuiltFlightTest, FliesFromStartToEndShrinkingAsItGoesDeeper) {
    const std::string file = std::string(GetParam()) + ".RCS";
    ShowStage show({file});
    RScene& scene = StartOnlyScene(show, true);
    ASSERT_EQ(scene.GetName(), file);
    EXPECT_EQ(scene.GetClassName(), "RMovingScene");
    const double entered = show.nowMs;

    const std::vector<Waypoint3> path = ParsePath(scene.GetLibrary().GetHeaderValue("Path", ""));
    const double speed = static_cast<float>(TextToFloat(scene.GetLibrary().GetHeaderValue("Speed", "")));
    ASSERT_GE(path.size(), 2u);
    double length = 0, nearest = path[0].z, farthest = path[0].z;
    bool goesDeeper = false, comesNearer = false;
    for (std::size_t i = 1; i < path.size(); ++i) {
        const Waypoint3 &a = path[i - 1], &b = path[i];
        length += std::hypot(b.x * b.z - a.x * a.z, b.y * b.z - a.y * a.z, b.z - a.z);
        nearest = std::min(nearest, b.z);
        farthest = std::max(farthest, b.z);
        goesDeeper = goesDeeper || b.z > a.z;
        comesNearer = comesNearer || b.z < a.z;
    }
    const int expectedTicks = static_cast<int>(std::ceil(length / (speed * kTick)));

    // At the first waypoint, the sky hidden and the scene's own shown.
    EXPECT_NEAR(show.ship->GetXPos(), kCentreX + path[0].x, 1e-3);
    EXPECT_NEAR(show.ship->GetYPos(), kCentreY + path[0].y, 1e-3);
    EXPECT_NEAR(show.ship->scale, 100 / path[0].z, 1e-6);
    EXPECT_FALSE(show.manager->IsSkyActive());
    ASSERT_FALSE(show.manager->GetActiveFloaters().empty());
    for (RFloater* floater : show.manager->GetActiveFloaters()) EXPECT_FALSE(floater->GetVisible());
    std::vector<RPixie*> skyItems;
    for (RComponent* component : scene.GetLibrary().GetComponents())
        if (auto* pixie = dynamic_cast<RPixie*>(component); pixie && TextToBool(pixie->GetTagValue("SkyItem", "")))
            skyItems.push_back(pixie);
    ASSERT_FALSE(skyItems.empty());
    for (RPixie* item : skyItems) EXPECT_TRUE(item->GetVisible());

    int ticks = 0, deeperSteps = 0, nearerSteps = 0;
    float lastZ = show.ship->GetZPos(), lastScale = show.ship->scale, largest = lastScale, smallest = lastScale;
    while (show.manager->GetCurrentScene() == &scene && ticks < 2 * expectedTicks) {
        ++ticks;
        show.RunUntil(entered + ticks * kTick);
        if (show.manager->GetCurrentScene() != &scene) break;
        const float z = show.ship->GetZPos(), scale = show.ship->scale;
        ASSERT_GE(z, nearest - 1e-3);
        ASSERT_LE(z, farthest + 1e-3);
        ASSERT_NEAR(scale * z, 100.0f, 1e-3);
        if (z > lastZ) {
            ++deeperSteps;
            ASSERT_LT(scale, lastScale) << "tick " << ticks;
        } else if (z < lastZ) {
            ++nearerSteps;
            ASSERT_GT(scale, lastScale) << "tick " << ticks;
        }
        largest = std::max(largest, scale);
        smallest = std::min(smallest, scale);
        lastZ = z;
        lastScale = scale;
    }
    EXPECT_NEAR(ticks, expectedTicks, 1);
    EXPECT_EQ(deeperSteps > 0, goesDeeper);
    EXPECT_EQ(nearerSteps > 0, comesNearer);
    EXPECT_NEAR(largest, 100 / nearest, 0.02);
    EXPECT_NEAR(smallest, 100 / farthest, 0.02);

    ExpectShipBackBetweenScenes(show);
    ASSERT_FALSE(show.manager->GetActiveFloaters().empty());
    for (RFloater* floater : show.manager->GetActiveFloaters()) EXPECT_TRUE(floater->GetVisible());
    for (RPixie* item : skyItems) EXPECT_FALSE(item->GetVisible());
    EXPECT_TRUE(show.reports.empty()) << show.reports.front();

    // Played again, the path is read anew.
    show.RunUntil(show.nowMs + kTick);
    ASSERT_EQ(show.manager->GetCurrentScene(), &scene);
    EXPECT_NEAR(show.ship->GetXPos(), kCentreX + path[0].x, 1e-3);
    EXPECT_NEAR(show.ship->scale, 100 / path[0].z, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(MovingSceneTest, BuiltFlightTest,
                         ::testing::Values("Asteroid-Slalom", "Flyby-Nebula", "Flyby-Ringworld"),
                         [](const ::testing::TestParamInfo<const char*>& test) {
                             std::string name = test.param;
                             std::erase(name, '-');
                             return name;
                         });

}  // namespace
}  // namespace quellmoor::shiptest
