#include "platform/text/FontDrawingContext.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "model/Exceptions.h"
#include "platform/text/FontFace.h"
#include "tests/platform/text/TestCanvas.h"

namespace quellmoor {
namespace {

using testing::TestCanvas;

constexpr std::uint8_t kPaper = 255;
constexpr std::uint8_t kInk = 0;
constexpr const char* kGreeting = "Hello! Ready for a trip to the rings of Zorblax?";

class FontDrawing : public ::testing::Test {
protected:
    FontDrawing() : canvas_(200, 120, kPaper), dc_(CreateFontDrawingContext(canvas_.Canvas())) {
        dc_->SetFont("Comic Sans MS", 19);
    }

    // Ink pixels outside [left, right) x [top, bottom).
    int InkOutside(int left, int top, int right, int bottom) {
        int count = 0;
        for (int y = 0; y < canvas_.Height(); ++y)
            for (int x = 0; x < canvas_.Width(); ++x)
                if (canvas_.Pixel(x, y) != kPaper && (x < left || x >= right || y < top || y >= bottom)) ++count;
        return count;
    }

    TestCanvas canvas_;
    std::unique_ptr<platform::DrawingContext> dc_;
};

TEST_F(FontDrawing, LineHeightIsThePixelHeight) {
    EXPECT_EQ(dc_->MeasureLine("Hello").height, 19);
    EXPECT_EQ(dc_->MeasureLine("").height, 19);
    EXPECT_EQ(dc_->MeasureLine("").width, 0);
    dc_->SetFont("Comic Sans MS", 32);
    EXPECT_EQ(dc_->MeasureLine("Hello").height, 32);
}

TEST_F(FontDrawing, LongerAndLargerTextIsWider) {
    const int hello = dc_->MeasureLine("Hello").width;
    EXPECT_GT(hello, 0);
    EXPECT_GT(dc_->MeasureLine("Hello, world").width, hello);
    EXPECT_GT(dc_->MeasureLine("WWWW").width, dc_->MeasureLine("iiii").width);
    dc_->SetFont("Comic Sans MS", 32);
    EXPECT_GT(dc_->MeasureLine("Hello").width, hello);
}

TEST_F(FontDrawing, ControlCharactersHaveNoWidth) {
    EXPECT_EQ(dc_->MeasureLine("Hi\r\n\t").width, dc_->MeasureLine("Hi").width);
}

TEST_F(FontDrawing, NarrowWidthGivesMoreLines) {
    const platform::TextSize wide = dc_->MeasureWrapped(kGreeting, 1000);
    const platform::TextSize narrow = dc_->MeasureWrapped(kGreeting, 100);
    EXPECT_EQ(wide.height, 19);
    EXPECT_EQ(wide.width, dc_->MeasureLine(kGreeting).width);
    EXPECT_GT(narrow.height, 2 * 19);
    EXPECT_EQ(narrow.height % 19, 0);
    EXPECT_LE(narrow.width, 100);
    EXPECT_EQ(dc_->MeasureWrapped("", 100).height, 0);
    EXPECT_EQ(dc_->MeasureWrapped("one\ntwo\n", 1000).height, 2 * 19);
}

TEST_F(FontDrawing, WordLongerThanTheWidthWidensTheResult) {
    const int word = dc_->MeasureLine("Zorblaxian").width;
    const platform::TextSize size = dc_->MeasureWrapped("a Zorblaxian b", word / 2);
    EXPECT_EQ(size.width, word);
    EXPECT_EQ(size.height, 3 * 19);
}

TEST_F(FontDrawing, WrappedTextWritesOnlyInkInsideItsBox) {
    const platform::TextSize size = dc_->MeasureWrapped(kGreeting, 120);
    const platform::PixelRect box{30, 20, 140, size.height};
    dc_->DrawWrappedCentred(kGreeting, box, kInk);
    const int ink = canvas_.Count(kInk);
    EXPECT_GT(ink, 100);
    EXPECT_EQ(ink + canvas_.Count(kPaper), 200 * 120) << "only ink and paper: no antialiasing";
    EXPECT_EQ(InkOutside(box.x, box.y, box.x + box.width, box.y + box.height), 0);
    EXPECT_TRUE(canvas_.GuardsIntact());
}

TEST_F(FontDrawing, LinesAreCentredInTheBox) {
    const platform::PixelRect box{0, 0, 200, 19};
    dc_->DrawWrappedCentred("ooo", box, kInk);
    int left = 200, right = -1;
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 200; ++x)
            if (canvas_.Pixel(x, y) == kInk) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_LE(left, right);
    EXPECT_LE(std::abs(left - (199 - right)), 3) << "left margin " << left << ", right margin " << 199 - right;
}

TEST_F(FontDrawing, BoxSmallerThanTheTextClipsIt) {
    const platform::PixelRect box{50, 50, 40, 10};
    dc_->DrawWrappedCentred(kGreeting, box, kInk);
    EXPECT_GT(canvas_.Count(kInk), 0);
    EXPECT_EQ(InkOutside(50, 50, 90, 60), 0);
}

TEST_F(FontDrawing, TextIsDrawnTopDownIntoBottomUpRows) {
    dc_->DrawLine("HHHH", 0, 0, kInk);
    const platform::IndexedCanvas raw = canvas_.Canvas();
    int inkInLastStoredRows = 0, inkInFirstStoredRows = 0;
    for (int row = 0; row < 19; ++row)
        for (int x = 0; x < 200; ++x) {
            inkInLastStoredRows += raw.bits[(119 - row) * raw.strideBytes + x] == kInk;
            inkInFirstStoredRows += raw.bits[row * raw.strideBytes + x] == kInk;
        }
    EXPECT_GT(inkInLastStoredRows, 0);
    EXPECT_EQ(inkInFirstStoredRows, 0);
}

struct LinePlace {
    const char* name;
    int x, y;
};
// Failures and test listings name the case, not its bytes.
void PrintTo(const LinePlace& c, std::ostream* out) { *out << c.name; }

class TextClipping : public ::testing::TestWithParam<LinePlace> {};

TEST_P(TextClipping, LineOverAnEdgeNeverWritesOutside) {
    TestCanvas canvas(60, 30, kPaper);
    auto dc = CreateFontDrawingContext(canvas.Canvas());
    dc->SetFont("Comic Sans MS", 32);
    dc->DrawLine("Wide Wombats", GetParam().x, GetParam().y, kInk);
    dc->DrawWrappedCentred("Wide Wombats\nWalk", {GetParam().x, GetParam().y, 200, 200}, kInk);
    EXPECT_TRUE(canvas.GuardsIntact());
    EXPECT_EQ(canvas.Count(kInk) + canvas.Count(kPaper), 60 * 30);
}

const LinePlace kLinePlaces[] = {
    {"Inside", 2, 2},       {"OverLeft", -40, 5},      {"OverRight", 40, 5},
    {"OverTop", 5, -20},    {"OverBottom", 5, 20},     {"FarAway", 100000, -100000},
    {"AtIntMin", INT_MIN, INT_MIN}, {"AtIntMax", INT_MAX - 5, INT_MAX - 5},
    {"RightOfIntMax", INT_MAX - 5, 5}, {"BelowIntMax", 5, INT_MAX - 5},
};

INSTANTIATE_TEST_SUITE_P(Edges, TextClipping, ::testing::ValuesIn(kLinePlaces),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(FontDrawing, PolygonsGoThroughTheContext) {
    const platform::Point square[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    dc_->FillPolygon(square, 9);
    EXPECT_EQ(canvas_.Count(9), 100);
    dc_->OutlinePolygon(square, kInk);
    EXPECT_EQ(canvas_.Count(kInk), 40);
}

// A balloon as the show draws one: paper fill, ink outline, ink text. Only
// ink and paper appear, and only inside the shape's bounds.
TEST(FontDrawingContext, BalloonChangesOnlyPixelsInsideItsShape) {
    constexpr std::uint8_t kSky = 1;
    TestCanvas canvas(160, 120, kSky);
    auto dc = CreateFontDrawingContext(canvas.Canvas());
    dc->SetFont("Comic Sans MS", 19);
    const int left = 20, top = 10, right = 130, bottom = 70, x = 60, y = 110;
    const platform::Point shape[] = {{x, y}, {left + 50, bottom + 5}, {left, bottom + 5}, {left - 5, bottom},
                                     {left - 5, top}, {left, top - 5}, {right, top - 5}, {right + 5, top},
                                     {right + 5, bottom}, {right, bottom + 5}, {left + 60, bottom + 5}};
    dc->FillPolygon(shape, kPaper);
    dc->OutlinePolygon(shape, kInk);
    dc->DrawWrappedCentred(kGreeting, {left, top, right - left, bottom - top}, kInk);
    int ink = 0;
    for (int py = 0; py < canvas.Height(); ++py)
        for (int px = 0; px < canvas.Width(); ++px) {
            const std::uint8_t value = canvas.Pixel(px, py);
            if (value == kSky) continue;
            ASSERT_TRUE(value == kInk || value == kPaper) << px << "," << py << " is " << int(value);
            ASSERT_TRUE(px >= left - 5 && px <= right + 5 && py >= top - 5 && py <= y) << px << "," << py;
            ink += value == kInk;
        }
    EXPECT_EQ(canvas.Pixel(x, y), kInk) << "the tail's tip";
    EXPECT_EQ(canvas.Pixel(left - 10, top + 10), kSky);
    EXPECT_GT(ink, 300) << "outline and text";
    EXPECT_TRUE(canvas.GuardsIntact());
}

TEST(FontDrawingContext, TextWithoutSetFontUsesTheDefaultFace) {
    TestCanvas canvas(50, 30, kPaper);
    auto dc = CreateFontDrawingContext(canvas.Canvas());
    EXPECT_EQ(dc->MeasureLine("x").height, 16);
    dc->DrawLine("xy", 0, 0, kInk);
    EXPECT_GT(canvas.Count(kInk), 0);
}

TEST(FontDrawingContext, FacesAreKeptBetweenContexts) {
    EXPECT_EQ(text::FontFace::Get("Comic Sans MS", 19), text::FontFace::Get("Comic Sans MS", 19));
    EXPECT_NE(text::FontFace::Get("Comic Sans MS", 19), text::FontFace::Get("Comic Sans MS", 32));
}

TEST(FontDrawingContext, AbsurdHeightsAreClamped) {
    TestCanvas canvas(8, 8, kPaper);
    auto dc = CreateFontDrawingContext(canvas.Canvas());
    dc->SetFont("Comic Sans MS", -5);
    EXPECT_EQ(dc->MeasureLine("x").height, 1);
    dc->SetFont("Comic Sans MS", 1 << 30);
    EXPECT_EQ(dc->MeasureLine("x").height, text::FontFace::kMaxPixelHeight);
}

TEST(FontDrawingContext, BadCanvasIsRefused) {
    std::uint8_t pixels[16] = {};
    const platform::IndexedCanvas narrowStride{pixels, 8, 2, 4, nullptr};
    const platform::IndexedCanvas noPixels{nullptr, 8, 2, 8, nullptr};
    for (const auto& canvas : {narrowStride, noPixels}) {
        try {
            CreateFontDrawingContext(canvas);
            ADD_FAILURE() << "expected an exception";
        } catch (const RParamException& e) {
            EXPECT_EQ(e.GetMessage(),
                      "The canvas given to the drawing context has no pixels or a row stride smaller than its width.");
        }
    }
}

TEST(FontDrawingContext, EmptyCanvasDrawsNothing) {
    auto dc = CreateFontDrawingContext(platform::IndexedCanvas{});
    dc->DrawLine("Hello", 0, 0, kInk);
    const platform::Point square[] = {{0, 0}, {4, 0}, {4, 4}};
    dc->FillPolygon(square, kInk);
    EXPECT_GT(dc->MeasureLine("Hello").width, 0);
}

}  // namespace
}  // namespace quellmoor
