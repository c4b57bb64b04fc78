#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "animation/Sprite.h"
#include "scenes/Control.h"
#include "scenes/Floater.h"
#include "tests/scenes/ShowStage.h"

namespace quellmoor::shiptest {
namespace {

// A built scene file with its header replaced: the same components, our keys.
std::string WithHeader(const std::string& stream, const std::string& header) {
    const std::size_t hash = stream.find('#', 3);
    const std::size_t length = std::stoul(stream.substr(3, hash - 3));
    return "RCS" + std::to_string(header.size()) + "#" + header + stream.substr(hash + 1 + length);
}

std::string NapScene(const std::string& header) {
    return WithHeader(ReadFileBytes(ContentDir() + "/InShip-Nap.RCS"), header);
}

std::vector<std::string> BuiltSceneFiles() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(ContentDir()))
        if (entry.path().extension() == ".RCS") files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

// The scene the last choice took: its weight is set to 5 (or 200 when it is preferred next).
RScene* LastChosen(const RSceneManager& manager) {
    for (RScene* scene : manager.GetScenes())
        if (scene->weight == 5.0f) return scene;
    return nullptr;
}

// Chooses without letting the scene play on: the choice alone is under test.
RScene* Choose(ShowStage& show) {
    show.manager->ChooseNextScene();
    if (RScene* playing = show.manager->GetCurrentScene()) playing->Finish();
    show.ship->SetMail(nullptr);
    return LastChosen(*show.manager);
}

TEST(SceneManagerTest, LoadsEveryBuiltSceneFileAndPlaysForTenMinutes) {
    const std::vector<std::string> files = BuiltSceneFiles();
    ShowStage show(files);
    show.Begin();
    EXPECT_EQ(show.manager->GetScenes().size() + show.manager->GetFloatLibraries().size(), files.size());
    EXPECT_TRUE(show.reports.empty()) << show.reports.front();
    show.RunUntil(10 * 60 * 1000.0);
    EXPECT_TRUE(show.reports.empty()) << show.reports.front();
    EXPECT_TRUE(show.manager->IsEnabled());
}

TEST(SceneManagerTest, ScenesLoadInNameOrderWhateverTheExtensionsCase) {
    ShowStage show;
    show.WriteSceneFile("b.rcs", NapScene("Type=RInShipScene\n"));
    show.WriteSceneFile("A.RCS", NapScene("Type=RInShipScene\n"));
    show.WriteSceneFile("c.Rcs", NapScene("Type=rinshipscene\n"));
    show.WriteSceneFile("d.txt", NapScene("Type=RInShipScene\n"));
    show.Begin();
    std::vector<std::string> names;
    for (RScene* scene : show.manager->GetScenes()) names.push_back(scene->GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"A.RCS", "b.rcs", "c.Rcs"}));
}

struct BrokenFile {
    std::string label, bytes, report;
};
void PrintTo(const BrokenFile& file, std::ostream* out) { *out << file.label; }

class BrokenSceneFileTest : public testing::TestWithParam<BrokenFile> {};

