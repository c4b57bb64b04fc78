// Composing and presenting only what changed must give the same picture as
// composing everything: random moves, hides, depth changes, new frames, flips,
// balloon pages and deletions, checked frame by frame against a whole compose.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "animation/Balloon.h"
#include "animation/Picture.h"
#include "animation/Sprite.h"
#include "imaging/Dib.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/text/FontDrawingContext.h"
#include "tests/animation/TestStage.h"

namespace quellmoor {
namespace {

using namespace testing;

constexpr int kWidth = 96, kHeight = 64;

std::vector<std::string> Rows(int width, int height, int seed) {
    // Digits 1-9 with see-through '2' patches, so keyed drawing is exercised.
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) row += (x + y + seed) % 5 == 0 ? '2' : static_cast<char>('3' + (x * 3 + y + seed) % 7);
        rows.push_back(row);
    }
    return rows;
}

std::string PictureSource(const std::string& name, int width, int height, int z) {
    return Object("RPicture", name,
                  Pair("XPos", "5") + Pair("YPos", "5") + Pair("ZPos", std::to_string(z)) + Pair("Visible", "True") +
                      Pair("TransColor", "RGB24:00FF00") + Token("Surface") + Record(Bitmap(Rows(width, height, z))) +
                      Pair("Transparent", "True"));
}

std::string SpriteSource(const std::string& name, int z) {
    // A small frame, a frame of another size, and one over the 256-pixel limit.
    const std::vector<FrameSource> frames{
        {"small", Rows(6, 5, 1)}, {"wide", Rows(9, 4, 2)}, {"big", Rows(18, 16, 3)}};
    return Object("RSprite", name,
                  Pair("XPos", "20") + Pair("YPos", "20") + Pair("ZPos", std::to_string(z)) + Pair("Visible", "True") +
                      Pair("CurFrameName", "small") + Token("FrameList") + FrameList(frames));
}

class DirtyCompose : public ::testing::Test {
protected:
    void SetUp() override { platform::SetCurrentPlatform(&host); }
    void TearDown() override { platform::SetCurrentPlatform(nullptr); }

    static std::vector<std::uint8_t> Pixels(const TestStage& stage) {
        std::vector<std::uint8_t> out;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) out.push_back(stage.Pixel(x, y));
        return out;
    }

    // "" when equal, else the first differing pixel.
    static std::string FirstDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                return "at (" + std::to_string(i % kWidth) + "," + std::to_string(i / kWidth) + "): " +
                       std::to_string(a[i]) + " instead of " + std::to_string(b[i]);
        return "";
    }

    platform::HeadlessPlatform host{{.drawingContexts = CreateFontDrawingContext}};
};

