// The ship drawn from the built main stream, checked by pixels: the hull with
// the skin in its blue windows and the flame below at scale 1, a smaller ship
// on the same bottom centre at 0.5, nothing at all below one pixel, and
// changes-only composing that matches composing everything.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "animation/Sequencer.h"
#include "imaging/PngWriter.h"
#include "tests/scenes/ShipStage.h"

namespace quellmoor {
namespace {

using shiptest::ShipStage;

constexpr std::int32_t kGreen = 0x00FF00, kBlue = 0xFF0000;

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // right and bottom inclusive
};

// Where the stage image differs from the background.
Box DrawnBox(const ShipStage& stage) {
    Box box;
    for (int y = 0; y < ShipStage::kHeight; ++y)
        for (int x = 0; x < ShipStage::kWidth; ++x)
            if (stage.Pixel(x, y) != stage.BackIndex()) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

std::vector<std::uint8_t> ImageBytes(const ShipStage& stage) {
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < ShipStage::kHeight; ++y)
        for (int x = 0; x < ShipStage::kWidth; ++x) bytes.push_back(stage.Pixel(x, y));
    return bytes;
}

void SaveForViewing(const ShipStage& stage, const std::string& name) {
    SavePng(*stage.GetStageImage()->GetDib(), std::string(QM_SHIP_PNG_DIR) + "/" + name);
}

TEST(SpaceShipDraw, ScaleOneShowsHullSkinInTheBlueWindowsAndTheFlameBelow) {
    ShipStage stage;
    RSpaceShip& ship = stage.MakeShip(240, 300);
    ship.gearAmount = 0;  // the flame alone below the hull
    ASSERT_TRUE(stage.Compose());
    SaveForViewing(stage, "ship_scale_1_no_gear.png");

    const RDib& outline = *stage.Outline().GetDib();
    const RDib& skin = *stage.Skin().GetDib();
    const int ow = outline.GetWidth(), oh = outline.GetHeight(), sh = skin.GetHeight();
    const int green = outline.GetPaletteIndex(kGreen, false), blue = outline.GetPaletteIndex(kBlue, false);
    ASSERT_GE(blue, 0) << "the outline has no pure blue window";
    const int left = 240 - ow / 2, top = 300 - oh;
    int hullChecked = 0, windowsChecked = 0, skinShowing = 0, wrong = 0;
    for (int oy = 0; oy < oh; ++oy)
        for (int ox = 0; ox < ow; ++ox) {
            const int o = outline.GetPixelIndex(ox, oy);
            if (o == green) continue;  // see-through: the cabin and the mascot
            int expected = o;
            const int skinY = oy - (oh - sh);
            if (o == blue && ox < skin.GetWidth() && skinY >= 0) {
                expected = skin.GetPixelIndex(ox, skinY);
                if (expected == green) continue;  // a green skin pixel opens the hull there
                ++windowsChecked;
                if (expected != blue) ++skinShowing;
            } else {
                ++hullChecked;
            }
            if (stage.Pixel(left + ox, top + oy) != expected && wrong++ < 3)
                ADD_FAILURE() << "hull pixel (" << ox << ", " << oy << "): " << int(stage.Pixel(left + ox, top + oy))
                              << " instead of " << expected;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(hullChecked, 1000);
    EXPECT_GT(windowsChecked, 100);
    EXPECT_GT(skinShowing, 100) << "the skin does not show through the blue windows";

    // Engine 1 burns with frames of its ON_1 sequence, the flame's top at the hull's bottom edge.
    RSpriteFrame* frame = stage.Engine().GetCurFrame();
    const RDibSurface& flame = dynamic_cast<const RDibSurface&>(*frame->GetSurface());
    const RDib& flameDib = *flame.GetDib();
    const int flameLeft = static_cast<int>(std::floor(240.0f - static_cast<float>(flameDib.GetWidth()) / 2));
    int flamePixels = 0;
    for (int fy = 0; fy < flameDib.GetHeight(); ++fy)
        for (int fx = 0; fx < flameDib.GetWidth(); ++fx) {
            const int f = flameDib.GetPixelIndex(fx, fy);
            const bool shown = f != flame.GetTransIndex();
            flamePixels += shown;
            ASSERT_EQ(stage.Pixel(flameLeft + fx, 300 + fy), shown ? f : stage.BackIndex()) << fx << ", " << fy;
        }
    EXPECT_GT(flamePixels, 50);
    EXPECT_EQ(stage.Pixel(240, 300 + flameDib.GetHeight() + 1), stage.BackIndex());
}

TEST(SpaceShipDraw, GearHangsEighteenPixelsIntoTheHullAndHoverOffsetCountsIt) {
    ShipStage stage;
    RSpaceShip& ship = stage.MakeShip(240, 300);
    ship.engineAmount = 0;
    const int gh = static_cast<int>(stage.Land().GetHeight());
    const float oh = stage.Outline().GetHeight();
    EXPECT_EQ(ship.GetHoverOffset(), oh + static_cast<float>(gh) - 18);
    ship.gearAmount = 0.5f;
    EXPECT_EQ(ship.GetHoverOffset(), oh + (static_cast<float>(gh) - 18) * 0.5f);
    ship.gearAmount = 1;
    ASSERT_TRUE(stage.Compose());
    SaveForViewing(stage, "ship_scale_1.png");
    const Box box = DrawnBox(stage);
    EXPECT_EQ(box.bottom, 300 - 18 + gh - 1);  // the gear's lowest row
    ship.gearAmount = 0;
    ASSERT_TRUE(stage.Compose());
    EXPECT_EQ(DrawnBox(stage).bottom, 299);  // the hull's bottom row: no gear, no flame
}

TEST(SpaceShipDraw, HalfScaleIsHalfAsLargeOnTheSameBottomCentre) {
    ShipStage stage;
    RSpaceShip& ship = stage.MakeShip(240, 300);
    ASSERT_TRUE(stage.Compose());
    const Box whole = DrawnBox(stage);
    ship.scale = 0.5f;
    ASSERT_TRUE(stage.Compose());
    SaveForViewing(stage, "ship_scale_0.5.png");
    const Box half = DrawnBox(stage);

    const float ow = stage.Outline().GetWidth(), oh = stage.Outline().GetHeight(), gh = stage.Land().GetHeight();
    // The scaled image is the outline's width and the outline plus gear high,
    // its hull bottom at y.
    EXPECT_NEAR(half.left, 240 - ow / 4, 1.5);
    EXPECT_NEAR(half.right, 240 + ow / 4 - 1, 1.5);
    EXPECT_GE(half.top, 300 - oh / 2 - 1);
    EXPECT_LE(half.bottom, 300 + gh / 2);
    EXPECT_GE(half.bottom, 300);  // the gear and flame still hang below
    EXPECT_NEAR(half.right - half.left, (whole.right - whole.left) / 2, 2);
    EXPECT_NEAR((half.left + half.right) / 2.0, (whole.left + whole.right) / 2.0, 1);
    EXPECT_NEAR(half.top - 300, (whole.top - 300) / 2.0, 1);
}

TEST(SpaceShipDraw, ScaledImageIsComposedOnceAsTheShipWasThen) {
    ShipStage stage;
    RSpaceShip& ship = stage.MakeShip(240, 300);
    ship.scale = 0.5f;
    ASSERT_TRUE(stage.Compose());
    const auto first = ImageBytes(stage);
    ship.gearAmount = 0;
    ship.engineAmount = 0;
    ASSERT_TRUE(stage.Compose());
    EXPECT_EQ(ImageBytes(stage), first);
}

struct TinyCase {
    const char* name;
    float scale;
};
void PrintTo(const TinyCase& c, std::ostream* out) { *out << c.name; }

class SpaceShipTinyScale : public ::testing::TestWithParam<TinyCase> {};

TEST_P(SpaceShipTinyScale, DrawsNothingRatherThanStretchingOverTheStage) {
    ShipStage stage;
    RSpaceShip& ship = stage.MakeShip(240, 300);
    ship.scale = GetParam().scale;
    ASSERT_TRUE(stage.Compose());
    const Box box = DrawnBox(stage);
    EXPECT_EQ(box.right, -1) << "drawn from " << box.left << ", " << box.top << " to " << box.right << ", "
                             << box.bottom;
    EXPECT_TRUE(ship.GetDrawnRect(240, 300).IsEmpty());
}

const TinyCase kTinyCases[] = {
    {"ThreeThousandths", 0.003f},  // 320 wide becomes 0.96
    {"OneThousandth", 0.001f},
    {"Zero", 0.0f},
    {"Negative", -0.5f},
    {"NotANumber", std::numeric_limits<float>::quiet_NaN()},
    {"Infinite", std::numeric_limits<float>::infinity()},
};

INSTANTIATE_TEST_SUITE_P(Scales, SpaceShipTinyScale, ::testing::ValuesIn(kTinyCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(SpaceShipDraw, ALargeScaleIsCutToTheStage) {
    ShipStage stage;
    // The view shows the hull's middle, 100 rows above its bottom edge, tenfold.
    RSpaceShip& ship = stage.MakeShip(240, 300 + 100 * 10);
    ship.scale = 10.0f;
    ASSERT_TRUE(stage.Compose());
    EXPECT_EQ(stage.GetStageImage()->GetWidth(), static_cast<float>(ShipStage::kWidth));
    const Box box = DrawnBox(stage);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, ShipStage::kWidth - 1);
}

// --- Changes-only composing

struct Change {
    const char* name;
    void (*apply)(ShipStage&, RSpaceShip&);
};

class SpaceShipDirty : public ::testing::Test {};

TEST_F(SpaceShipDirty, EveryChangeIsRepaintedAsAWholeComposeWouldPaintIt) {
    ShipStage stage;
    RSpaceShip& ship = stage.MakeShip(240, 300);
    std::istringstream scene(shiptest::ReadFileBytes(shiptest::ContentDir() + "/Meet-Gloop-Mail.RCS"));
    auto* library = MakeOwned<RComponentManager>("Meet-Gloop-Mail.RCS", &stage);
    library->AddComponentStream(&scene);
    ship.SetMail(&library->FindComponentAs<RSprite>("VMAIL"));
    const Change changes[] = {
        {"nothing", [](ShipStage&, RSpaceShip&) {}},
        {"gear half in", [](ShipStage&, RSpaceShip& s) { s.gearAmount = 0.5f; }},
        {"flame half in", [](ShipStage&, RSpaceShip& s) { s.engineAmount = 0.3f; }},
        {"flame frames move on", [](ShipStage& st, RSpaceShip&) { st.RunUntil(st.nowMs + 700); }},
        {"engine off", [](ShipStage&, RSpaceShip& s) { s.SetEngine(false, ""); }},
        {"engine 2", [](ShipStage&, RSpaceShip& s) { s.SetEngine(true, "2"); }},
        {"moved", [](ShipStage&, RSpaceShip& s) { s.MoveTo(200, 330); }},
        {"deeper", [](ShipStage&, RSpaceShip& s) { s.SetZPos(50); }},
        {"open", [](ShipStage&, RSpaceShip& s) { s.SetOpen(true); }},
        {"closed, mascot out", [](ShipStage&, RSpaceShip& s) {
             s.SetOpen(false);
             s.SetMascotAboard(false);
         }},
        {"mascot back", [](ShipStage&, RSpaceShip& s) { s.SetMascotAboard(true); }},
        {"mail", [](ShipStage&, RSpaceShip& s) { s.ShowMail(true); }},
        {"mail rising", [](ShipStage& st, RSpaceShip&) { st.RunUntil(st.nowMs + 600); }},
        {"mail up, its frames moving on", [](ShipStage& st, RSpaceShip&) { st.RunUntil(st.nowMs + 2500); }},
        {"mail sinking", [](ShipStage& st, RSpaceShip&) { st.RunUntil(st.nowMs + 8600); }},
        {"mail gone", [](ShipStage& st, RSpaceShip&) { st.RunUntil(st.nowMs + 800); }},
        {"scaled", [](ShipStage&, RSpaceShip& s) { s.scale = 0.5f; }},
        {"scaled and moved", [](ShipStage&, RSpaceShip& s) { s.MoveTo(260, 250); }},
        {"smaller", [](ShipStage&, RSpaceShip& s) { s.scale = 0.25f; }},
        {"below a pixel", [](ShipStage&, RSpaceShip& s) { s.scale = 0.001f; }},
        {"whole again", [](ShipStage&, RSpaceShip& s) { s.scale = 1.0f; }},
        {"hidden", [](ShipStage&, RSpaceShip& s) { s.SetVisible(false); }},
        {"shown", [](ShipStage&, RSpaceShip& s) { s.SetVisible(true); }},
    };
    stage.SetPresentDirtyOnly(true);
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        change.apply(stage, ship);
        stage.Redraw();
        const auto dirtyOnly = ImageBytes(stage);
        ASSERT_TRUE(stage.Compose());
        ASSERT_EQ(dirtyOnly, ImageBytes(stage));
    }
}

TEST_F(SpaceShipDirty, AnUnchangedShipCostsNoFrame) {
    ShipStage stage;
    RSpaceShip& ship = stage.MakeShip(240, 300);
    ship.SetEngine(false, "9");  // no such engine: nothing animates
    stage.SetPresentDirtyOnly(true);
    stage.Redraw();
    const int presents = stage.presents;
    stage.Redraw();
    EXPECT_EQ(stage.presents, presents);
    EXPECT_FALSE(ship.UpdateBounds());
}

}  // namespace
}  // namespace quellmoor
