#include <gtest/gtest.h>

#include <cctype>

#include "animation/Director.h"
#include "scenes/InShipScene.h"
#include "tests/model/StreamBuilder.h"
#include "tests/scenes/ShowStage.h"

namespace quellmoor::shiptest {
namespace {

// "Meet-Zib.RCS" as a test name: MeetZibRCS.
std::string FileCaseName(const ::testing::TestParamInfo<const char*>& test) {
    std::string name = test.param;
    std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
    return name;
}

using quellmoor::testing::Object;
using quellmoor::testing::Pair;
using quellmoor::testing::Stream;

constexpr const char* kNap = "InShip-Nap.RCS";
constexpr double kTick = 25.0;

struct InShipPlay {
    explicit InShipPlay(const std::vector<std::string>& files, const std::string& name = kNap) : show(files) {
        show.Begin();
        scene = dynamic_cast<RInShipScene*>(show.FindScene(name));
        if (!scene) throw std::runtime_error("no in-ship scene " + name);
        director = dynamic_cast<RDirector*>(scene->GetLibrary().FindComponent("Scene"));
        // The manager would choose again the moment the scene ends.
        show.manager->SetEnabled(false);
    }
    // Ticks until the scene ends, at most `limitMs`; false when it did not.
    bool PlayToTheEnd(double limitMs = 120000.0) {
        for (const double end = show.nowMs + limitMs; scene->IsPlaying(); show.RunUntil(show.nowMs + kTick))
            if (show.nowMs >= end) return false;
        return true;
    }

