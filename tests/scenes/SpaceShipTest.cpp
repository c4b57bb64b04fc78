// The ship's state over the built content: what a new ship holds, the engine's
// sequences, the mail's rise, stay and sink on the virtual clock, and skins
// loaded from files (and kept when the file cannot be used).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "animation/Sequencer.h"
#include "imaging/PngWriter.h"
#include "model/Text.h"
#include "scenes/Report.h"
#include "tests/imaging/BmpBuilder.h"
#include "tests/scenes/ShipStage.h"

namespace quellmoor {
namespace {

using shiptest::ShipStage;

std::string CurrentSequence(const RSprite& sprite) {
    return sprite.GetCurrentSequencer() ? sprite.GetCurrentSequencer()->GetName() : "";
}

TEST(SpaceShip, ANewShipHasEveryFieldSet) {
    ShipStage stage;
    auto* ship = MakeOwned<RSpaceShip>(stage.Outline(), stage.Skin(), stage.Inside(), stage.Land(), stage.Engine(),
                                       stage.Mascot(), stage);
    EXPECT_EQ(ship->GetName(), "Enterprise");
    EXPECT_EQ(ship->GetOwner(), &stage);
    EXPECT_EQ(ship->GetXPos(), 0.0f);
    EXPECT_EQ(ship->GetYPos(), 0.0f);
    EXPECT_EQ(ship->GetZPos(), 0.0f);
    EXPECT_FALSE(ship->GetVisible());
    EXPECT_EQ(ship->engineAmount, 1.0f);
    EXPECT_EQ(ship->gearAmount, 1.0f);
    EXPECT_EQ(ship->scale, 1.0f);
    EXPECT_EQ(ship->GetMailAmount(), 0.0f);
    EXPECT_FALSE(ship->IsShowingMail());
    EXPECT_FALSE(ship->IsOpen());
    EXPECT_TRUE(ship->IsMascotAboard());
    EXPECT_FALSE(stage.Mascot().GetVisible());
    EXPECT_EQ(stage.Mascot().GetCurFrameName(), "s_l90");
    EXPECT_EQ(CurrentSequence(stage.Engine()), "ON_1");
    EXPECT_EQ(ship->GetMailTimer().GetName(), "timer_Enterprise");
    EXPECT_EQ(ship->GetMailTimer().GetInterval(), 100.0);
    EXPECT_FALSE(ship->GetMailTimer().IsEnabled());
}

TEST(SpaceShip, TheStageDeletesTheShipAndItsTimerOnce) {
    auto stage = std::make_unique<ShipStage>();
    const std::size_t timers = stage->GetTimers().size();
    stage->MakeShip();
    EXPECT_EQ(stage->GetTimers().size(), timers + 1);
    stage.reset();  // ASan catches a second deletion of the embedded timer
}

struct EngineCase {
    const char* name;
    bool on;
    const char* type;
    const char* expected;
};
void PrintTo(const EngineCase& c, std::ostream* out) { *out << c.name; }

class SpaceShipEngine : public ::testing::TestWithParam<EngineCase> {};

TEST_P(SpaceShipEngine, RunsTheNamedSequenceEndlessly) {
    ShipStage stage;
    RSpaceShip& ship = stage.MakeShip();
    ship.SetEngine(true, "2");
    ship.SetEngine(GetParam().on, GetParam().type);
    EXPECT_EQ(CurrentSequence(stage.Engine()), GetParam().expected);
    if (RPixieSequencer* running = stage.Engine().GetCurrentSequencer()) {
        EXPECT_EQ(running->GetRepeatCount(), -1);
    }
}

const EngineCase kEngineCases[] = {
    {"OffKeepsTheType", false, "", "OFF_2"},
    {"OnKeepsTheType", true, "", "ON_2"},
    {"OtherType", true, "1", "ON_1"},
    {"OffOfAnotherType", false, "1", "OFF_1"},
    {"MissingTypeStartsNothing", true, "7", ""},
};

INSTANTIATE_TEST_SUITE_P(Types, SpaceShipEngine, ::testing::ValuesIn(kEngineCases),
                         [](const auto& test) { return std::string(test.param.name); });

// --- Mail

class SpaceShipMail : public ::testing::Test {
protected:
    void SetUp() override {
        std::istringstream in(shiptest::ReadFileBytes(shiptest::ContentDir() + "/Meet-Gloop-Mail.RCS"));
        library = MakeOwned<RComponentManager>("Meet-Gloop-Mail.RCS", &stage);
        library->AddComponentStream(&in);
        mail = &library->FindComponentAs<RSprite>("VMAIL");
        ship = &stage.MakeShip();
    }