// The broken file is left out with one report; the good one plays; nothing of
// the broken one stays on the stage.
TEST_P(BrokenSceneFileTest, IsLeftOutAndTheShowGoesOn) {
    ShowStage show;
    show.WriteSceneFile("Good.RCS", NapScene("Type=RInShipScene\n"));
    show.WriteSceneFile("Broken.RCS", GetParam().bytes);
    const std::size_t before = show.GetComponents().size();
    show.Begin(1997, false);
    ASSERT_EQ(show.reports, std::vector<std::string>{GetParam().report});
    ASSERT_EQ(show.manager->GetScenes().size(), 1u);
    EXPECT_EQ(show.manager->GetScenes()[0]->GetName(), "Good.RCS");
    EXPECT_EQ(show.GetComponents().size(), before);
    show.RunUntil(60 * 1000.0);
    EXPECT_EQ(show.reports.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenSceneFileTest,
    testing::Values(
        BrokenFile{"UnknownType", NapScene("Type=RBeachScene\n"),
                   "Zeg tegen Tuk dat hij geen type in Broken.RCS heeft ingevuld"},
        BrokenFile{"NoType", NapScene("Frequency=30\n"),
                   "Zeg tegen Tuk dat hij geen type in Broken.RCS heeft ingevuld"},
        BrokenFile{"EmptyFile", "", "The scene file Broken.RCS is damaged: AddComponentStream encountered an invalid header."},
        BrokenFile{"NotAStream", "GIF89a",
                   "The scene file Broken.RCS is damaged: AddComponentStream encountered an invalid header."},
        BrokenFile{"Truncated", NapScene("Type=RInShipScene\n").substr(0, 400),
                   "The scene file Broken.RCS is damaged: LoadPropFromStream; Invalid length."}),
    [](const testing::TestParamInfo<BrokenFile>& param) { return param.param.label; });

TEST(SceneManagerTest, NoScenesDirectoryMeansSkyAndShipAlone) {
    ShowStage show;
    std::filesystem::remove_all(show.dir);
    show.Begin();
    EXPECT_TRUE(show.manager->GetScenes().empty());
    EXPECT_TRUE(show.reports.empty());
    show.RunUntil(30 * 1000.0);
    EXPECT_TRUE(show.manager->IsSkyActive());
    EXPECT_FALSE(show.manager->GetActiveFloaters().empty());
    EXPECT_TRUE(show.ship->GetVisible());
}

// --- Weighted choice

TEST(SceneChoiceTest, NeverChosenScenesCountDoubleUntilChosenOnce) {
    ShowStage show;
    show.WriteSceneFile("One.RCS", NapScene("Type=RInShipScene\nFrequency=30\n"));
    show.WriteSceneFile("Two.RCS", NapScene("Type=RInShipScene\nFrequency=12.5\n"));
    ASSERT_EQ(WriteControl("Two.RCS", "1"), ControlWrite::Written);
    show.Begin();
    EXPECT_EQ(show.FindScene("One.RCS")->baseFrequency, 60.0f);
    EXPECT_EQ(show.FindScene("Two.RCS")->baseFrequency, 12.5f);
    EXPECT_EQ(ReadControl("One.RCS", "0"), "0");
    RScene* chosen = Choose(show);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(ReadControl(chosen->GetName(), "0"), "1");
}

TEST(SceneChoiceTest, AfterAChoiceTheChosenWeighsFiveAndOthersMoveTowardTheirBase) {
    ShowStage show;
    for (const char* name : {"A.RCS", "B.RCS", "C.RCS"})
        show.WriteSceneFile(name, NapScene("Type=RInShipScene\nFrequency=30\n"));
    show.Begin(1997, false);
    for (RScene* scene : show.manager->GetScenes()) scene->weight = 100.0f;  // base 60 (never chosen)
    RScene* chosen = Choose(show);
    ASSERT_NE(chosen, nullptr);
    for (RScene* scene : show.manager->GetScenes())
        EXPECT_FLOAT_EQ(scene->weight, scene == chosen ? 5.0f : 0.8f * 100 + 0.2f * 60) << scene->GetName();
}

TEST(SceneChoiceTest, PreferredNextSceneGetsTwoHundredEvenWhenItIsTheChosenOne) {
    ShowStage show;
    show.WriteSceneFile("A.RCS", NapScene("Type=RInShipScene\nPreferredNextScene=b.rcs\n"));
    show.WriteSceneFile("B.RCS", NapScene("Type=RInShipScene\nPreferredNextScene=B.RCS\nFrequency=0\n"));
    show.Begin(1997, false);
    RScene& a = *show.FindScene("A.RCS");
    RScene& b = *show.FindScene("B.RCS");
    a.weight = 1000.0f;  // all but certain
    b.weight = 0.0f;
    Choose(show);
    EXPECT_EQ(a.weight, 5.0f);
    EXPECT_EQ(b.weight, 200.0f);

    a.weight = 0.0f;
    b.weight = 1000.0f;
    show.manager->ChooseNextScene();
    EXPECT_EQ(b.weight, 200.0f);  // it prefers itself
}

TEST(SceneChoiceTest, ADrawEqualToTheFirstWeightTakesTheFirstScene) {
    ShowStage show;
    show.WriteSceneFile("A.RCS", NapScene("Type=RInShipScene\n"));
    show.WriteSceneFile("B.RCS", NapScene("Type=RInShipScene\n"));
    show.Begin(1997, false);
    // A seed whose next draw is RandomInt(60) == 30.
    std::uint32_t seed = 1;
    for (;; ++seed) {
        SeedRandom(seed);
        if (RandomInt(60) == 30) break;
    }
    for (RScene* scene : show.manager->GetScenes()) scene->weight = 30.0f;
    SeedRandom(seed);
    EXPECT_EQ(Choose(show), show.FindScene("A.RCS"));
}

TEST(SceneChoiceTest, OneSceneIsChosenWithoutADrawAndKeepsItsWeight) {
    ShowStage show;
    show.WriteSceneFile("Only.RCS", NapScene("Type=RInShipScene\nFrequency=7\n"));
    show.Begin(1997, false);
    RScene& only = *show.FindScene("Only.RCS");
    for (int i = 0; i < 3; ++i) {
        SeedRandom(42);
        show.manager->ChooseNextScene();
        EXPECT_EQ(show.manager->GetCurrentScene() == nullptr || show.manager->GetCurrentScene() == &only, true);
        if (show.manager->GetCurrentScene()) show.manager->GetCurrentScene()->Finish();
        const int next = RandomDraw();
        SeedRandom(42);
        EXPECT_EQ(next, RandomDraw());
        EXPECT_EQ(only.weight, 14.0f);
    }
}

TEST(SceneChoiceTest, ManyPicksFollowTheWeights) {
    ShowStage show;
    for (const char* name : {"A.RCS", "B.RCS", "C.RCS"}) show.WriteSceneFile(name, NapScene("Type=RInShipScene\n"));
    show.Begin(1997, false);
    const std::map<std::string, float> weights{{"A.RCS", 10}, {"B.RCS", 30}, {"C.RCS", 60}};
    std::map<std::string, int> picks;
    constexpr int kPicks = 6000;
    for (int i = 0; i < kPicks; ++i) {
        for (RScene* scene : show.manager->GetScenes()) scene->weight = weights.at(scene->GetName());
        RScene* chosen = Choose(show);
        ASSERT_NE(chosen, nullptr);
        ++picks[chosen->GetName()];
    }
    for (const auto& [name, weight] : weights)
        EXPECT_NEAR(picks[name] / double(kPicks), weight / 100.0, 0.03) << name;
}

struct WeightCase {
    std::string label, frequency;
    float base;
};
void PrintTo(const WeightCase& c, std::ostream* out) { *out << c.label; }

class SceneWeightTest : public testing::TestWithParam<WeightCase> {};

// Weights from files are kept finite, non-negative and bounded, so the
// integer total of the choice cannot overflow and the walk ends.
TEST_P(SceneWeightTest, FrequencyIsClamped) {
    ShowStage show;
    show.WriteSceneFile("A.RCS", NapScene("Type=RInShipScene\nFrequency=" + GetParam().frequency + "\n"));
    show.WriteSceneFile("B.RCS", NapScene("Type=RInShipScene\nFrequency=" + GetParam().frequency + "\n"));
    ASSERT_EQ(WriteControl("A.RCS", "1"), ControlWrite::Written);
    ASSERT_EQ(WriteControl("B.RCS", "1"), ControlWrite::Written);
    show.Begin(1997, false);
    EXPECT_EQ(show.FindScene("A.RCS")->baseFrequency, GetParam().base);
    for (int i = 0; i < 50; ++i) ASSERT_NE(Choose(show), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Frequencies, SceneWeightTest,
                         testing::Values(WeightCase{"Negative", "-5", 0.0f}, WeightCase{"Zero", "0", 0.0f},
                                         WeightCase{"NotANumber", "nan", 0.0f},
                                         WeightCase{"Infinite", "inf", RSceneManager::kMaxWeight},
                                         WeightCase{"Huge", "1e30", RSceneManager::kMaxWeight},
                                         WeightCase{"Text", "often", 0.0f}),
                         [](const testing::TestParamInfo<WeightCase>& param) { return param.param.label; });

// --- The sky

RSprite& AStar(ShowStage& show) {
    for (RComponent* component : show.GetComponents())
        if (auto* sprite = dynamic_cast<RSprite*>(component);
            sprite && TextToBool(sprite->GetTagValue("Sterretje", "False")))
            return *sprite;
    throw RException("no star in the main stream");
}

TEST(SkyTest, FrequencyIsTheNumberOfCopiesBoundedAndCopiesShareTheirImages) {
    ShowStage show;
    RSprite& star = AStar(show);
    auto count = [&](const char* frequency) {
        star.SetTag({std::string("Frequency=") + frequency, "Speed=20-50"});
        const std::size_t before = show.manager->GetIdleFloaters().size();
        show.manager->AddFloatSprite(star, 4.0f);
        return show.manager->GetIdleFloaters().size() - before;
    };
    EXPECT_EQ(count("0"), 0u);
    EXPECT_EQ(count("-3"), 0u);
    EXPECT_EQ(count("3"), 3u);
    EXPECT_EQ(count("100000"), std::size_t{RSceneManager::kMaxFloaterCopies});
    EXPECT_EQ(show.reports.size(), 1u);
    const RFloater& floater = *show.manager->GetIdleFloaters().back();
    EXPECT_EQ(floater.GetSpeedMin(), 20.0f);
    EXPECT_EQ(floater.GetSpeedMax(), 50.0f);
    EXPECT_EQ(floater.GetWeight(), 4);
    EXPECT_FALSE(floater.GetVisible());
    EXPECT_EQ(floater.GetSprite().GetFrames()[0]->GetSurface(), star.GetFrames()[0]->GetSurface());
}

TEST(SkyTest, FloatersCrossRetireAndComeBackFromTheLeft) {
    ShowStage show;
    RSprite& star = AStar(show);
    star.SetTag({"Frequency=2", "Speed=400"});
    show.manager->AddFloatSprite(star, 1.0f);
    SeedRandom(3);
    show.manager->StartShow();
    ASSERT_FALSE(show.manager->GetActiveFloaters().empty());
    bool retired = false, relaunched = false;
    for (int tick = 0; tick < 2000 && !relaunched; ++tick) {
        const std::vector<RFloater*> active = show.manager->GetActiveFloaters();
        const std::vector<float> lefts = [&] {
            std::vector<float> l;
            for (RFloater* f : active) l.push_back(f->GetLeft());
            return l;
        }();
        show.manager->SkyTick();
        for (std::size_t i = 0; i < active.size(); ++i) {
            // Every floater moves 2 x speed px per second: 20 px per 25 ms tick.
            const bool stillActive = std::count(show.manager->GetActiveFloaters().begin(),
                                                show.manager->GetActiveFloaters().end(), active[i]) > 0;
            if (stillActive) {
                EXPECT_NEAR(active[i]->GetLeft() - lefts[i], 20, 0.01);
            } else {
                retired = true;
                EXPECT_GT(lefts[i] + 20, ShowStage::kShowWidth);
                EXPECT_FALSE(active[i]->GetVisible());
            }
        }
        for (RFloater* f : show.manager->GetActiveFloaters())
            if (retired && std::find(active.begin(), active.end(), f) == active.end()) {
                relaunched = true;
                EXPECT_EQ(f->GetXPos(), -100.0f);
                EXPECT_GE(f->GetZPos(), 100.0f);
                EXPECT_LE(f->GetZPos(), 1000.0f);
            }
    }
    EXPECT_TRUE(retired);
    EXPECT_TRUE(relaunched);
}

TEST(SkyTest, StartShowCopesWithNoFloatersAndStandingFloaters) {
    {
        ShowStage show;
        show.manager->StartShow();
        EXPECT_TRUE(show.manager->IsSkyActive());
        EXPECT_TRUE(show.manager->GetActiveFloaters().empty());
    }
    {
        ShowStage show;
        RSprite& star = AStar(show);
        star.SetTag({"Frequency=5", "Speed=0"});
        show.manager->AddFloatSprite(star, 1.0f);
        show.manager->StartShow();
        // A standing floater ends the scattering: the rest wait to be launched.
        EXPECT_EQ(show.manager->GetActiveFloaters().size(), 1u);
        EXPECT_EQ(show.manager->GetIdleFloaters().size(), 4u);
    }
}

TEST(SkyTest, ShipIsPlacedInTheMiddleWithGearAndFlameIn) {
    ShowStage show;
    show.Begin();
    EXPECT_FLOAT_EQ(show.ship->GetXPos(), 400.0f);
    EXPECT_EQ(show.ship->engineAmount, 0.0f);
    EXPECT_EQ(show.ship->gearAmount, 0.0f);
    EXPECT_EQ(show.ship->scale, 1.0f);
    EXPECT_TRUE(show.ship->GetVisible());
}

TEST(SkyTest, BraxSoundsComeFromTheContentDirectoryOnlyWithSoundOn) {
    ShowStage show;
    show.Begin();
    show.RunUntil(5 * 60 * 1000.0);
    const std::vector<std::string> played = show.PlayedSounds();
    ASSERT_FALSE(played.empty());
    for (const std::string& path : played) EXPECT_EQ(path.rfind((show.dir / "Sounds" / "brax").string(), 0), 0u) << path;

    ShowStage quiet;
    quiet.SetSoundEnabled(false);
    quiet.Begin();
    quiet.RunUntil(5 * 60 * 1000.0);
    EXPECT_TRUE(quiet.PlayedSounds().empty());
}

// --- Lifetimes

TEST(SceneManagerLifetimeTest, LoadingPlayingAndUnloadingEverySceneAHundredTimesLeavesNothing) {
    const std::vector<std::string> files = BuiltSceneFiles();
    std::size_t baseline = 0;
    for (int round = 0; round < 100; ++round) {
        {
            ShowStage show(files);
            show.Begin(static_cast<std::uint32_t>(round));
            // Each scene from its start until it ends (or 3 minutes), then the next.
            for (RScene* scene : show.manager->GetScenes()) {
                if (RScene* playing = show.manager->GetCurrentScene()) playing->Finish();
                show.ship->SetMail(nullptr);
                for (RScene* other : show.manager->GetScenes()) other->weight = other == scene ? 1.0e6f : 0.0f;
                show.manager->ChooseNextScene();
                const double until = show.nowMs + (round % 10 == 0 ? 180000.0 : 5000.0);
                while (scene->IsPlaying() && show.nowMs < until) show.RunUntil(show.nowMs + 1000.0);
            }
            EXPECT_TRUE(show.reports.empty()) << show.reports.front();
        }
        if (round == 0) baseline = RComponent::LiveCount();
        ASSERT_EQ(RComponent::LiveCount(), baseline) << "round " << round;
    }
}

}  // namespace
}  // namespace quellmoor::shiptest

namespace quellmoor::shiptest {
namespace {

// A file name is a settings key; one that is not a valid key is never written.
TEST(SceneChoiceTest, AFileNameThatIsNoValidKeyLeavesTheSettingsAlone) {
    ShowStage show;
    show.WriteSceneFile("a=b;[c].RCS", NapScene("Type=RInShipScene\n"));
    ASSERT_EQ(WriteControl("Skin", "Tiger"), ControlWrite::Written);
    const std::map<std::string, std::string> before = show.Platform().Files();
    show.Begin(1997, false);
    ASSERT_EQ(show.manager->GetScenes().size(), 1u);
    show.manager->ChooseNextScene();
    EXPECT_EQ(show.Platform().Files(), before);
    EXPECT_EQ(ReadControl("Skin", ""), "Tiger");
}

}  // namespace
}  // namespace quellmoor::shiptest