    ShowStage show;
    RInShipScene* scene = nullptr;
    RDirector* director = nullptr;
};

// Counts the "OnReachEnd" events of a director.
struct ReachEndCount : RObject {
    int count = 0;
    static void Handler(RComponent*, REvent*, RObject* data) { ++static_cast<ReachEndCount*>(data)->count; }
};

class InShipPlayTest : public ::testing::TestWithParam<const char*> {};

TEST_P(InShipPlayTest, TheDirectorPlaysOnTheShipsInteriorToItsEndOnce) {
    InShipPlay play({GetParam()}, GetParam());
    RSpaceShip& ship = *play.show.ship;
    ReachEndCount reachedEnd;
    play.director->AddEventHandler("OnReachEnd", &ReachEndCount::Handler, &reachedEnd);
    const double start = play.show.nowMs;
    play.scene->Start(*play.show.manager);

    EXPECT_TRUE(ship.IsOpen());
    EXPECT_TRUE(play.director->IsRunning());
    float px = 0, py = 0, pz = 0;
    ASSERT_TRUE(play.director->GetStartPosition("Inside", px, py, pz));
    EXPECT_EQ(play.director->GetXPos(), ship.GetXPos() - 110 - px);
    EXPECT_EQ(play.director->GetYPos(), ship.GetYPos() - 159 - py);
    EXPECT_EQ(play.director->GetZPos(), ship.GetZPos() + 40 - pz);
    // The scene's own interior lies where the ship draws its own.
    auto* inside = dynamic_cast<RPixie*>(play.show.FindComponent("Inside"));
    ASSERT_NE(inside, nullptr);
    play.show.RunUntil(play.show.nowMs + kTick);
    EXPECT_EQ(inside->GetXPos(), ship.GetXPos() - play.show.Inside().GetWidth() / 2);
    EXPECT_EQ(inside->GetYPos(), ship.GetYPos() - play.show.Outline().GetHeight() + 78);

    ASSERT_TRUE(play.PlayToTheEnd());
    EXPECT_EQ(reachedEnd.count, 1);
    EXPECT_FALSE(ship.IsOpen()) << "the ship draws its interior again";
    EXPECT_FALSE(play.director->IsRunning());
    EXPECT_EQ(play.show.manager->GetCurrentScene(), nullptr);
    const double expected = play.director->GetLastStep() * play.director->GetFrameLength();
    EXPECT_NEAR(play.show.nowMs - start, expected, kTick);

    play.show.RunUntil(play.show.nowMs + 2000);
    EXPECT_EQ(reachedEnd.count, 1);
    EXPECT_TRUE(play.show.reports.empty()) << play.show.reports.front();
}

INSTANTIATE_TEST_SUITE_P(BuiltContent, InShipPlayTest, ::testing::Values("InShip-Nap.RCS", "InShip-Dance.RCS"),
                         FileCaseName);

TEST(InShipScene, ChosenByTheManagerItPlaysAgainAndAgain) {
    InShipPlay play({kNap});
    play.show.manager->SetEnabled(true);
    int plays = 0;
    bool wasPlaying = false;
    for (const double end = play.show.nowMs + 60000; play.show.nowMs < end; play.show.RunUntil(play.show.nowMs + 5)) {
        if (play.scene->IsPlaying() && !wasPlaying) ++plays;
        EXPECT_EQ(play.show.ship->IsOpen(), play.scene->IsPlaying()) << play.show.nowMs;
        wasPlaying = play.scene->IsPlaying();
    }
    EXPECT_GE(plays, 5);  // 45 steps of 220 ms each
}

struct EventCase {
    const char* name;
    const char* eventName;
    bool fromDirector;
    bool ends;
};

class InShipEventTest : public ::testing::TestWithParam<EventCase> {};

TEST_P(InShipEventTest, OnlyOnReachEndFromItsDirectorEndsTheScene) {
    InShipPlay play({kNap});
    play.scene->Start(*play.show.manager);
    RComponent* sender = GetParam().fromDirector ? static_cast<RComponent*>(play.director) : play.show.ship;
    play.scene->HandleEvent(GetParam().eventName, sender, nullptr);
    EXPECT_EQ(play.scene->IsPlaying(), !GetParam().ends);
    EXPECT_EQ(play.show.ship->IsOpen(), !GetParam().ends);
}

INSTANTIATE_TEST_SUITE_P(
    Events, InShipEventTest,
    ::testing::Values(EventCase{"ReachEnd", "OnReachEnd", true, true},
                      EventCase{"OtherCase", "onreachend", true, false},
                      EventCase{"Longer", "OnReachEnd ", true, false},
                      EventCase{"OtherEvent", "OnEnterCol", true, false},
                      EventCase{"OtherSender", "OnReachEnd", false, false}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(InShipScene, ADirectorStoppedFromOutsideEndsTheSceneAtTheNextTick) {
    InShipPlay play({kNap});
    play.scene->Start(*play.show.manager);
    play.show.RunUntil(play.show.nowMs + 1000);
    StopDirector(play.director);
    play.show.RunUntil(play.show.nowMs + kTick);
    EXPECT_FALSE(play.scene->IsPlaying());
    EXPECT_FALSE(play.show.ship->IsOpen());
}

TEST(InShipScene, SwitchedOffItStopsTheDirectorAndClosesTheShip) {
    InShipPlay play({kNap});
    play.scene->Start(*play.show.manager);
    play.show.RunUntil(play.show.nowMs + 1000);
    play.scene->SetEnabled(false);
    EXPECT_FALSE(play.director->IsRunning());
    EXPECT_FALSE(play.show.ship->IsOpen());
}

TEST(InShipScene, AFileWithoutTheDirectorSceneIsLeftOutWithAMessage) {
    ShowStage show;
    std::string bytes = ReadFileBytes(ContentDir() + "/" + kNap);
    const std::string token = "9#RDirector5#Scene";
    bytes.replace(bytes.find(token), token.size(), "9#RDirector5#Scena");
    show.WriteSceneFile(kNap, bytes);
    show.Begin();
    EXPECT_TRUE(show.manager->GetScenes().empty());
    EXPECT_EQ(show.reports,
              std::vector<std::string>{"The scene InShip-Nap.RCS cannot play: it has no director \"Scene\"."});
}

TEST(InShipScene, ADirectorWithoutStepsEndsTheSceneAtOnce) {
    ShowStage show;
    show.WriteSceneFile("InShip-Empty.RCS", Stream("Type=RInShipScene\n",
                                                   Object("RDirector", "Scene", Pair("FrameLength", "220"))));
    show.Begin();
    auto* scene = dynamic_cast<RInShipScene*>(show.FindScene("InShip-Empty.RCS"));
    ASSERT_NE(scene, nullptr);
    show.manager->SetEnabled(false);
    scene->Start(*show.manager);
    EXPECT_FALSE(scene->IsPlaying());
    EXPECT_FALSE(show.ship->IsOpen());
    EXPECT_EQ(show.manager->GetCurrentScene(), nullptr);
    EXPECT_TRUE(show.reports.empty()) << show.reports.front();
}

}  // namespace
}  // namespace quellmoor::shiptest
