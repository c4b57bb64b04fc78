// GDI's text and polygons as palette indices: only the ink index is written,
// only inside the area asked for, rows bottom-up as the engine keeps them.
#include "platform/win32/Win32DrawingContext.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/Exceptions.h"

namespace quellmoor::testing {
namespace {

using platform::PixelRect;
using platform::Point;

// A canvas of `width` x `height` with a wider stride, every pixel `fill`.
struct Canvas {
    Canvas(int w, int h, std::uint8_t fill) : width(w), height(h), stride((w + 7) / 4 * 4 + 4) {
        bits.assign(static_cast<std::size_t>(stride) * h, fill);
    }
    platform::IndexedCanvas View() { return {bits.data(), width, height, stride, palette.data()}; }
    std::uint8_t At(int x, int y) const { return bits[static_cast<std::size_t>(height - 1 - y) * stride + x]; }
    // Pixels of the visible width that are not `fill`, with where they are.
    int CountNot(std::uint8_t fill, PixelRect* bounds = nullptr) const {
        int count = 0, left = width, top = height, right = -1, bottom = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) != fill) {
                    ++count;
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        if (bounds) *bounds = {left, top, right - left + 1, bottom - top + 1};
        return count;
    }
    int width, height, stride;
    std::vector<std::uint8_t> bits;
    std::vector<platform::PaletteEntry> palette = std::vector<platform::PaletteEntry>(256);
};

TEST(Win32DrawingContext, TextWritesOnlyTheInkInsideItsBox) {
    Canvas canvas(120, 60, 5);
    auto dc = platform::CreateWin32DrawingContext(canvas.View());
    dc->SetFont("Comic Sans MS", 19);
    const platform::TextSize size = dc->MeasureLine("Hello");
    EXPECT_GT(size.width, 10);
    EXPECT_GE(size.height, 15);
    dc->DrawWrappedCentred("Hello", {0, 10, 120, size.height}, 200);
    PixelRect bounds;
    EXPECT_GT(canvas.CountNot(5, &bounds), 20);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) ASSERT_TRUE(canvas.At(x, y) == 5 || canvas.At(x, y) == 200);
    EXPECT_GE(bounds.y, 10);
    EXPECT_LE(bounds.y + bounds.height, 10 + size.height);
    // Centred: as much room on the left as on the right, give or take the glyphs' own margins.
    const int leftRoom = bounds.x, rightRoom = 120 - (bounds.x + bounds.width);
    EXPECT_LE(std::abs(leftRoom - rightRoom), 6);
    // The padding beyond the canvas's width is never touched.
    for (int row = 0; row < canvas.height; ++row)
        for (int x = canvas.width; x < canvas.stride; ++x)
            ASSERT_EQ(canvas.bits[static_cast<std::size_t>(row) * canvas.stride + x], 5);
}

TEST(Win32DrawingContext, WrappedTextStaysInsideAClippingBox) {
    Canvas canvas(100, 100, 0);
    auto dc = platform::CreateWin32DrawingContext(canvas.View());
    const platform::TextSize one = dc->MeasureLine("word");
    const platform::TextSize wrapped = dc->MeasureWrapped("word word word", one.width + 2);
    EXPECT_EQ(wrapped.height, 3 * one.height);
    EXPECT_EQ(dc->MeasureWrapped("", 50).height, 0);
    dc->DrawWrappedCentred("word word word", {20, 20, one.width + 2, one.height}, 9);  // room for one line
    PixelRect bounds;
    ASSERT_GT(canvas.CountNot(0, &bounds), 0);
    EXPECT_GE(bounds.x, 20);
    EXPECT_GE(bounds.y, 20);
    EXPECT_LE(bounds.y + bounds.height, 20 + one.height);
}

TEST(Win32DrawingContext, PolygonsFillAndOutlineWithTheirIndex) {
    Canvas canvas(40, 30, 1);
    auto dc = platform::CreateWin32DrawingContext(canvas.View());
    const Point square[] = {{10, 5}, {30, 5}, {30, 25}, {10, 25}};
    dc->FillPolygon(square, 7);
    EXPECT_EQ(canvas.At(20, 15), 7);
    EXPECT_EQ(canvas.At(5, 15), 1);
    EXPECT_EQ(canvas.At(35, 15), 1);
    EXPECT_EQ(canvas.At(20, 2), 1);
    const Point frame[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
    dc->OutlinePolygon(frame, 3);
    EXPECT_EQ(canvas.At(2, 2), 3);
    EXPECT_EQ(canvas.At(5, 2), 3);
    EXPECT_EQ(canvas.At(2, 5), 3);
    EXPECT_EQ(canvas.At(5, 5), 1);  // the inside stays
}

TEST(Win32DrawingContext, ShapesBeyondTheCanvasAreClipped) {
    Canvas canvas(16, 16, 0);
    auto dc = platform::CreateWin32DrawingContext(canvas.View());
    const Point huge[] = {{-1000, -1000}, {1000, -1000}, {1000, 1000}, {-1000, 1000}};
    dc->FillPolygon(huge, 4);
    EXPECT_EQ(canvas.CountNot(4), 0);
    dc->DrawLine("far away", 500, 500, 9);
    dc->DrawLine("", 0, 0, 9);
    EXPECT_EQ(canvas.CountNot(4), 0);
}

TEST(Win32DrawingContext, ABrokenCanvasIsRefused) {
    std::vector<std::uint8_t> bits(16);
    EXPECT_THROW(platform::CreateWin32DrawingContext({nullptr, 4, 4, 4, nullptr}), RParamException);
    EXPECT_THROW(platform::CreateWin32DrawingContext({bits.data(), 8, 2, 4, nullptr}), RParamException);
    // An empty canvas draws nothing, without failing.
    auto dc = platform::CreateWin32DrawingContext({nullptr, 0, 0, 0, nullptr});
    dc->DrawLine("Hi", 0, 0, 1);
}

}  // namespace
}  // namespace quellmoor::testing
