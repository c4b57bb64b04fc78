#include <random>

#include "tests/stage/StageFixture.h"

namespace quellmoor::testing {
namespace {

constexpr int kWidth = 64, kHeight = 48;

class DirtyRectsTest : public StageTest {
protected:
    DirtyRectsTest() { LoadBackground(kWidth, kHeight, 1); }

    // Checks the set against a pixel mask: disjoint, whole pixels, inside, same coverage.
    void ExpectCovers(const std::vector<bool>& expected) {
        std::vector<int> covered(static_cast<std::size_t>(kWidth) * kHeight, 0);
        for (const RRect& r : stage->GetDirtyRects()) {
            ASSERT_EQ(r.x, std::floor(r.x));
            ASSERT_EQ(r.width, std::floor(r.width));
            ASSERT_GE(r.x, 0);
            ASSERT_GE(r.y, 0);
            ASSERT_LE(r.Right(), kWidth);
            ASSERT_LE(r.Bottom(), kHeight);
            ASSERT_FALSE(r.IsEmpty());
            for (int y = static_cast<int>(r.y); y < static_cast<int>(r.Bottom()); ++y) {
                for (int x = static_cast<int>(r.x); x < static_cast<int>(r.Right()); ++x)
                    ++covered[static_cast<std::size_t>(y) * kWidth + x];
            }
        }
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const int count = covered[static_cast<std::size_t>(y) * kWidth + x];
                ASSERT_LE(count, 1) << "overlap at " << x << "," << y;
                ASSERT_EQ(count == 1, expected[static_cast<std::size_t>(y) * kWidth + x]) << x << "," << y;
            }
        }
    }
};

TEST_F(DirtyRectsTest, StartInvalidatesTheWholeImageOnce) {
    stage->ClearDirtyRects();
    stage->Start();
    EXPECT_EQ(stage->GetDirtyRects(), (std::vector<RRect>{{0, 0, kWidth, kHeight}}));
}

struct Case {
    const char* name;
    std::vector<RRect> added;
    std::vector<RRect> expected;  // exact result when order matters; coverage is always checked
};
// Failures and test listings name the case, not its bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class DirtyCases : public DirtyRectsTest, public ::testing::WithParamInterface<Case> {};

TEST_P(DirtyCases, KeepsExactDisjointCoverage) {
    stage->ClearDirtyRects();
    std::vector<bool> mask(static_cast<std::size_t>(kWidth) * kHeight, false);
    for (const RRect& r : GetParam().added) {
        stage->InvalidRect(r);
        if (r.IsEmpty()) continue;
        const int x0 = static_cast<int>(std::floor(r.x)), y0 = static_cast<int>(std::floor(r.y));
        const int x1 = x0 + static_cast<int>(std::floor(r.width)) + 1;
        const int y1 = y0 + static_cast<int>(std::floor(r.height)) + 1;
        for (int y = std::max(y0, 0); y < std::min(y1, kHeight); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, kWidth); ++x)
                mask[static_cast<std::size_t>(y) * kWidth + x] = true;
    }
    ExpectCovers(mask);
    if (!GetParam().expected.empty()) {
        EXPECT_EQ(stage->GetDirtyRects(), GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DirtyCases,
    ::testing::Values(
        Case{"FractionalGrowsToWholePixels", {{10.5f, 10.5f, 5, 5}}, {{10, 10, 6, 6}}},
        Case{"OverlapSplitsOnlyTheNew", {{0, 0, 9, 9}, {5, 5, 9, 9}}, {{0, 0, 10, 10}, {5, 10, 10, 5}, {10, 5, 5, 5}}},
        Case{"InsideAddsNothing", {{0, 0, 20, 20}, {5, 5, 3, 3}}, {{0, 0, 21, 21}}},
        Case{"EnclosingKeepsTheOldPiece", {{5, 5, 3, 3}, {0, 0, 20, 20}}, {}},
        Case{"OutsideIsIgnored", {{100, 100, 5, 5}, {-20, -20, 5, 5}}, {}},
        Case{"EmptyIsIgnored", {{3, 3, 0.5f, 10}, {3, 3, 10, 0}}, {}},
        Case{"ClippedAtTheEdges", {{-5, -5, 10, 10}, {60, 40, 10, 10}}, {{0, 0, 6, 6}, {60, 40, 4, 8}}},
        Case{"Cross", {{10, 0, 5, 40}, {0, 10, 40, 5}}, {}},
        Case{"ThreeWayOverlap", {{0, 0, 10, 10}, {20, 0, 10, 10}, {5, 5, 20, 3}}, {}},
        Case{"TouchingDoNotOverlap", {{0, 0, 9, 9}, {10, 0, 9, 9}}, {{0, 0, 10, 10}, {10, 0, 10, 10}}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(DirtyRectsTest, RandomRectanglesKeepExactCoverage) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> pos(-10.0f, 70.0f), side(0.0f, 30.0f);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        stage->ClearDirtyRects();
        std::vector<bool> mask(static_cast<std::size_t>(kWidth) * kHeight, false);
        for (int i = 0; i < 12; ++i) {
            const RRect r{pos(random), pos(random), side(random), side(random)};
            stage->InvalidRect(r);
            if (r.IsEmpty()) continue;
            const int x0 = static_cast<int>(std::floor(r.x)), y0 = static_cast<int>(std::floor(r.y));
            const int x1 = x0 + static_cast<int>(std::floor(r.width)) + 1;
            const int y1 = y0 + static_cast<int>(std::floor(r.height)) + 1;
            for (int y = std::max(y0, 0); y < std::min(y1, kHeight); ++y)
                for (int x = std::max(x0, 0); x < std::min(x1, kWidth); ++x)
                    mask[static_cast<std::size_t>(y) * kWidth + x] = true;
        }
        ExpectCovers(mask);
    }
}

TEST_F(DirtyRectsTest, NotANumberIsIgnored) {
    stage->ClearDirtyRects();
    stage->InvalidRect({std::nanf(""), 0, 10, 10});
    stage->InvalidRect({0, 0, std::nanf(""), 10});
    stage->InvalidRect({INFINITY, 0, 10, 10});
    EXPECT_TRUE(stage->GetDirtyRects().empty());
}

// A window made smaller (a hack's host, the browser's page) between two
// frames: what was dirty at the old size must not be composed at the new one.
TEST_F(DirtyRectsTest, ShrinkingTheStageDropsWhatLayOutsideIt) {
    stage->SetPresentDirtyOnly(true);
    stage->InvalidRect({40, 30, 24, 18});
    stage->Resize(32, 24);
    EXPECT_EQ(stage->GetDirtyRects(), (std::vector<RRect>{{0, 0, 32, 24}}));
    EXPECT_NO_THROW(stage->Redraw());
    EXPECT_EQ(host.FrameCount(), 1);
    EXPECT_EQ(stage->GetExceptionMessage(), nullptr);
}

}  // namespace
}  // namespace quellmoor::testing