TEST_F(DirtyCompose, MatchesAWholeComposeAfterEveryChange) {
    TestStage stage(kWidth, kHeight);
    // A patterned background shows a restore at the wrong place.
    RDib& background = *stage.GetBackground()->GetDib();
    for (int i = 0; i < background.GetStride() * background.GetHeight(); ++i)
        background.GetBits()[i] = static_cast<std::uint8_t>(10 + i * 7 % 200);
    stage.Load(Stream("", PictureSource("Hill", 30, 20, 8) + PictureSource("Stone", 4, 3, 2) +
                              PictureSource("Rock", 12, 12, 5) + SpriteSource("Walker", 3) +
                              SpriteSource("Flyer", 6)));
    std::vector<RPixie*> pixies;
    for (const char* name : {"Hill", "Stone", "Rock", "Walker", "Flyer"})
        pixies.push_back(&stage.FindComponentAs<RPixie>(name));
    auto* balloon = MakeOwned<RBalloon>("Balloon", &stage);
    stage.RegisterComponent(balloon);

    stage.SetPresentDirtyOnly(true);
    stage.Redraw();
    std::vector<std::uint8_t> screen = Pixels(stage);  // what a window would show

    std::mt19937 random(2024);
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int changes = 1 + pick(3);
        std::string done;
        for (int c = 0; c < changes; ++c) {
            RPixie* pixie = pixies[static_cast<std::size_t>(pick(static_cast<int>(pixies.size())))];
            auto* sprite = dynamic_cast<RSprite*>(pixie);
            const int action = pick(7);
            done += pixie->GetName() + " " + std::to_string(action) + "; ";
            switch (action) {
            case 0:  // anywhere, partly outside too, at fractional places
                pixie->MoveTo(static_cast<float>(pick(kWidth + 20) - 10) + 0.5f * static_cast<float>(pick(2)),
                              static_cast<float>(pick(kHeight + 20) - 10));
                break;
            case 1:
                pixie->SetVisible(!pixie->GetVisible());
                break;
            case 2:
                pixie->SetZPos(static_cast<float>(pick(10)));
                break;
            case 3:
                if (sprite) sprite->SetCurFrameName(std::vector<std::string>{"small", "wide", "big"}[pick(3)]);
                break;
            case 4:
                if (sprite) sprite->mirrorHorizontal = !sprite->mirrorHorizontal;
                break;
            case 5:
                if (pick(2))
                    balloon->Say({pick(2) ? "Hi!" : "A much longer page of talk", "***", "Bye"},
                                 static_cast<float>(20 + pick(60)), static_cast<float>(30 + pick(30)), nullptr,
                                 nullptr, nullptr, nullptr);
                else
                    balloon->SetVisible(false);
                break;
            case 6:
                pixie->MoveBy(static_cast<float>(pick(5) - 2), static_cast<float>(pick(5) - 2), 0);
                break;
            }
        }
        if (step == 300) {  // a visible pixie goes away
            auto* rock = &stage.FindComponentAs<RPixie>("Rock");
            rock->SetVisible(true);
            stage.Redraw();
            screen = Pixels(stage);
            std::erase(pixies, rock);
            stage.ReleaseOwned(rock).reset();  // it leaves the registry as it dies
        }

        stage.Redraw();
        const std::vector<std::uint8_t> changed = Pixels(stage);
        // The window gets only the presented rectangles.
        for (const RRect& r : stage.presentedRects)
            for (int y = static_cast<int>(r.y); y < static_cast<int>(r.Bottom()); ++y)
                for (int x = static_cast<int>(r.x); x < static_cast<int>(r.Right()); ++x)
                    screen[static_cast<std::size_t>(y * kWidth + x)] = changed[static_cast<std::size_t>(y * kWidth + x)];

        stage.Compose();
        const std::vector<std::uint8_t> whole = Pixels(stage);
        ASSERT_EQ(FirstDifference(changed, whole), "") << "composed only the changes, after: " << done;
        ASSERT_EQ(FirstDifference(screen, whole), "") << "presented only the changes, after: " << done;
    }
}

TEST_F(DirtyCompose, ABackgroundOfAnotherSizeIsStretchedAsInAWholeCompose) {
    TestStage stage(kWidth, kHeight);
    RDib& background = *stage.GetBackground()->GetDib();
    background.Create(kWidth / 2, kHeight / 2);
    Palette palette{};
    std::copy_n(stage.GetStageImage()->GetDib()->GetPaletteEntries(), 256, palette.begin());
    background.SetPalette(palette);
    for (int i = 0; i < background.GetStride() * background.GetHeight(); ++i)
        background.GetBits()[i] = static_cast<std::uint8_t>(10 + i * 7 % 200);
    stage.Load(Stream("", SpriteSource("Shown", 2)));
    stage.SetPresentDirtyOnly(true);
    stage.Redraw();
    const std::vector<std::uint8_t> changed = Pixels(stage);
    stage.Compose();
    EXPECT_EQ(FirstDifference(changed, Pixels(stage)), "");
}

TEST_F(DirtyCompose, SpritesThatDrawNothingAreAskedWithoutFailing) {
    TestStage stage(kWidth, kHeight);
    stage.Load(Stream("", SpriteSource("Hidden", 1) + SpriteSource("Shown", 2)));
    auto& hidden = stage.FindComponentAs<RSprite>("Hidden");
    hidden.SetVisible(false);
    hidden.SetCurFrameName("nowhere");  // not resolved until it is drawn
    auto* bare = MakeOwned<RSprite>("Bare", &stage);  // no frames at all
    stage.RegisterComponent(bare);
    bare->SetVisible(true);
    stage.SetPresentDirtyOnly(true);
    EXPECT_NO_THROW(stage.Redraw());
    EXPECT_EQ(stage.presents, 1);
    EXPECT_EQ(stage.Pixel(20, 20), 4);  // the visible sprite's first pixel
}

}  // namespace
}  // namespace quellmoor
