#include <gtest/gtest.h>

#include <cctype>
#include <cmath>

#include "animation/Director.h"
#include "animation/Sequencer.h"
#include "animation/Sprite.h"
#include "scenes/Floater.h"
#include "scenes/MeetingScene.h"
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

constexpr const char* kZib = "Meet-Zib.RCS";
constexpr double kTick = 25.0;
constexpr double kLongestPlayMs = 180000.0;

std::string BuiltScene(const std::string& file) { return ReadFileBytes(ContentDir() + "/" + file); }

// The stream with header line `key`=`value` (replaced, or added); an empty
// value removes the line.
std::string WithHeader(const std::string& stream, const std::string& key, const std::string& value) {
    const std::size_t hash = stream.find('#');
    const std::size_t length = std::stoul(stream.substr(3, hash - 3));
    std::string header = stream.substr(hash + 1, length);
    std::string edited;
    for (std::size_t start = 0; start < header.size();) {
        std::size_t end = header.find('\n', start);
        if (end == std::string::npos) end = header.size();
        const std::string line = header.substr(start, end - start);
        if (!line.empty() && line.rfind(key + "=", 0) != 0) edited += line + "\n";
        start = end + 1;
    }
    if (!value.empty()) edited += key + "=" + value + "\n";
    return "RCS" + std::to_string(edited.size()) + "#" + edited + stream.substr(hash + 1 + length);
}

// The stream with the director `name` renamed to a name no scene looks for.
std::string WithoutDirector(std::string stream, const std::string& name) {
    const std::string token = "9#RDirector" + std::to_string(name.size()) + "#" + name;
    const std::size_t at = stream.find(token);
    EXPECT_NE(at, std::string::npos) << name;
    if (at != std::string::npos) stream[at + token.size() - 1] = '_';
    return stream;
}

RMeetingScene& Meeting(ShowStage& show, const std::string& name = kZib) {
    auto* scene = dynamic_cast<RMeetingScene*>(show.FindScene(name));
    EXPECT_NE(scene, nullptr) << name;
    if (!scene) throw std::runtime_error("no meeting scene " + name);
    return *scene;
}

RDirector& LibraryDirector(RScene& scene, const std::string& name) {
    return *dynamic_cast<RDirector*>(scene.GetLibrary().FindComponent(name));
}

// Ticks the show 25 ms at a time until `done`, at most `limitMs`.
template <class Done>
bool StepUntil(ShowStage& show, Done done, double limitMs = kLongestPlayMs) {
    for (const double end = show.nowMs + limitMs; !done(); show.RunUntil(show.nowMs + kTick))
        if (show.nowMs >= end) return false;
    return true;
}

// A play the manager cannot interfere with: its timer off, the scene started by hand.
void StartByHand(ShowStage& show, RScene& scene) {
    show.manager->SetEnabled(false);
    scene.Start(*show.manager);
}

// The states a play passes through, each once in order of arrival.
std::vector<int> PlayToTheEnd(ShowStage& show, RMeetingScene& scene) {
    std::vector<int> states{scene.GetState()};
    StepUntil(show, [&] {
        if (scene.GetState() != states.back()) states.push_back(scene.GetState());
        return !scene.IsPlaying();
    });
    return states;
}

const std::vector<int> kEveryState{1, 2, 3, 4, 5, 0};

// --- Whole plays of the built files

class MeetingPlayTest : public ::testing::TestWithParam<const char*> {};

TEST_P(MeetingPlayTest, WalksInTalksPerformsTalksWalksOutAndFinishes) {
    ShowStage show({GetParam()});
    show.Begin();
    RMeetingScene& scene = Meeting(show, GetParam());
    StartByHand(show, scene);
    EXPECT_EQ(PlayToTheEnd(show, scene), kEveryState);
    EXPECT_FALSE(scene.IsPlaying());
    EXPECT_FALSE(scene.GetBalloon().GetVisible());
    EXPECT_FALSE(show.Mascot().mirrorHorizontal);
    EXPECT_FALSE(show.ship->IsOpen());
    EXPECT_EQ(show.FindComponent("MoveIn"), nullptr) << "the library stays attached";
    EXPECT_TRUE(show.reports.empty()) << show.reports.front();
}