    ShipStage stage;
    RComponentManager* library = nullptr;
    RSprite* mail = nullptr;
    RSpaceShip* ship = nullptr;
};

TEST_F(SpaceShipMail, RisesOverOnePointTwoSecondsStaysAndSinks) {
    stage.nowMs = 5000;
    ship->SetMail(mail);
    ship->ShowMail(true);
    EXPECT_TRUE(ship->IsShowingMail());
    EXPECT_EQ(CurrentSequence(*mail), "DEFAULT");
    EXPECT_EQ(stage.Mascot().GetCurFrameName(), "s_l135");
    EXPECT_TRUE(ship->GetMailTimer().IsEnabled());
    struct Point {
        int tick;
        float amount;
    };
    const Point points[] = {{0, 0.0f},    {1, 0.083333336f},       {6, 0.083333336f * 6}, {11, 0.083333336f * 11},
                            {12, 1.0f},   {60, 1.0f},              {111, 1.0f},          {112, 1.0f},
                            {115, 0.75f}, {118, 1.0f - 6 / 12.0f}, {123, 1.0f - 11 / 12.0f}};
    for (const Point& point : points) {
        SCOPED_TRACE(point.tick);
        stage.RunUntil(5000 + 100.0 * point.tick);
        EXPECT_FLOAT_EQ(ship->GetMailAmount(), point.amount);
        EXPECT_TRUE(ship->GetMailTimer().IsEnabled());
    }
    stage.RunUntil(5000 + 100.0 * 124);
    EXPECT_EQ(ship->GetMailAmount(), 0.0f);
    EXPECT_FALSE(ship->GetMailTimer().IsEnabled());
    EXPECT_FALSE(ship->IsShowingMail());
}

TEST_F(SpaceShipMail, TimerStopsAlsoWhenTheMailSequenceEndedByItself) {
    ship->SetMail(mail);
    ship->ShowMail(true);
    stage.RunUntil(3000);
    mail->Stop();  // as when its last pass ends
    EXPECT_FALSE(ship->IsShowingMail());
    stage.RunUntil(100.0 * 124);
    EXPECT_FALSE(ship->GetMailTimer().IsEnabled());
    EXPECT_EQ(ship->GetMailAmount(), 0.0f);
}

TEST_F(SpaceShipMail, ShowingAgainOrHidingTwiceChangesNothing) {
    ship->SetMail(mail);
    ship->ShowMail(true);
    stage.RunUntil(500);
    ship->ShowMail(true);  // already showing: the rise goes on
    stage.RunUntil(600);
    EXPECT_FLOAT_EQ(ship->GetMailAmount(), 0.5f);
    ship->SetMail(nullptr);  // stops the one showing
    EXPECT_FALSE(mail->GetCurrentSequencer());
    EXPECT_FALSE(ship->GetMailTimer().IsEnabled());
    EXPECT_EQ(ship->GetMailAmount(), 0.0f);
    ship->ShowMail(false);
    EXPECT_FALSE(ship->IsShowingMail());
}

TEST_F(SpaceShipMail, AMailSpriteWithoutSequencesIsNeverShown) {
    auto* bare = MakeOwned<RSprite>("BareMail", &stage);
    ship->SetMail(bare);
    ship->ShowMail(true);
    EXPECT_FALSE(ship->IsShowingMail());
    EXPECT_FALSE(ship->GetMailTimer().IsEnabled());
    EXPECT_EQ(stage.Mascot().GetCurFrameName(), "s_l90");
}

TEST_F(SpaceShipMail, AMailSpriteWithoutDefaultIsReportedAndNotShown) {
    std::vector<std::string> reports;
    ForgetReports();
    SetReportSink([&reports](const std::string& m) { reports.push_back(m); });
    RSprite& other = stage.Engine();  // has sequences, none named DEFAULT
    ship->SetEngine(true, "none");     // and none running
    ship->SetMail(&other);
    ship->ShowMail(true);
    SetReportSink({});
    ForgetReports();
    EXPECT_FALSE(ship->GetMailTimer().IsEnabled());
    EXPECT_EQ(stage.Mascot().GetCurFrameName(), "s_l90");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "The mail sprite Ship-Engine has no sequence DEFAULT; it is not shown.");
}

// --- Skins

class SpaceShipSkin : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::path(QM_SHIP_PNG_DIR) / "ship-skin-test" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "Skins");
        ForgetReports();
        SetReportSink([this](const std::string& m) { reports.push_back(m); });
    }
    void TearDown() override {
        SetReportSink({});
        ForgetReports();
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        const auto path = dir / "Skins" / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    std::filesystem::path dir;
    std::vector<std::string> reports;
};

