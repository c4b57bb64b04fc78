// The show's start-up (BuildShow) over the built main stream and content, and
// the sky it makes: stars of weight 4 behind the ship, each playing its
// sequence for the stretch of the window it is in.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "animation/Sequencer.h"
#include "scenes/Floater.h"
#include "scenes/Show.h"
#include "tests/scenes/ShowStage.h"

namespace quellmoor::shiptest {
namespace {

// The built main stream on an 800 x 600 windowless stage, nothing built yet.
class BareStage : private CurrentHeadless, public ShipStage {
public:
    BareStage() : ShipStage(800, 600) {
        dir = std::filesystem::temp_directory_path() /
              ("vexmon-showtest-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "Skins");
        SetReportSink([this](const std::string& message) { reports.push_back(message); });
    }
    ~BareStage() override {
        SetReportSink({});
        ForgetReports();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    std::vector<std::uint8_t> SkinPixels() const {
        const RDib& dib = *Skin().GetDib();
        std::vector<std::uint8_t> pixels;
        for (int y = 0; y < dib.GetHeight(); ++y)
            for (int x = 0; x < dib.GetWidth(); ++x) pixels.push_back(dib.GetPixelIndex(x, y));
        return pixels;
    }

    std::vector<RFloater*> Floaters(const BuiltShow& show) const {
        std::vector<RFloater*> all = show.manager->GetActiveFloaters();
        const auto& idle = show.manager->GetIdleFloaters();
        all.insert(all.end(), idle.begin(), idle.end());
        return all;
    }

    std::filesystem::path dir;
    std::vector<std::string> reports;
};

ShowSettings Settings(const std::string& dir, std::uint32_t seed, const std::string& skin = "",
                      const std::string& engine = "1") {
    return {.dir = dir, .seed = seed, .skin = skin, .engine = engine};
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

TEST(BuildShowTest, BuildsTheWholeShowFromTheBuiltContent) {
    BareStage stage;
    const BuiltShow show = BuildShow(stage, Settings(ContentDir(), 1997, "", "2"));
    ASSERT_NE(show.ship, nullptr);
    ASSERT_NE(show.manager, nullptr);
    EXPECT_EQ(stage.FindComponent("Enterprise"), show.ship);
    EXPECT_EQ(stage.FindComponent("DeepThought"), show.manager);
    EXPECT_EQ(show.manager->GetScenes().size(), 11u);
    EXPECT_EQ(show.manager->GetFloatLibraries().size(), 2u);
    EXPECT_TRUE(show.manager->IsSkyActive());
    EXPECT_TRUE(show.manager->IsEnabled());
    EXPECT_EQ(show.manager->GetDir(), ContentDir());
    EXPECT_FALSE(stage.Mascot().GetVisible());
    EXPECT_TRUE(show.ship->GetVisible());
    EXPECT_FLOAT_EQ(show.ship->GetXPos(), 400);
    ASSERT_NE(stage.Engine().GetCurrentSequencer(), nullptr);
    EXPECT_EQ(stage.Engine().GetCurrentSequencer()->GetName(), "ON_2");
    EXPECT_TRUE(stage.reports.empty()) << stage.reports.front();
}

class MissingPartTest : public ::testing::TestWithParam<const char*> {};

TEST_P(MissingPartTest, NamesThePartExactly) {
    BareStage stage;
    stage.UnregisterComponent(stage.FindComponent(GetParam()));
    try {
        BuildShow(stage, Settings(stage.dir.string(), 1));
        FAIL() << "built a show without " << GetParam();
    } catch (const RException& e) {
        EXPECT_EQ(e.GetMessage(), std::string("component ") + GetParam() + " not found.");
    }
    EXPECT_EQ(stage.FindComponent("Enterprise"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Parts, MissingPartTest,
                         ::testing::Values("Ship-Outline", "Ship-Skin", "Ship-Inside", "Ship-Engine", "Ship-Land",
                                           "Vexmon"),
                         [](const auto& param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(BuildShowTest, ABuiltSkinReplacesTheStreamsSkin) {
    BareStage stage;
    const auto before = stage.SkinPixels();
    BuildShow(stage, Settings(ContentDir(), 1, "Tiger"));
    EXPECT_NE(stage.SkinPixels(), before);
    EXPECT_TRUE(stage.reports.empty()) << stage.reports.front();
}

struct BadSkin {
    const char* name;
    const char* bytes;  // written to Skins/<name>.bmp; null writes nothing
    const char* report;
};

void PrintTo(const BadSkin& skin, std::ostream* os) { *os << skin.name; }

class BadSkinTest : public ::testing::TestWithParam<BadSkin> {};

TEST_P(BadSkinTest, KeepsTheStreamsSkinAndTheShowGoesOn) {
    BareStage stage;
    if (GetParam().bytes)
        std::ofstream(stage.dir / "Skins" / (std::string(GetParam().name) + ".bmp"), std::ios::binary)
            << GetParam().bytes;
    const auto before = stage.SkinPixels();
    const BuiltShow show = BuildShow(stage, Settings(stage.dir.string(), 1, GetParam().name));
    EXPECT_EQ(stage.SkinPixels(), before);
    ASSERT_EQ(stage.reports.size(), 1u);
    std::string expected = GetParam().report;
    const std::string path = (stage.dir / "Skins" / (std::string(GetParam().name) + ".bmp")).string();
    if (auto at = expected.find("$PATH"); at != std::string::npos) expected.replace(at, 5, path);
    if (auto at = expected.find("$DIR"); at != std::string::npos) expected.replace(at, 4, stage.dir.string());
    EXPECT_EQ(stage.reports.front(), expected);
    EXPECT_TRUE(show.manager->IsSkyActive());
}

INSTANTIATE_TEST_SUITE_P(
    Skins, BadSkinTest,
    ::testing::Values(
        BadSkin{"Missing", nullptr,
                "The skin Missing was not found in the Skins folder of $DIR; the ship keeps its own skin."},
        BadSkin{"Garbage", "this is no bitmap",
                "The skin file $PATH could not be used (Not a bitmap file); the ship keeps its own skin."}),
    [](const auto& param) { return std::string(param.param.name); });

// Copies are named by their template plus one character (none for the first).
std::string TemplateOf(const std::string& copy, const std::vector<std::string>& templates) {
    for (const std::string& name : templates)
        if (StartsWith(copy, name) && copy.size() <= name.size() + 1) return name;
    return {};
}

TEST(BuildShowTest, StarsWeighFourAndStartBehindTheShip) {
    BareStage stage;
    const BuiltShow show = BuildShow(stage, Settings(ContentDir(), 1997));
    const std::vector<std::string> stars = {"Star-Far", "Star-Mid", "Star-Near", "Star-Red"};
    std::map<std::string, int> copies;
    int libraryFloaters = 0;
    for (RFloater* floater : stage.Floaters(show)) {
        const std::string name = floater->GetSprite().GetName();
        if (const std::string star = TemplateOf(name, stars); !star.empty()) {
            ++copies[star];
            EXPECT_EQ(floater->GetWeight(), 4) << name;
        } else {
            ++libraryFloaters;
            EXPECT_EQ(floater->GetWeight(), 1) << name;
        }
        // The ship (z = 1) is drawn after every pixie deeper than itself.
        EXPECT_GT(floater->GetZPos(), show.ship->GetZPos()) << name;
    }
    EXPECT_EQ(copies, (std::map<std::string, int>{{"Star-Far", 45}, {"Star-Mid", 16}, {"Star-Near", 5}, {"Star-Red", 3}}));
    EXPECT_EQ(libraryFloaters, 2 + 1 + 1 + 2);
    // The first scatter keeps each star's depth from its template.
    int scattered = 0;
    for (RFloater* floater : show.manager->GetActiveFloaters())
        if (const std::string star = TemplateOf(floater->GetSprite().GetName(), stars); !star.empty()) {
            EXPECT_FLOAT_EQ(floater->GetZPos(), stage.FindComponentAs<RSprite>(star).GetZPos());
            ++scattered;
        }
    EXPECT_GT(scattered, 0);
}

// The middle star's way: Pre from the launch at x = -100 up to StartX + W/2
// (150 at 800 x 600), During up to EndX + H/2 (450), Post after that.
TEST(SkyTest, TheMiddleStarPlaysItsPreSequenceAfterItsLaunch) {
    BareStage stage;
    const BuiltShow show = BuildShow(stage, Settings(stage.dir.string(), 1997));
    const RSprite& middle = stage.FindComponentAs<RSprite>("Star-Mid");
    const std::string pre = middle.GetTagValue("Pre", ""), during = middle.GetTagValue("During", "");
    ASSERT_FALSE(pre.empty());
    int preTicks = 0, duringTicks = 0;
    std::vector<RFloater*> launched;
    for (double t = 25; t <= 120'000; t += 25) {
        stage.RunUntil(t);
        for (RFloater* floater : show.manager->GetActiveFloaters()) {
            if (!StartsWith(floater->GetSprite().GetName(), "Star-Mid")) continue;
            ASSERT_FLOAT_EQ(floater->GetStartX(), 150);
            ASSERT_FLOAT_EQ(floater->GetEndX(), 450);
            // Left of every scattered star: it came in from the left edge.
            if (floater->GetXPos() < 0 && std::find(launched.begin(), launched.end(), floater) == launched.end())
                launched.push_back(floater);
            if (std::find(launched.begin(), launched.end(), floater) == launched.end()) continue;
            const RPixieSequencer* playing = floater->GetSprite().GetCurrentSequencer();
            ASSERT_NE(playing, nullptr) << "at " << t << " ms";
            const float left = floater->GetLeft();
            if (left < floater->GetStartX()) {
                EXPECT_EQ(playing->GetName(), pre) << "at " << t << " ms, left " << left;
                ++preTicks;
            } else if (left < floater->GetEndX()) {
                EXPECT_EQ(playing->GetName(), during) << "at " << t << " ms, left " << left;
                ++duringTicks;
            }
        }
    }
    EXPECT_GE(launched.size(), 2u);
    EXPECT_GT(preTicks, 0);
    EXPECT_GT(duringTicks, 0);
}

}  // namespace
}  // namespace quellmoor::shiptest
