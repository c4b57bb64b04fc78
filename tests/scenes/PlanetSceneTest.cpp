// The planet scene playing the built planet files on the virtual clock, and
// copies of them with objects or header keys changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "animation/Balloon.h"
#include "animation/Director.h"
#include "animation/Picture.h"
#include "animation/Sequencer.h"
#include "animation/TextBlock.h"
#include "imaging/Dib.h"
#include "scenes/Control.h"
#include "scenes/Floater.h"
#include "scenes/PlanetScene.h"
#include "tests/scenes/ShowStage.h"

namespace quellmoor::shiptest {
namespace {

constexpr int kW = ShowStage::kShowWidth, kH = ShowStage::kShowHeight;

// --- Scene files changed at the level of their header and objects

std::string Token(std::string_view content) { return std::to_string(content.size()) + "#" + std::string(content); }

class SceneStream {
public:
    explicit SceneStream(const std::string& file) {
        const std::string bytes = ReadFileBytes(ContentDir() + "/" + file);
        std::size_t pos = 3;  // "RCS"
        std::string header = ReadToken(bytes, pos);
        while (!header.empty()) header_.push_back(SplitOff(header, "\n"));
        while (pos < bytes.size()) {
            Object object;
            object.className = ReadToken(bytes, pos);
            object.name = ReadToken(bytes, pos);
            object.body = ReadToken(bytes, pos);
            objects_.push_back(std::move(object));
        }
    }

    SceneStream& Set(const std::string& key, const std::string& value) {
        std::erase_if(header_, [&key](const std::string& line) { return line.starts_with(key + "="); });
        header_.push_back(key + "=" + value);
        return *this;
    }
    SceneStream& Drop(const std::string& name) {
        const auto before = objects_.size();
        std::erase_if(objects_, [&name](const Object& object) { return object.name == name; });
        EXPECT_EQ(objects_.size() + 1, before) << name;
        return *this;
    }
    // A director with an empty body: no table at all.
    SceneStream& AddEmptyDirector(const std::string& name) {
        objects_.push_back({"RDirector", name, ""});
        return *this;
    }
    std::string Bytes() const {
        std::string lines;
        for (const std::string& line : header_) lines += line + "\n";
        std::string bytes = "RCS" + Token(lines);
        for (const Object& object : objects_) bytes += Token(object.className) + Token(object.name) + Token(object.body);
        return bytes;
    }

private:
    struct Object {
        std::string className, name, body;
    };
    static std::string ReadToken(const std::string& bytes, std::size_t& pos) {
        const std::size_t hash = bytes.find('#', pos);
        const auto length = static_cast<std::size_t>(std::stoul(bytes.substr(pos, hash - pos)));
        pos = hash + 1 + length;
        return bytes.substr(hash + 1, length);
    }
    std::vector<std::string> header_;
    std::vector<Object> objects_;
};

// --- Playing

RPlanetScene& PlanetOf(const ShowStage& show, const std::string& name) {
    auto* scene = dynamic_cast<RPlanetScene*>(show.FindScene(name));
    if (!scene) throw std::runtime_error("no planet scene " + name);
    return *scene;
}

// Start-up as usual, then the manager is held back so each play starts here.
void BeginHeld(ShowStage& show) {
    show.Begin();
    show.manager->SetEnabled(false);
}

std::size_t MotorSounds(const ShowStage& show) {
    const auto sounds = show.PlayedSounds();
    return static_cast<std::size_t>(std::count_if(sounds.begin(), sounds.end(), [](const std::string& path) {
        return path.find("motor") != std::string::npos;
    }));
}

// What one play showed, noted after every 25 ms tick.
struct Play {
    std::vector<int> states;           // each state a tick left the scene in, in order
    std::vector<double> entered;       // ms after the start when it was first seen
    std::vector<std::size_t> sounds;   // motor sounds asked for by then
    std::string intro, farewell;       // the balloon's first page in states 2 and 6
    std::vector<std::string> mascotSequences;
    bool mascotShownWhilePerforming = false;
    bool mascotShownAtFarewell = false;
    double finishedAt = -1;