// Stored rows of a skin the size of the stream's, in indices none of which is
// the hull's see-through green.
std::vector<std::uint8_t> SkinRows(int width, int height, int green) {
    std::vector<std::uint8_t> rows;
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < test::TestStride(width); ++x) {
            auto index = static_cast<std::uint8_t>(100 + (x / 4 + r / 4) % 40);
            if (index == green) ++index;
            rows.push_back(index);
        }
    return rows;
}

std::vector<std::uint8_t> Pixels(const ShipStage& stage) {
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < ShipStage::kHeight; ++y)
        for (int x = 0; x < ShipStage::kWidth; ++x) bytes.push_back(stage.Pixel(x, y));
    return bytes;
}

struct SkinSize {
    const char* name;
    int width, height;  // 0: the stream skin's
};
void PrintTo(const SkinSize& c, std::ostream* out) { *out << c.name; }

class SpaceShipSkinFile : public SpaceShipSkin, public ::testing::WithParamInterface<SkinSize> {};

// Only the outline's blue windows change: they show the new skin where it
// reaches (it sits at the hull's bottom left) and the outline's blue elsewhere.
TEST_P(SpaceShipSkinFile, ChangesExactlyTheBlueWindowPixels) {
    ShipStage before;
    before.MakeShip(240, 300);
    ASSERT_TRUE(before.Compose());

    ShipStage after;
    const RDib& outline = *after.Outline().GetDib();
    const int ow = outline.GetWidth(), oh = outline.GetHeight();
    test::BmpSpec spec;
    spec.width = GetParam().width ? GetParam().width : after.Skin().GetDib()->GetWidth();
    spec.height = GetParam().height ? GetParam().height : after.Skin().GetDib()->GetHeight();
    const int sw = spec.width, sh = spec.height;
    spec.rows = SkinRows(sw, sh, outline.GetPaletteIndex(0x00FF00, false));
    Write("Stripes.bmp", test::BuildBmp(spec));
    ASSERT_TRUE(LoadShipSkin(after, dir.string(), "stripes"));  // found without regard to case
    EXPECT_TRUE(reports.empty());
    const RDib& skin = *after.Skin().GetDib();
    ASSERT_EQ(skin.GetWidth(), sw);
    after.MakeShip(240, 300);
    ASSERT_TRUE(after.Compose());

    const int blue = outline.GetPaletteIndex(0xFF0000, false);
    const auto old = Pixels(before), now = Pixels(after);
    int skinShown = 0;
    for (int y = 0; y < ShipStage::kHeight; ++y)
        for (int x = 0; x < ShipStage::kWidth; ++x) {
            const int ox = x - (240 - ow / 2), oy = y - (300 - oh);
            const bool window = ox >= 0 && ox < ow && oy >= 0 && oy < oh && outline.GetPixelIndex(ox, oy) == blue;
            const bool underSkin = ox < sw && oy >= oh - sh;
            const std::size_t at = static_cast<std::size_t>(y) * ShipStage::kWidth + static_cast<std::size_t>(x);
            if (window && underSkin) {
                ++skinShown;
                ASSERT_EQ(now[at], skin.GetPixelIndex(ox, oy - (oh - sh))) << x << ", " << y;
            } else if (window) {
                ASSERT_EQ(now[at], blue) << x << ", " << y;
            } else {
                ASSERT_EQ(now[at], old[at]) << "changed outside the blue windows at " << x << ", " << y;
            }
        }
    EXPECT_GT(skinShown, 100);
    EXPECT_NE(old, now);
    SavePng(*after.GetStageImage()->GetDib(),
            std::string(QM_SHIP_PNG_DIR) + "/ship_skin_" + GetParam().name + ".png");
}

