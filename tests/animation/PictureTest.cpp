#include "animation/Picture.h"

#include <gtest/gtest.h>

#include "tests/animation/TestStage.h"

namespace quellmoor {
namespace {

using namespace testing;

std::string PictureObject(const std::string& name, const std::string& transparent, float x, float y, float z) {
    const std::string bmp = Bitmap({"1221", "2112"});
    return Object("RPicture", name,
                  Pair("XPos", std::to_string(static_cast<int>(x))) + Pair("YPos", std::to_string(static_cast<int>(y))) +
                      Pair("ZPos", std::to_string(static_cast<int>(z))) + Pair("Visible", "True") +
                      Pair("FileName", "$\\Scenes\\Images\\door.bmp") + Pair("TransColor", "RGB24:00FF00") +
                      Token("Surface") + Record(bmp) + Pair("Transparent", transparent));
}

TEST(Picture, LoadsAndDrawsWithItsTransparentColour) {
    TestStage stage;
    stage.Load(Stream("", PictureObject("Door", "True", 3, 2, 0)));
    auto& door = stage.FindComponentAs<RPicture>("door");
    EXPECT_EQ(door.GetWidth(), 4);
    EXPECT_EQ(door.GetHeight(), 2);
    EXPECT_TRUE(door.GetVisible());
    stage.Redraw();
    // Row "1221": red, green (see-through), green, red.
    EXPECT_EQ(stage.Pixel(3, 2), 1);
    EXPECT_EQ(stage.Pixel(4, 2), 9);
    EXPECT_EQ(stage.Pixel(5, 2), 9);
    EXPECT_EQ(stage.Pixel(6, 2), 1);
    EXPECT_EQ(stage.Pixel(3, 3), 9);
    EXPECT_EQ(stage.Pixel(4, 3), 1);
    EXPECT_EQ(stage.Presents(), 1);
}

TEST(Picture, OpaqueUntilSetTransparentIsCalledAgain) {
    TestStage stage;
    stage.Load(Stream("", PictureObject("Door", "False", 0, 0, 0)));
    auto& door = stage.FindComponentAs<RPicture>("Door");
    stage.Redraw();
    EXPECT_EQ(stage.Pixel(1, 0), 2);
    door.SetTransColor(0xFF0000);  // no effect until SetTransparent
    stage.Redraw();
    EXPECT_EQ(stage.Pixel(0, 0), 1);
    door.SetTransColor(0x00FF00);
    door.SetTransparent(true);
    stage.Redraw();
    EXPECT_EQ(stage.Pixel(1, 0), 9);
}

TEST(Picture, DepthOrderAndClippingAtTheEdges) {
    TestStage stage;
    stage.Load(Stream("", PictureObject("Far", "False", 62, 46, 3) + PictureObject("Near", "False", 61, 46, -43)));
    stage.Redraw();
    // "Near" (smaller depth) is drawn last, on top; both are clipped at the right and bottom edges.
    EXPECT_EQ(stage.Pixel(61, 46), 1);
    EXPECT_EQ(stage.Pixel(62, 46), 2);
    EXPECT_EQ(stage.Pixel(63, 46), 2);
    EXPECT_EQ(stage.Pixel(63, 47), 1);
}

TEST(Picture, SurfaceWithWrongDeclaredLengthIsRejected) {
    TestStage stage;
    const std::string bmp = Bitmap({"12"});
    const std::string body = Token("Surface") + Int(static_cast<long>(bmp.size()) + 3) + bmp + "abc";
    try {
        stage.Load(Stream("", Object("RPicture", "Bad", body)));
        FAIL();
    } catch (const RStreamException& e) {
        EXPECT_EQ(e.GetMessage(), "LoadPropFromStream; Invalid length.");
    }
}

TEST(Picture, UpdateBoundsMarksOldAndNewAreas) {
    TestStage stage;
    stage.Load(Stream("", PictureObject("Door", "True", 10, 10, 0)));
    auto& door = stage.FindComponentAs<RPicture>("Door");
    EXPECT_TRUE(door.UpdateBounds());
    EXPECT_FALSE(door.UpdateBounds());
    door.SetVisible(false);
    stage.ClearDirtyRects();
    EXPECT_TRUE(door.UpdateBounds());
    ASSERT_EQ(stage.GetDirtyRects().size(), 1u);
    EXPECT_EQ(stage.GetDirtyRects()[0], (RRect{10, 10, 5, 3}));
    stage.ClearDirtyRects();
    EXPECT_TRUE(door.UpdateBounds());  // the stored width stays 0 while hidden
    EXPECT_TRUE(stage.GetDirtyRects().empty());
}

TEST(Picture, PresentingOnlyChangesShowsWhereItWasAndWhereItIs) {
    TestStage stage;
    stage.Load(Stream("", PictureObject("Door", "True", 10, 10, 0)));
    auto& door = stage.FindComponentAs<RPicture>("Door");
    stage.SetPresentDirtyOnly(true);
    stage.ClearDirtyRects();
    stage.Redraw();
    ASSERT_EQ(stage.presents, 1);
    EXPECT_EQ(stage.presentedRects, (std::vector<RRect>{{10, 10, 5, 3}}));  // whole pixels touched

    stage.Redraw();  // nothing moved
    EXPECT_EQ(stage.presents, 1);

    door.MoveTo(30, 20);
    stage.Redraw();
    ASSERT_EQ(stage.presents, 2);
    EXPECT_EQ(stage.presentedRects, (std::vector<RRect>{{10, 10, 5, 3}, {30, 20, 5, 3}}));
    EXPECT_EQ(stage.Pixel(10, 10), 9);  // background again where it was

    door.SetVisible(false);
    stage.Redraw();
    ASSERT_EQ(stage.presents, 3);
    EXPECT_EQ(stage.presentedRects, (std::vector<RRect>{{30, 20, 5, 3}}));
    EXPECT_EQ(stage.Pixel(30, 20), 9);
}

// 20 x 20 (over the 256-pixel limit): a red top row over blue.
std::vector<std::string> WideRows() {
    std::vector<std::string> rows(20, std::string(20, '3'));
    rows[0] = std::string(20, '1');
    return rows;
}

TEST(Picture, ClipListDrawsOnlyInsideTheClips) {
    TestStage stage;
    stage.Load(Stream("", Object("RPicture", "Wide", Token("Surface") + Record(Bitmap(WideRows())))));
    auto& wide = stage.FindComponentAs<RPicture>("Wide");
    const std::vector<RRect> clips{{2, 0, 3, 1}, {10, 1, 2, 5}};
    wide.Draw(*stage.GetStageImage(), 0, 0, &clips);
    EXPECT_EQ(stage.Pixel(1, 0), 9);
    EXPECT_EQ(stage.Pixel(2, 0), 1);
    EXPECT_EQ(stage.Pixel(4, 0), 1);
    EXPECT_EQ(stage.Pixel(5, 0), 9);
    EXPECT_EQ(stage.Pixel(10, 0), 9);
    EXPECT_EQ(stage.Pixel(10, 1), 3);  // the bottom row of the picture, not the top
    EXPECT_EQ(stage.Pixel(2, 1), 9);
}

}  // namespace
}  // namespace quellmoor