INSTANTIATE_TEST_SUITE_P(BuiltContent, MeetingPlayTest, ::testing::Values("Meet-Zib.RCS", "Meet-Gloop-Mail.RCS"),
                         FileCaseName);

TEST(MeetingScene, SkyStandsStillFromTheIntroductionToTheWalkOutOnly) {
    ShowStage show({"Meet-Gloop-Mail.RCS"});
    show.Begin();
    RMeetingScene& scene = Meeting(show, "Meet-Gloop-Mail.RCS");
    ASSERT_TRUE(StepUntil(show, [&] { return scene.IsPlaying(); }));  // the manager chose it
    bool skyFrozenWhileTalking = true;
    std::vector<float> skyAtIntroduction;
    StepUntil(show, [&] {
        const int state = scene.GetState();
        EXPECT_EQ(show.manager->IsEnabled(), state < 2 || state > 4) << "state " << state << " at " << show.nowMs;
        if (state == 2 && skyAtIntroduction.empty())
            for (RFloater* floater : show.manager->GetActiveFloaters()) skyAtIntroduction.push_back(floater->GetXPos());
        if (state == 4) {
            std::vector<float> sky;
            for (RFloater* floater : show.manager->GetActiveFloaters()) sky.push_back(floater->GetXPos());
            skyFrozenWhileTalking = skyFrozenWhileTalking && sky == skyAtIntroduction;
        }
        return !scene.IsPlaying();
    });
    EXPECT_FALSE(scene.IsPlaying());
    EXPECT_FALSE(skyAtIntroduction.empty());
    EXPECT_TRUE(skyFrozenWhileTalking);
    EXPECT_TRUE(show.manager->IsEnabled());
    EXPECT_TRUE(show.ship->IsShowingMail()) << "the visitor's mail follows the scene";
}

TEST(MeetingScene, SuccessivePlaysSayTheNextIntroduction) {
    ShowStage show({kZib});
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    std::vector<std::string> firstPages;
    for (int play = 0; play < 3; ++play) {
        StartByHand(show, scene);
        ASSERT_TRUE(StepUntil(show, [&] { return scene.GetState() == 2; }));
        firstPages.push_back(scene.GetBalloon().GetText());
        PlayToTheEnd(show, scene);
    }
    const std::vector<std::string> expected{"Oh, hello there!\nAre you a jellyfish?\n", "Zib! Long time no sea!\n",
                                            "Oh, hello there!\nAre you a jellyfish?\n"};
    EXPECT_EQ(firstPages, expected);
}

// --- Ways out that must give the sky back

TEST(MeetingScene, SwitchedOffMidDialogueStopsItsActorsAndGivesTheSkyBack) {
    ShowStage show({kZib});
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    ASSERT_TRUE(StepUntil(show, [&] { return scene.GetState() == 2; }));
    ASSERT_FALSE(show.manager->IsEnabled());
    ASSERT_TRUE(scene.GetBalloon().GetVisible());
    ASSERT_TRUE(show.Mascot().mirrorHorizontal);  // MirrorBrax=True

    scene.SetEnabled(false);
    EXPECT_TRUE(show.manager->IsEnabled());
    EXPECT_FALSE(scene.IsEnabled());
    EXPECT_FALSE(scene.GetBalloon().GetVisible());
    EXPECT_FALSE(scene.GetBalloon().GetTimer().IsEnabled());
    for (const char* name : {"MoveIn", "Talking", "NotTalking", "Playing", "MoveOut"})
        EXPECT_FALSE(LibraryDirector(scene, name).IsRunning()) << name;
    EXPECT_FALSE(show.Mascot().mirrorHorizontal);

    show.RunUntil(show.nowMs + 5000);
    EXPECT_EQ(scene.GetState(), 2) << "a switched-off scene does not tick";
    EXPECT_FALSE(scene.GetBalloon().GetVisible());
}