const SkinSize kSkinSizes[] = {
    {"StreamSize", 0, 0},
    {"SmallerThanTheHull", 150, 60},
    {"LargerThanTheHull", 900, 400},
};

INSTANTIATE_TEST_SUITE_P(Sizes, SpaceShipSkinFile, ::testing::ValuesIn(kSkinSizes),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(SpaceShipSkin, NoSkinNameKeepsTheStreamSkinSilently) {
    ShipStage stage;
    EXPECT_FALSE(LoadShipSkin(stage, dir.string(), ""));
    EXPECT_TRUE(reports.empty());
}

TEST_F(SpaceShipSkin, AMissingSkinIsReportedOnce) {
    ShipStage stage;
    EXPECT_FALSE(LoadShipSkin(stage, dir.string(), "Gold"));
    EXPECT_FALSE(LoadShipSkin(stage, dir.string(), "Gold"));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "The skin Gold was not found in the Skins folder of " + dir.string() +
                              "; the ship keeps its own skin.");
}

struct BadSkin {
    const char* name;
    std::string bytes;
    const char* message;
};
void PrintTo(const BadSkin& c, std::ostream* out) { *out << c.name; }

class SpaceShipBadSkin : public SpaceShipSkin, public ::testing::WithParamInterface<BadSkin> {};

TEST_P(SpaceShipBadSkin, KeepsTheStreamSkinAndReportsWhy) {
    ShipStage stage;
    const RDib kept = *stage.Skin().GetDib();
    const std::int32_t keptTrans = stage.Skin().GetTransColor();
    const std::string path = Write("Bad.bmp", GetParam().bytes);
    EXPECT_FALSE(LoadShipSkinFile(stage, path));
    const RDib& skin = *stage.Skin().GetDib();
    ASSERT_EQ(skin.GetWidth(), kept.GetWidth());
    ASSERT_EQ(skin.GetHeight(), kept.GetHeight());
    EXPECT_TRUE(std::equal(skin.GetBits(), skin.GetBits() + skin.GetStride() * skin.GetHeight(), kept.GetBits()));
    EXPECT_EQ(stage.Skin().GetTransColor(), keptTrans);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "The skin file " + path + " could not be used (" + GetParam().message +
                              "); the ship keeps its own skin.");
    // The show goes on with the stream's skin.
    EXPECT_NO_THROW(stage.MakeShip());
}

std::string FourBit() {
    test::BmpSpec spec;
    spec.bitCount = 4;
    spec.paletteEntries = 16;
    return test::BuildBmp(spec);
}

std::string TwentyFourBit() {
    test::BmpSpec spec;
    spec.width = 64;
    spec.height = 32;
    spec.bitCount = 24;
    spec.paletteEntries = 0;
    return test::BuildBmp(spec);
}

std::string Compressed() {
    test::BmpSpec spec;
    spec.compression = 1;
    return test::BuildBmp(spec);
}

std::string Truncated() {
    test::BmpSpec spec;
    spec.width = 64;
    spec.height = 64;
    const std::string whole = test::BuildBmp(spec);
    return whole.substr(0, whole.size() / 2);
}

const BadSkin kBadSkins[] = {
    {"Empty", "", "Not a bitmap file"},
    {"NotABitmap", "[Vexmon]\r\nSkin=Gold\r\n", "Not a bitmap file"},
    {"FourBits", FourBit(), "Only 8 bit DIBs are supported"},
    {"TwentyFourBits", TwentyFourBit(), "Only 8 bit DIBs are supported"},
    {"RunLengthCoded", Compressed(), "Only 8 bit DIBs are supported"},
    {"Truncated", Truncated(), "The bitmap file ends before its last pixel row."},
};

INSTANTIATE_TEST_SUITE_P(Files, SpaceShipBadSkin, ::testing::ValuesIn(kBadSkins),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(SpaceShipSkin, AFileThatVanishedIsReported) {
    ShipStage stage;
    const std::string path = (dir / "Skins" / "Gone.bmp").string();
    EXPECT_FALSE(LoadShipSkinFile(stage, path));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "The skin file " + path + " could not be used (Not a bitmap file); the ship keeps its own skin.");
}

}  // namespace
}  // namespace quellmoor