    double Entered(int state) const {
        auto it = std::find(states.begin(), states.end(), state);
        return it == states.end() ? -1 : entered[static_cast<std::size_t>(it - states.begin())];
    }
};

// Follows a started scene tick by tick until it finishes (at most limitMs).
Play Follow(ShowStage& show, RPlanetScene& scene, double start, double limitMs = 300000) {
    Play play;
    auto note = [&] {
        const int state = scene.GetState();
        if (play.states.empty() || play.states.back() != state) {
            play.states.push_back(state);
            play.entered.push_back(show.nowMs - start);
            play.sounds.push_back(MotorSounds(show));
            const std::string& text = scene.GetBalloon().GetText();
            if (state == RPlanetScene::kIntroduction) play.intro = text;
            if (state == RPlanetScene::kFarewell) {
                play.farewell = text;
                play.mascotShownAtFarewell = show.Mascot().GetVisible();
            }
        }
        if (state == RPlanetScene::kPerforming && show.Mascot().GetVisible()) play.mascotShownWhilePerforming = true;
        if (RPixieSequencer* current = show.Mascot().GetCurrentSequencer();
            current && (play.mascotSequences.empty() || play.mascotSequences.back() != current->GetName()))
            play.mascotSequences.push_back(current->GetName());
    };
    note();
    while (scene.IsPlaying() && show.nowMs - start < limitMs) {
        show.RunUntil(show.nowMs + RScene::kTickMs);
        if (scene.IsPlaying()) note();
    }
    if (!scene.IsPlaying()) play.finishedAt = show.nowMs - start;
    return play;
}

Play PlayThrough(ShowStage& show, RPlanetScene& scene) {
    const double start = show.nowMs;
    scene.Start(*show.manager);
    return Follow(show, scene, start);
}

// The first page a text block gives the balloon, as the balloon shows it.
std::string FirstPage(const RPlanetScene& scene, const std::string& textName) {
    std::string page;
    for (const std::string& line : scene.GetLibrary().FindComponentAs<RTextBlock>(textName).GetContents()) {
        if (line == "***") break;
        page += line + "\n";
    }
    return page;
}

RDirector& LibraryDirector(const RPlanetScene& scene, const std::string& name) {
    return scene.GetLibrary().FindComponentAs<RDirector>(name);
}

const std::vector<int> kAllStates{0, 1, 2, 3, 4, 5, 6, 7, 8};

template <class Case>
std::string CaseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// --- A whole play

TEST(PlanetSceneTest, TheManagerStartsItAndItPlaysEveryStateInOrder) {
    ShowStage show({"Planet-Ice.RCS"});
    show.Begin();
    RPlanetScene& scene = PlanetOf(show, "Planet-Ice.RCS");
    show.RunUntil(RScene::kTickMs);  // the manager's first tick chooses the only scene
    ASSERT_EQ(show.manager->GetCurrentScene(), &scene);
    ASSERT_TRUE(scene.IsPlaying());
    EXPECT_FALSE(show.manager->IsSkyActive());
    show.manager->SetEnabled(false);

    const Play play = Follow(show, scene, RScene::kTickMs);
    EXPECT_EQ(play.states, kAllStates);
    EXPECT_EQ(play.Entered(RPlanetScene::kGettingOut), RPlanetScene::kFlightMs);
    EXPECT_EQ(play.finishedAt - play.Entered(RPlanetScene::kTakingOff), RPlanetScene::kFlightMs);
    EXPECT_EQ(play.intro, FirstPage(scene, "Intro"));
    EXPECT_EQ(play.farewell, FirstPage(scene, "Exit"));
    EXPECT_TRUE(play.mascotShownWhilePerforming);
    const std::vector<std::string> microphone{"getmic", "awaymic"};
    for (const std::string& name : microphone)
        EXPECT_NE(std::find(play.mascotSequences.begin(), play.mascotSequences.end(), name),
                  play.mascotSequences.end())
            << name;
    EXPECT_EQ(show.manager->GetCurrentScene(), nullptr);
    EXPECT_TRUE(show.reports.empty()) << show.reports.front();
}

TEST(PlanetSceneTest, AfterThePlayTheSkyIsBackAndTheShipPlaced) {
    ShowStage show({"Planet-Ice.RCS"});
    BeginHeld(show);
    RPlanetScene& scene = PlanetOf(show, "Planet-Ice.RCS");
    ASSERT_GT(PlayThrough(show, scene).finishedAt, 0);

    EXPECT_TRUE(show.manager->IsSkyActive());
    for (const RFloater* floater : show.manager->GetActiveFloaters()) EXPECT_TRUE(floater->GetVisible());
    RSpaceShip& ship = *show.ship;
    const float hull = show.Outline().GetHeight();
    EXPECT_FLOAT_EQ(ship.GetXPos(), kW * 0.5f);
    EXPECT_FLOAT_EQ(ship.GetYPos(), (kH + hull) * 0.5f);
    EXPECT_EQ(ship.engineAmount, 0.0f);
    EXPECT_EQ(ship.gearAmount, 0.0f);
    EXPECT_TRUE(ship.GetVisible());
    EXPECT_FALSE(ship.IsOpen());
    EXPECT_TRUE(ship.IsMascotAboard());
    EXPECT_FALSE(show.Mascot().GetVisible());
    EXPECT_FALSE(scene.GetBalloon().GetVisible());
    EXPECT_FALSE(show.FindComponentAs<RPicture>("Ship-Inside").GetVisible());
    EXPECT_FALSE(scene.GetLibrary().FindComponentAs<RPicture>("Sky").GetVisible());
    for (const char* name : {"Before", "After", "Talking", "NotTalking", "Playing"})
        EXPECT_FALSE(LibraryDirector(scene, name).IsRunning()) << name;
    EXPECT_EQ(show.FindComponent("Before"), nullptr);  // the library left the stage
}

// --- The ship along the landing

struct ApproachCase {
    const char* name;
    double elapsedMs;  // after the start; p = elapsed / 6000
    float engine, gear;
    double descent;  // t: 0 just above the window, 1 on the ground
};
void PrintTo(const ApproachCase& c, std::ostream* out) { *out << c.name; }

class PlanetApproachTest : public testing::TestWithParam<ApproachCase> {};

TEST_P(PlanetApproachTest, ShipFollowsTheLandingCurve) {
    const ApproachCase& c = GetParam();
    ShowStage show({"Planet-Ice.RCS"});
    BeginHeld(show);
    RPlanetScene& scene = PlanetOf(show, "Planet-Ice.RCS");
    const double start = show.nowMs;
    scene.Start(*show.manager);
    show.RunUntil(start + c.elapsedMs);

    const RSpaceShip& ship = *show.ship;
    const double hull = show.Outline().GetHeight();  // the ship's height with the gear in
    const double ground = kH - 100;
    EXPECT_FLOAT_EQ(ship.engineAmount, c.engine);
    EXPECT_FLOAT_EQ(ship.gearAmount, c.gear);
    EXPECT_FLOAT_EQ(ship.GetXPos(), kW * 0.5f - 200);
    EXPECT_NEAR(ship.GetYPos(), (1 - c.descent) * -hull + c.descent * ground, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Landing, PlanetApproachTest,
                         testing::Values(ApproachCase{"AboveTheWindow", 0, 1.0f, 0.0f, 0.0},
                                         ApproachCase{"Halfway", 3000, 1.0f, 0.0f, 1 - 0.375 * 0.375},
                                         ApproachCase{"GearHalfOut", 5100, 0.5f, 0.5f, 1.0},
                                         ApproachCase{"Landed", 6000, 0.25f, 1.0f, 1.0}),
                         CaseName<ApproachCase>);

// --- Sounds

struct EngineCase {
    const char* name;
    std::optional<std::string> setting;  // the Engine key, or none
    const char* sound;
};
void PrintTo(const EngineCase& c, std::ostream* out) { *out << c.name; }

class PlanetEngineSoundTest : public testing::TestWithParam<EngineCase> {};

TEST_P(PlanetEngineSoundTest, MotorOnLandingAndOnTakeOff) {
    const EngineCase& c = GetParam();
    ShowStage show({"Planet-Ice.RCS"});
    if (c.setting) WriteControl("Engine", *c.setting);
    BeginHeld(show);
    const Play play = PlayThrough(show, PlanetOf(show, "Planet-Ice.RCS"));
    ASSERT_EQ(play.states, kAllStates);
    // None before the first tick, one from landing on, the second on entering take-off.
    EXPECT_EQ(play.sounds, (std::vector<std::size_t>{0, 1, 1, 1, 1, 1, 1, 1, 2}));
    const auto sounds = show.PlayedSounds();
    ASSERT_EQ(sounds.size(), 2u);
    for (std::string path : sounds) {
        std::replace(path.begin(), path.end(), '\\', '/');  // Windows joins with backslashes
        EXPECT_TRUE(path.ends_with(std::string("/Sounds/") + c.sound)) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, PlanetEngineSoundTest,
    testing::Values(EngineCase{"Default", std::nullopt, "motor1.wav"}, EngineCase{"Second", "2", "motor2.wav"},
                    EngineCase{"PathLeadingOutside", "../motor2", "motor1.wav"},
                    EngineCase{"Empty", "", "motor1.wav"}),
    CaseName<EngineCase>);

TEST(PlanetSceneTest, NoSoundWithTheSoundSwitchOff) {
    ShowStage show({"Planet-Ice.RCS"});
    show.SetSoundEnabled(false);
    BeginHeld(show);
    EXPECT_EQ(PlayThrough(show, PlanetOf(show, "Planet-Ice.RCS")).states, kAllStates);
    EXPECT_TRUE(show.PlayedSounds().empty());
}

// --- Texts across plays

TEST(PlanetSceneTest, SuccessivePlaysSaySuccessiveIntroAndExitItems) {
    ShowStage show({"Planet-Jungle.RCS"});
    BeginHeld(show);
    RPlanetScene& scene = PlanetOf(show, "Planet-Jungle.RCS");
    for (const char* suffix : {"", "2", ""}) {
        SCOPED_TRACE(std::string("Intro") + suffix);
        const Play play = PlayThrough(show, scene);
        EXPECT_EQ(play.states, kAllStates);
        EXPECT_EQ(play.intro, FirstPage(scene, std::string("Intro") + suffix));
        EXPECT_EQ(play.farewell, FirstPage(scene, std::string("Exit") + suffix));
    }
}

TEST(PlanetSceneTest, AShorterExitListMeansNoFarewell) {
    ShowStage show;
    show.WriteSceneFile("Planet-Chatty.RCS",
                        SceneStream("Planet-Jungle.RCS").Set("Intro", "Intro,Intro2,Exit2").Set("Exit", "Exit").Bytes());
    BeginHeld(show);
    RPlanetScene& scene = PlanetOf(show, "Planet-Chatty.RCS");
    struct Expected {
        const char* intro;
        const char* farewell;  // empty: state 6 passes in the tick that enters it
    };
    for (const Expected& expected : {Expected{"Intro", "Exit"}, Expected{"Intro2", ""}, Expected{"Exit2", ""},
                                     Expected{"Intro", "Exit"}}) {
        SCOPED_TRACE(expected.intro);
        const Play play = PlayThrough(show, scene);
        EXPECT_EQ(play.intro, FirstPage(scene, expected.intro));
        if (*expected.farewell) {
            EXPECT_EQ(play.states, kAllStates);
            EXPECT_EQ(play.farewell, FirstPage(scene, expected.farewell));
        } else {
            EXPECT_EQ(play.states, (std::vector<int>{0, 1, 2, 3, 4, 5, 7, 8}));
        }
    }
}

TEST(PlanetSceneTest, NothingToSaySkipsBothTalksAndNeedsNoTalkDirectors) {
    ShowStage show;
    show.WriteSceneFile("Planet-Quiet.RCS", SceneStream("Planet-Ice.RCS")
                                                .Set("Intro", "Nobody")
                                                .Set("Exit", "Nobody")
                                                .Drop("Talking")
                                                .Drop("NotTalking")
                                                .Bytes());
    BeginHeld(show);
    const Play play = PlayThrough(show, PlanetOf(show, "Planet-Quiet.RCS"));
    EXPECT_EQ(play.states, (std::vector<int>{0, 1, 3, 4, 5, 7, 8}));
    EXPECT_GT(play.finishedAt, 0);
    EXPECT_TRUE(show.reports.empty()) << show.reports.front();
}

// --- HideBrax and data that would never end a state

TEST(PlanetSceneTest, HideBraxPerformsWithoutTheMascotOrMicrophone) {
    ShowStage show({"Planet-Ice-Show.RCS"});
    BeginHeld(show);
    const Play play = PlayThrough(show, PlanetOf(show, "Planet-Ice-Show.RCS"));
    EXPECT_EQ(play.states, (std::vector<int>{0, 1, 2, 4, 6, 7, 8}));
    EXPECT_FALSE(play.mascotShownWhilePerforming);
    for (const std::string& name : play.mascotSequences) {
        EXPECT_NE(name, "getmic");
        EXPECT_NE(name, "awaymic");
    }
    EXPECT_TRUE(play.mascotShownAtFarewell);
    EXPECT_FALSE(play.farewell.empty());
    EXPECT_GT(play.finishedAt, 0);
}

struct PerformanceCase {
    const char* name;
    bool emptyTable;  // a "Playing" without a table instead of none at all
};
void PrintTo(const PerformanceCase& c, std::ostream* out) { *out << c.name; }

class PlanetPerformanceTest : public testing::TestWithParam<PerformanceCase> {};

TEST_P(PlanetPerformanceTest, WithoutAPerformanceStateFourPassesOnTheNextTick) {
    SceneStream stream("Planet-Ice.RCS");
    stream.Drop("Playing");
    if (GetParam().emptyTable) stream.AddEmptyDirector("Playing");
    ShowStage show;
    show.WriteSceneFile("Planet-Still.RCS", stream.Bytes());
    BeginHeld(show);
    RPlanetScene& scene = PlanetOf(show, "Planet-Still.RCS");
    const Play play = PlayThrough(show, scene);
    ASSERT_EQ(play.states, kAllStates);
    EXPECT_EQ(play.Entered(RPlanetScene::kPuttingMicrophoneAway) - play.Entered(RPlanetScene::kPerforming),
              RScene::kTickMs);
    if (GetParam().emptyTable) {
        EXPECT_FALSE(LibraryDirector(scene, "Playing").IsRunning());
    }
    EXPECT_TRUE(show.reports.empty()) << show.reports.front();
}

INSTANTIATE_TEST_SUITE_P(Playing, PlanetPerformanceTest,
                         testing::Values(PerformanceCase{"Missing", false}, PerformanceCase{"EmptyTable", true}),
                         CaseName<PerformanceCase>);

TEST(PlanetSceneTest, EmptyMicrophoneSequencesAreOverAtOnce) {
    ShowStage show({"Planet-Ice.RCS"});
    const RPixieSequencer empty("empty", nullptr);
    for (const char* name : {"getmic", "awaymic"}) show.Mascot().FindSequence(name)->CopyStepsOf(empty);
    BeginHeld(show);
    const Play play = PlayThrough(show, PlanetOf(show, "Planet-Ice.RCS"));
    ASSERT_EQ(play.states, kAllStates);
    EXPECT_EQ(play.Entered(RPlanetScene::kPerforming) - play.Entered(RPlanetScene::kTakingMicrophone),
              RScene::kTickMs);
    EXPECT_EQ(play.Entered(RPlanetScene::kFarewell) - play.Entered(RPlanetScene::kPuttingMicrophoneAway),
              RScene::kTickMs);
}

// --- Stopping

TEST(PlanetSceneTest, SwitchingOffStopsEveryDirectorAfterIncluded) {
    ShowStage show({"Planet-Ice.RCS"});
    BeginHeld(show);
    RPlanetScene& scene = PlanetOf(show, "Planet-Ice.RCS");
    scene.Start(*show.manager);
    while (scene.IsPlaying() && scene.GetState() < RPlanetScene::kFarewell) show.RunUntil(show.nowMs + 25);
    ASSERT_EQ(scene.GetState(), RPlanetScene::kFarewell);
    RDirector& after = LibraryDirector(scene, "After");
    ASSERT_TRUE(after.IsRunning());

    scene.SetEnabled(false);
    EXPECT_FALSE(scene.IsEnabled());
    for (const char* name : {"Before", "After", "Talking", "NotTalking", "Playing"})
        EXPECT_FALSE(LibraryDirector(scene, name).IsRunning()) << name;
}

TEST(PlanetSceneTest, AFailureMidwayStopsWhatTheSceneRuns) {
    ShowStage show({"Planet-Ice.RCS"});
    // Without "awaymic" the mascot cannot put the microphone away: state 5 fails.
    std::unique_ptr<RComponent> awaymic = show.Mascot().ReleaseOwned(show.Mascot().FindSequence("awaymic"));
    ASSERT_TRUE(awaymic);
    BeginHeld(show);
    RPlanetScene& scene = PlanetOf(show, "Planet-Ice.RCS");
    const Play play = PlayThrough(show, scene);

    EXPECT_EQ(play.states, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_GT(play.finishedAt, 0);
    EXPECT_EQ(show.reports, (std::vector<std::string>{
                                "The scene Planet-Ice.RCS stopped while playing: Sprite::Run(awaymic) Sequence does "
                                "not exist."}));
    EXPECT_FALSE(LibraryDirector(scene, "After").IsRunning());
    EXPECT_TRUE(show.ship->IsMascotAboard());
    EXPECT_TRUE(show.manager->IsEnabled());
    EXPECT_TRUE(show.manager->IsSkyActive());
}

struct FailCase {
    const char* name;
    int state;  // the scene fails on the first tick in this state
};
void PrintTo(const FailCase& c, std::ostream* out) { *out << c.name; }

class PlanetFailTest : public testing::TestWithParam<FailCase> {};

TEST_P(PlanetFailTest, StopsEverythingTheSceneRuns) {
    ShowStage show({"Planet-Ice.RCS"});
    BeginHeld(show);
    RPlanetScene& scene = PlanetOf(show, "Planet-Ice.RCS");
    scene.Start(*show.manager);
    while (scene.IsPlaying() && scene.GetState() != GetParam().state) show.RunUntil(show.nowMs + 25);
    ASSERT_EQ(scene.GetState(), GetParam().state);
    scene.Fail("Broken on purpose.");

    EXPECT_EQ(show.reports, std::vector<std::string>{"Broken on purpose."});
    EXPECT_FALSE(scene.IsPlaying());
    for (const char* name : {"Before", "After", "Talking", "NotTalking", "Playing"})
        EXPECT_FALSE(LibraryDirector(scene, name).IsRunning()) << name;
    EXPECT_FALSE(scene.GetBalloon().GetVisible());
    EXPECT_FALSE(scene.GetBalloon().GetTimer().IsEnabled());
    // A sequence left running would animate the mascot in the ship's window.
    EXPECT_EQ(show.Mascot().GetCurrentSequencer(), nullptr);
    for (const char* name : {"TALK", "STAND", "getmic", "awaymic"})
        EXPECT_FALSE(show.Mascot().FindSequence(name)->IsEnabled()) << name;
    EXPECT_FALSE(show.FindComponentAs<RPicture>("Ship-Inside").GetVisible());
    EXPECT_FALSE(show.ship->IsOpen());
    EXPECT_TRUE(show.ship->IsMascotAboard());
    // The next play starts afresh.
    EXPECT_EQ(PlayThrough(show, scene).states, kAllStates);
}

INSTANTIATE_TEST_SUITE_P(Midway, PlanetFailTest,
                         testing::Values(FailCase{"GettingOut", RPlanetScene::kGettingOut},
                                         FailCase{"Introduction", RPlanetScene::kIntroduction},
                                         FailCase{"TakingMicrophone", RPlanetScene::kTakingMicrophone},
                                         FailCase{"Performing", RPlanetScene::kPerforming},
                                         FailCase{"Farewell", RPlanetScene::kFarewell},
                                         FailCase{"GettingIn", RPlanetScene::kGettingIn}),
                         CaseName<FailCase>);

TEST(PlanetSceneTest, AMissingShipInsidePictureEndsThePlayCleanly) {
    ShowStage show({"Planet-Ice.RCS"});
    BeginHeld(show);
    show.UnregisterComponent(&show.FindComponentAs<RPicture>("Ship-Inside"));
    RPlanetScene& scene = PlanetOf(show, "Planet-Ice.RCS");
    const Play play = PlayThrough(show, scene);

    EXPECT_EQ(play.states, (std::vector<int>{0, 1}));
    EXPECT_GT(play.finishedAt, play.Entered(RPlanetScene::kGettingOut));
    EXPECT_EQ(show.reports, (std::vector<std::string>{
                                "The scene Planet-Ice.RCS stopped while playing: component Ship-Inside not found."}));
    EXPECT_FALSE(show.ship->IsOpen());
    EXPECT_TRUE(show.ship->IsMascotAboard());
    EXPECT_TRUE(show.manager->IsSkyActive());
}

// --- Content the scene cannot play

struct BrokenCase {
    const char* name;
    std::vector<std::string> dropped;  // objects left out of Planet-Ice.RCS
    const char* stageDirector;         // a director taken off the stage, or null
    const char* message;
};
void PrintTo(const BrokenCase& c, std::ostream* out) { *out << c.name; }

class PlanetBrokenFileTest : public testing::TestWithParam<BrokenCase> {};

TEST_P(PlanetBrokenFileTest, IsLeftOutWithItsMessage) {
    const BrokenCase& c = GetParam();
    SceneStream stream("Planet-Ice.RCS");
    for (const std::string& name : c.dropped) stream.Drop(name);
    ShowStage show;
    show.WriteSceneFile("Planet-Broken.RCS", stream.Bytes());
    if (c.stageDirector) show.UnregisterComponent(&show.FindComponentAs<RDirector>(c.stageDirector));
    show.Begin();
    EXPECT_TRUE(show.manager->GetScenes().empty());
    EXPECT_EQ(show.reports, std::vector<std::string>{c.message});
    EXPECT_EQ(show.FindComponent("BalloonPlanet-Broken.RCS"), nullptr);
    show.RunUntil(1000);  // the show goes on without it
    EXPECT_TRUE(show.manager->IsSkyActive());
}

INSTANTIATE_TEST_SUITE_P(
    Missing, PlanetBrokenFileTest,
    testing::Values(
        BrokenCase{"Before", {"Before"}, nullptr,
                   "The scene Planet-Broken.RCS cannot play: it has no director \"Before\"."},
        BrokenCase{"Talking", {"Talking"}, nullptr,
                   "The scene Planet-Broken.RCS cannot play: it has no director \"Talking\"."},
        BrokenCase{"NotTalking", {"NotTalking"}, nullptr,
                   "The scene Planet-Broken.RCS cannot play: it has no director \"NotTalking\"."},
        BrokenCase{"GetOut", {}, "GetOut", "The scene Planet-Broken.RCS cannot play: it has no director \"GetOut\"."},
        BrokenCase{"GetIn", {}, "GetIn", "The scene Planet-Broken.RCS cannot play: it has no director \"GetIn\"."}),
    CaseName<BrokenCase>);

TEST(PlanetSceneTest, WithoutAfterBeforeLoopsAroundThePerformance) {
    ShowStage show;
    show.WriteSceneFile("Planet-Once.RCS", SceneStream("Planet-Ice.RCS").Drop("After").Bytes());
    BeginHeld(show);
    RPlanetScene& scene = PlanetOf(show, "Planet-Once.RCS");
    scene.Start(*show.manager);
    RDirector& before = LibraryDirector(scene, "Before");
    EXPECT_TRUE(before.IsRunning());
    while (scene.IsPlaying() && scene.GetState() < RPlanetScene::kPuttingMicrophoneAway)
        show.RunUntil(show.nowMs + 25);
    EXPECT_TRUE(before.IsRunning());
    EXPECT_GT(Follow(show, scene, show.nowMs).finishedAt, 0);
    EXPECT_FALSE(before.IsRunning());
}

// --- The scene's own sky

TEST(PlanetSceneTest, PaintsTheSkyAndPlanetOntoTheBackgroundAndReportsTheArea) {
    ShowStage show({"Planet-Ice.RCS"});
    BeginHeld(show);
    RPlanetScene& scene = PlanetOf(show, "Planet-Ice.RCS");
    show.ClearDirtyRects();
    scene.Start(*show.manager);

    const RDib& background = *show.GetBackground()->GetDib();
    const RDib& sky = *scene.GetLibrary().FindComponentAs<RPicture>("Sky").GetSurface()->GetDib();
    const RDib& planet = *scene.GetLibrary().FindComponentAs<RPicture>("Planet").GetSurface()->GetDib();
    ASSERT_LT(sky.GetWidth(), kW);  // tiled at least twice
    for (int x : {0, sky.GetWidth() - 1, sky.GetWidth(), sky.GetWidth() + 7, kW - 1})
        EXPECT_EQ(background.GetPixelIndex(x, 0), sky.GetPixelIndex(x % sky.GetWidth(), 0)) << x;
    // Stretched to the window's width along its bottom edge.
    EXPECT_EQ(background.GetPixelIndex(0, kH - 1), planet.GetPixelIndex(0, planet.GetHeight() - 1));
    EXPECT_EQ(background.GetPixelIndex(kW - 1, kH - 1),
              planet.GetPixelIndex(planet.GetWidth() - 1, planet.GetHeight() - 1));

    // Composing only what changed must repaint the whole window.
    double area = 0;
    for (const RRect& rect : show.GetDirtyRects()) area += static_cast<double>(rect.width) * rect.height;
    EXPECT_EQ(area, static_cast<double>(kW) * kH);
}

// The performance director starts with the mascot on the ground; placing it
// when the scene starts must not show him there while the ship still lands.
TEST(PlanetSceneTest, TheMascotStaysAboardWhileTheShipLands) {
    ShowStage show({"Planet-Ice.RCS"});
    show.Begin();
    show.RunUntil(3000);
    ASSERT_NE(show.manager->GetCurrentScene(), nullptr);
    EXPECT_TRUE(show.ship->IsMascotAboard());
    EXPECT_FALSE(show.Mascot().GetVisible());
    EXPECT_EQ(show.Mascot().GetCurFrameName(), "s_l90");
}

}  // namespace
}  // namespace quellmoor::shiptest