TEST(MeetingScene, FailingMidPerformanceGivesTheSkyBack) {
    ShowStage show({kZib});
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    ASSERT_TRUE(StepUntil(show, [&] { return scene.GetState() == 3; }));
    ASSERT_FALSE(show.manager->IsEnabled());

    scene.Fail("The scene Meet-Zib.RCS stopped while playing: test breakage");
    EXPECT_FALSE(scene.IsPlaying());
    EXPECT_TRUE(show.manager->IsEnabled());
    EXPECT_FALSE(LibraryDirector(scene, "Playing").IsRunning());
    EXPECT_EQ(show.reports, std::vector<std::string>{"The scene Meet-Zib.RCS stopped while playing: test breakage"});
}

TEST(MeetingScene, TheSkyStaysOffWhenSomeoneElseSwitchedTheManagerOff) {
    // Only what the scene itself switched off is switched on again.
    ShowStage show({kZib});
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    StartByHand(show, scene);
    EXPECT_EQ(PlayToTheEnd(show, scene), kEveryState);
    EXPECT_FALSE(show.manager->IsEnabled());
}

// --- Walking

struct SpeedCase {
    const char* name;
    const char* header;  // empty: no Speed line
    float perTick;
};

class MeetingSpeedTest : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(MeetingSpeedTest, TheVisitorWalksItsSpeedEveryTick) {
    ShowStage show;
    show.WriteSceneFile(kZib, WithHeader(BuiltScene(kZib), "Speed", GetParam().header));
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    EXPECT_EQ(scene.GetSpeed(), GetParam().perTick);
    StartByHand(show, scene);
    RDirector& moveIn = LibraryDirector(scene, "MoveIn");
    std::vector<float> xs{moveIn.GetXPos()};
    for (int tick = 0; tick < 6; ++tick) {
        show.RunUntil(show.nowMs + kTick);
        xs.push_back(moveIn.GetXPos());
    }
    EXPECT_EQ(xs.front(), -200.0f);
    for (std::size_t i = 1; i < xs.size(); ++i) EXPECT_FLOAT_EQ(xs[i] - xs[i - 1], GetParam().perTick) << i;
    EXPECT_EQ(scene.GetState(), 1);
}

INSTANTIATE_TEST_SUITE_P(Speeds, MeetingSpeedTest,
                         ::testing::Values(SpeedCase{"AsWritten", "3", 3.0f}, SpeedCase{"Missing", "", 10.0f},
                                           SpeedCase{"Zero", "0", 10.0f}, SpeedCase{"Negative", "-4", 10.0f},
                                           SpeedCase{"NotANumber", "nan", 10.0f},
                                           SpeedCase{"Infinite", "inf", 10.0f}),
                         [](const auto& test) { return std::string(test.param.name); });

struct OffsetCase {
    const char* name;
    const char* key;
    const char* header;  // empty: the line removed
    float x, y, z;       // from the ship
};

