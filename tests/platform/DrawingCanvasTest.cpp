// What every drawing context checks before it draws: which canvases it takes,
// which it refuses with which words, and which characters text leaves out.
#include "platform/DrawingCanvas.h"

#include <gtest/gtest.h>

#include <string>

#include "model/Exceptions.h"

namespace quellmoor::platform {
namespace {

std::uint8_t pixels[64];

struct CanvasCase {
    const char* name;
    IndexedCanvas canvas;
    bool refused;
    int width, height;  // of the canvas drawn on, when taken
};

class DrawingCanvasTest : public ::testing::TestWithParam<CanvasCase> {};

TEST_P(DrawingCanvasTest, TakesOrRefuses) {
    const CanvasCase& c = GetParam();
    try {
        const IndexedCanvas checked = CheckDrawingCanvas(c.canvas);
        EXPECT_FALSE(c.refused) << "taken";
        EXPECT_EQ(c.width, checked.width);
        EXPECT_EQ(c.height, checked.height);
        EXPECT_EQ(c.canvas.bits, checked.bits);
        EXPECT_EQ(c.canvas.strideBytes, checked.strideBytes);
    } catch (const RParamException& e) {
        EXPECT_TRUE(c.refused) << e.what();
        EXPECT_EQ("The canvas given to the drawing context has no pixels or a row stride smaller than its width.",
                  e.GetMessage());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Canvases, DrawingCanvasTest,
    ::testing::Values(CanvasCase{"Whole", {pixels, 8, 8, 8, nullptr}, false, 8, 8},
                      CanvasCase{"WiderStride", {pixels, 6, 8, 8, nullptr}, false, 6, 8},
                      CanvasCase{"Empty", {}, false, 0, 0},
                      CanvasCase{"NoPixelsAndNoRows", {nullptr, 8, 0, 8, nullptr}, false, 0, 0},
                      CanvasCase{"NoPixelsButASize", {nullptr, 8, 2, 8, nullptr}, true, 0, 0},
                      CanvasCase{"StrideSmallerThanWidth", {pixels, 8, 2, 4, nullptr}, true, 0, 0},
                      CanvasCase{"NegativeWidth", {pixels, -1, 2, 8, nullptr}, true, 0, 0},
                      CanvasCase{"NegativeHeight", {pixels, 8, -2, 8, nullptr}, true, 0, 0}),
    [](const ::testing::TestParamInfo<CanvasCase>& param) { return std::string(param.param.name); });

TEST(DrawingCanvasText, ControlCharactersAreLeftOut) {
    EXPECT_EQ("Helloworld", WithoutControlCharacters("Hello\r\n\tworld\x7F"));
    EXPECT_EQ(" ~\x80\xFF", WithoutControlCharacters(std::string("\x01 ~\x80\x1F\xFF\0", 7)));
    EXPECT_EQ("", WithoutControlCharacters(""));
    EXPECT_TRUE(IsControlCharacter(0x00));
    EXPECT_TRUE(IsControlCharacter(0x1F));
    EXPECT_FALSE(IsControlCharacter(0x20));
    EXPECT_TRUE(IsControlCharacter(0x7F));
    EXPECT_FALSE(IsControlCharacter(0xA0));  // no-break space in Windows-1252: drawn
}

}  // namespace
}  // namespace quellmoor::platform