class MeetingOffsetTest : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(MeetingOffsetTest, TheVisitorPerformsAtTheHeadersOffsetFromTheShip) {
    ShowStage show;
    show.WriteSceneFile(kZib, WithHeader(BuiltScene(kZib), GetParam().key, GetParam().header));
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    StartByHand(show, scene);
    const RSpaceShip& ship = *show.ship;
    for (const char* name : {"Playing", "Talking", "NotTalking", "MoveOut"}) {
        const RDirector& director = LibraryDirector(scene, name);
        EXPECT_EQ(director.GetXPos(), ship.GetXPos() + GetParam().x) << name;
        EXPECT_EQ(director.GetYPos(), ship.GetYPos() + GetParam().y) << name;
        EXPECT_EQ(director.GetZPos(), ship.GetZPos() + GetParam().z) << name;
    }
    const RDirector& moveIn = LibraryDirector(scene, "MoveIn");
    EXPECT_EQ(moveIn.GetXPos(), -200.0f);
    EXPECT_EQ(moveIn.GetYPos(), ship.GetYPos() + GetParam().y);
    EXPECT_EQ(moveIn.GetZPos(), ship.GetZPos() + GetParam().z);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, MeetingOffsetTest,
    ::testing::Values(OffsetCase{"AsWritten", "Speed", "3", -250, -120, -5},
                      OffsetCase{"NoZPos", "ZPos", "", -250, -120, 100},
                      OffsetCase{"NoXPos", "XPos", "", 0, -120, -5},
                      OffsetCase{"YPosNotANumber", "YPos", "nan", -250, 0, -5},
                      OffsetCase{"ZPosBeyondFloats", "ZPos", "1e300", -250, -120, 100}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(MeetingScene, WithoutMoveOutTheVisitorWalksOutWithMoveIn) {
    ShowStage show;
    show.WriteSceneFile(kZib, WithoutDirector(BuiltScene(kZib), "MoveOut"));
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    StartByHand(show, scene);
    RDirector& moveIn = LibraryDirector(scene, "MoveIn");
    ASSERT_TRUE(StepUntil(show, [&] { return scene.GetState() == 5; }));
    EXPECT_TRUE(moveIn.IsRunning());
    const float start = moveIn.GetXPos();
    show.RunUntil(show.nowMs + kTick);
    EXPECT_FLOAT_EQ(moveIn.GetXPos() - start, 3.0f);
    EXPECT_EQ(PlayToTheEnd(show, scene), (std::vector<int>{5, 0}));
    EXPECT_GT(moveIn.GetXPos(), 800.0f);
    EXPECT_FALSE(moveIn.IsRunning());
}

TEST(MeetingScene, APlaceOutOfReachIsReachedAtOnceAndLeftAtOnce) {
    // The anchor lies left of where the walk begins, so far that a step adds nothing.
    ShowStage show;
    show.WriteSceneFile(kZib, WithHeader(BuiltScene(kZib), "XPos", "-1e30"));
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    StartByHand(show, scene);
    show.RunUntil(show.nowMs + kTick);
    EXPECT_EQ(scene.GetState(), 2);
    ASSERT_TRUE(StepUntil(show, [&] { return scene.GetState() == 5; }));
    show.RunUntil(show.nowMs + kTick);
    EXPECT_FALSE(scene.IsPlaying());
}

// --- The balloon

TEST(MeetingScene, WithoutInsideTheBalloonPointsAtTheMascotInTheShipsWindow) {
    ShowStage show({kZib});
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    StartByHand(show, scene);
    ASSERT_TRUE(StepUntil(show, [&] { return scene.GetState() == 2; }));
    // (x, y) is the hull's bottom centre; the mascot sits 190 above it.
    EXPECT_EQ(scene.GetBalloon().GetXPos(), show.ship->GetXPos() - 20);
    EXPECT_EQ(scene.GetBalloon().GetYPos(), show.ship->GetYPos() - 150);
    EXPECT_TRUE(scene.GetBalloon().GetVisible());
    EXPECT_FALSE(show.ship->IsOpen());
    EXPECT_EQ(show.FindComponent("Balloon" + std::string(kZib)), &scene.GetBalloon());
}

TEST(MeetingScene, WithInsideAndBraxTheBalloonPointsAtBrax) {
    ShowStage show;
    show.WriteSceneFile(kZib, BuiltScene(kZib) + Object("RText", "Inside", "") +
                                  Object("RSprite", "Brax", Pair("XPos", "300") + Pair("YPos", "200")));
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    StartByHand(show, scene);
    ASSERT_TRUE(StepUntil(show, [&] { return scene.GetState() == 2; }));
    EXPECT_EQ(scene.GetBalloon().GetXPos(), 320.0f);
    EXPECT_EQ(scene.GetBalloon().GetYPos(), 194.0f);
    EXPECT_TRUE(show.ship->IsOpen()) << "the scene acts the mascot itself";
    PlayToTheEnd(show, scene);
    EXPECT_FALSE(show.ship->IsOpen());
}

struct MirrorCase {
    const char* name;
    const char* header;
    bool mirrored;
};

class MeetingMirrorTest : public ::testing::TestWithParam<MirrorCase> {};

TEST_P(MeetingMirrorTest, OnlyTrueAsWrittenMirrorsTheMascotWhileTalking) {
    ShowStage show;
    show.WriteSceneFile(kZib, WithHeader(BuiltScene(kZib), "MirrorBrax", GetParam().header));
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    StartByHand(show, scene);
    ASSERT_TRUE(StepUntil(show, [&] { return scene.GetState() == 2; }));
    EXPECT_EQ(show.Mascot().mirrorHorizontal, GetParam().mirrored);
    ASSERT_TRUE(StepUntil(show, [&] { return scene.GetState() == 5; }));
    EXPECT_FALSE(show.Mascot().mirrorHorizontal);
}

INSTANTIATE_TEST_SUITE_P(MirrorBrax, MeetingMirrorTest,
                         ::testing::Values(MirrorCase{"True", "True", true}, MirrorCase{"LowerCase", "true", false},
                                           MirrorCase{"UpperCase", "TRUE", false},
                                           MirrorCase{"False", "False", false}, MirrorCase{"Missing", "", false}),
                         [](const auto& test) { return std::string(test.param.name); });

// --- Content that cannot play, or plays with parts missing

class MeetingRequiredTest : public ::testing::TestWithParam<const char*> {};

TEST_P(MeetingRequiredTest, AFileWithoutTheDirectorIsLeftOutWithAMessage) {
    ShowStage show;
    show.WriteSceneFile(kZib, WithoutDirector(BuiltScene(kZib), GetParam()));
    show.Begin();
    EXPECT_TRUE(show.manager->GetScenes().empty());
    EXPECT_EQ(show.reports, std::vector<std::string>{"The scene Meet-Zib.RCS cannot play: it has no director \"" +
                                                     std::string(GetParam()) + "\"."});
    EXPECT_EQ(show.FindComponent("Zib"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Directors, MeetingRequiredTest,
                         ::testing::Values("MoveIn", "Talking", "NotTalking", "Playing"), FileCaseName);

TEST(MeetingScene, APerformanceWithoutStepsIsOverAtOnce) {
    ShowStage show;
    show.WriteSceneFile(kZib, WithoutDirector(BuiltScene(kZib), "Playing") +
                                  Object("RDirector", "Playing", Pair("FrameLength", "160")));
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    StartByHand(show, scene);
    ASSERT_TRUE(StepUntil(show, [&] { return scene.GetState() == 3; }));
    show.RunUntil(show.nowMs + kTick);
    EXPECT_EQ(scene.GetState(), 4);
    EXPECT_EQ(PlayToTheEnd(show, scene), (std::vector<int>{4, 5, 0}));
}

TEST(MeetingScene, TheMascotWithoutItsTalkLoopsStillTalks) {
    ShowStage show({kZib});
    RSprite& mascot = show.Mascot();
    // "TALKSIT" without steps, "LISTENSIT" gone.
    RPixieSequencer noSteps("nothing", nullptr);
    mascot.FindSequence("TALKSIT")->CopyStepsOf(noSteps);
    std::unique_ptr<RComponent> listen = mascot.ReleaseOwned(mascot.FindSequence("LISTENSIT"));
    ASSERT_NE(listen, nullptr);
    ASSERT_EQ(mascot.FindSequence("LISTENSIT"), nullptr);
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    StartByHand(show, scene);
    EXPECT_EQ(PlayToTheEnd(show, scene), kEveryState);
    EXPECT_TRUE(show.reports.empty()) << show.reports.front();
}

TEST(MeetingScene, MissingTextsSkipTheirDialogueButNotTheQuietSky) {
    ShowStage show;
    show.WriteSceneFile(kZib, WithHeader(WithHeader(BuiltScene(kZib), "Intro", "Hello"), "Exit", "Goodbye"));
    show.Begin();
    RMeetingScene& scene = Meeting(show);
    ASSERT_TRUE(StepUntil(show, [&] { return scene.IsPlaying(); }));
    ASSERT_TRUE(StepUntil(show, [&] { return scene.GetState() != 1; }));
    EXPECT_EQ(scene.GetState(), 3) << "no introduction to say";
    EXPECT_FALSE(show.manager->IsEnabled());
    EXPECT_FALSE(scene.GetBalloon().GetVisible());
    ASSERT_TRUE(StepUntil(show, [&] { return scene.GetState() != 3; }));
    EXPECT_EQ(scene.GetState(), 5) << "no farewell to say";
    EXPECT_TRUE(show.manager->IsEnabled());
    EXPECT_TRUE(show.reports.empty()) << show.reports.front();
}

}  // namespace
}  // namespace quellmoor::shiptest
