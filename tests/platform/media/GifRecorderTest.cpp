// The GIF recorder: files decoded back with giflib's own reader (DGifSlurp),
// checked for frames, rectangles, delays, palettes and the pixels a viewer
// shows after each frame; failures name the file and the reason.
#include "platform/media/GifRecorder.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/Exceptions.h"
#include "tests/platform/media/TempFile.h"

namespace quellmoor::media {
namespace {

constexpr int kWidth = 40, kHeight = 30;

Palette Colours(int shift) {
    Palette palette{};
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>((i + shift) & 0xFF),
                                                static_cast<std::uint8_t>((255 - i) & 0xFF),
                                                static_cast<std::uint8_t>((i * 3 + shift) & 0xFF), 0};
    return palette;
}

// Indices below 100 everywhere, so a change to 255 always changes a pixel.
RDib Picture() {
    RDib dib(kWidth, kHeight);
    dib.SetPalette(Colours(0));
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) *dib.GetPixelAddr(x, y) = static_cast<std::uint8_t>((x + y * 3) % 100);
    return dib;
}

void Paint(RDib& dib, int left, int top, int width, int height, std::uint8_t index = 255) {
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) *dib.GetPixelAddr(x, y) = index;
}

struct Box {
    int x, y, width, height;
};

// --- Reading a GIF back

struct ShownFrame {
    Box box{};
    int delayCs = -1;
    bool localColours = false;
    std::vector<std::uint8_t> canvas;  // indices shown after this frame, top-down
    std::vector<GifColorType> colours;  // the colours this frame's indices mean
};

struct DecodedGif {
    int width = 0, height = 0;
    bool loopsForever = false;
    std::vector<ShownFrame> frames;
};

bool IsLoopBlock(const ExtensionBlock* blocks, int count) {
    for (int i = 0; i + 1 < count; ++i) {
        const ExtensionBlock& name = blocks[i];
        const ExtensionBlock& data = blocks[i + 1];
        if (name.Function == APPLICATION_EXT_FUNC_CODE && name.ByteCount == 11 &&
            std::string(reinterpret_cast<const char*>(name.Bytes), 11) == "NETSCAPE2.0" &&
            data.Function == CONTINUE_EXT_FUNC_CODE && data.ByteCount == 3 && data.Bytes[0] == 1 &&
            data.Bytes[1] == 0 && data.Bytes[2] == 0)
            return true;
    }
    return false;
}

std::optional<DecodedGif> Decode(const std::string& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) {
        ADD_FAILURE() << "cannot open " << path << ": " << GifErrorString(error);
        return std::nullopt;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        ADD_FAILURE() << "cannot decode " << path << ": " << GifErrorString(gif->Error);
        DGifCloseFile(gif, &error);
        return std::nullopt;
    }
    DecodedGif decoded;
    decoded.width = gif->SWidth;
    decoded.height = gif->SHeight;
    std::vector<std::uint8_t> canvas(static_cast<std::size_t>(gif->SWidth * gif->SHeight), 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        if (i == 0) decoded.loopsForever = IsLoopBlock(image.ExtensionBlocks, image.ExtensionBlockCount);
        ShownFrame frame;
        const GifImageDesc& d = image.ImageDesc;
        frame.box = {d.Left, d.Top, d.Width, d.Height};
        GraphicsControlBlock control{};
        if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
            frame.delayCs = control.DelayTime;
            EXPECT_EQ(DISPOSE_DO_NOT, control.DisposalMode) << "frame " << i;
            EXPECT_EQ(NO_TRANSPARENT_COLOR, control.TransparentColor) << "frame " << i;
        }
        frame.localColours = d.ColorMap != nullptr;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        if (map) frame.colours.assign(map->Colors, map->Colors + map->ColorCount);
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x)
                canvas[static_cast<std::size_t>((d.Top + y) * gif->SWidth + d.Left + x)] =
                    image.RasterBits[y * d.Width + x];
        frame.canvas = canvas;
        decoded.frames.push_back(std::move(frame));
    }
    DGifCloseFile(gif, &error);
    return decoded;
}

std::vector<std::uint8_t> Indices(const RDib& dib) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < dib.GetHeight(); ++y)
        for (int x = 0; x < dib.GetWidth(); ++x) pixels.push_back(dib.GetPixelIndex(x, y));
    return pixels;
}

bool SameColours(const std::vector<GifColorType>& gif, const RDib& dib) {
    if (gif.size() != 256) return false;
    for (std::size_t i = 0; i < 256; ++i) {
        const PaletteEntry& entry = dib.GetPaletteEntries()[i];
        if (gif[i].Red != entry.red || gif[i].Green != entry.green || gif[i].Blue != entry.blue) return false;
    }
    return true;
}

// --- The table: frames made step by step, and the GIF frames they must give

struct Step {
    std::function<void(RDib&)> change;  // applied to the picture before it is added
    int delayMs;
};

struct Expected {
    Box box;
    int delayCs;
    int step;  // the step whose picture shows after this frame
    bool localColours = false;
};

struct GifCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<Expected> frames;
};

void PrintTo(const GifCase& c, std::ostream* os) { *os << c.name; }

const auto kSame = [](RDib&) {};
const Box kWhole{0, 0, kWidth, kHeight};

class GifRecorderTable : public ::testing::TestWithParam<GifCase> {};

TEST_P(GifRecorderTable, DecodesToTheFramesGiven) {
    const GifCase& c = GetParam();
    TempFile file(".gif");
    RDib picture = Picture();
    std::vector<RDib> pictures;
    {
        GifRecorder gif(file.path());
        for (const Step& step : c.steps) {
            step.change(picture);
            pictures.push_back(picture);
            gif.AddFrame(picture, step.delayMs);
        }
        gif.Close();
        EXPECT_EQ(static_cast<int>(c.frames.size()), gif.FramesWritten());
    }
    const auto decoded = Decode(file.path());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(kWidth, decoded->width);
    EXPECT_EQ(kHeight, decoded->height);
    EXPECT_TRUE(decoded->loopsForever);
    ASSERT_EQ(c.frames.size(), decoded->frames.size());
    for (std::size_t i = 0; i < c.frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const Expected& want = c.frames[i];
        const ShownFrame& got = decoded->frames[i];
        EXPECT_EQ(want.box.x, got.box.x);
        EXPECT_EQ(want.box.y, got.box.y);
        EXPECT_EQ(want.box.width, got.box.width);
        EXPECT_EQ(want.box.height, got.box.height);
        EXPECT_EQ(want.delayCs, got.delayCs);
        EXPECT_EQ(want.localColours, got.localColours);
        const RDib& shown = pictures[static_cast<std::size_t>(want.step)];
        EXPECT_TRUE(Indices(shown) == got.canvas) << "pixels differ from step " << want.step;
        EXPECT_TRUE(SameColours(got.colours, shown)) << "colours differ from step " << want.step;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Frames, GifRecorderTable,
    ::testing::Values(
        GifCase{"OneFrame", {{kSame, 100}}, {{kWhole, 10, 0}}},
        GifCase{"OnlyTheChangedRectangle",
                {{kSame, 100}, {[](RDib& d) { Paint(d, 5, 7, 8, 4); }, 50}},
                {{kWhole, 10, 0}, {{5, 7, 8, 4}, 5, 1}}},
        GifCase{"StillFrameLengthensTheOneBefore",
                {{kSame, 100}, {[](RDib& d) { Paint(d, 5, 7, 8, 4); }, 50}, {kSame, 70}},
                {{kWhole, 10, 0}, {{5, 7, 8, 4}, 12, 1}}},
        GifCase{"StillAfterTheFirst", {{kSame, 40}, {kSame, 40}, {kSame, 40}}, {{kWhole, 12, 0}}},
        GifCase{"OnePixelInTheLastCorner",
                {{kSame, 10}, {[](RDib& d) { Paint(d, kWidth - 1, kHeight - 1, 1, 1); }, 30}},
                {{kWhole, 1, 0}, {{kWidth - 1, kHeight - 1, 1, 1}, 3, 1}}},
        GifCase{"OnePixelInTheFirstCorner",
                {{kSame, 10}, {[](RDib& d) { Paint(d, 0, 0, 1, 1); }, 30}},
                {{kWhole, 1, 0}, {{0, 0, 1, 1}, 3, 1}}},
        GifCase{"TwoChangesMakeOneBox",
                {{kSame, 40},
                 {[](RDib& d) {
                      Paint(d, 2, 20, 1, 1);
                      Paint(d, 30, 3, 2, 2);
                  },
                  40}},
                {{kWhole, 4, 0}, {{2, 3, 30, 18}, 4, 1}}},
        GifCase{"ChangeBackIsAChangeToo",
                {{kSame, 40}, {[](RDib& d) { Paint(d, 4, 4, 2, 2); }, 40}, {[](RDib& d) { d = Picture(); }, 40}},
                {{kWhole, 4, 0}, {{4, 4, 2, 2}, 4, 1}, {{4, 4, 2, 2}, 4, 2}}},
        GifCase{"NewPaletteIsAWholeFrameWithItsOwnColours",
                {{kSame, 40}, {[](RDib& d) { d.SetPalette(Colours(9)); }, 40},
                 {[](RDib& d) { d.SetPalette(Colours(0)); }, 40}},
                {{kWhole, 4, 0}, {kWhole, 4, 1, true}, {kWhole, 4, 2, false}}},
        GifCase{"FramesAfterANewPaletteKeepItLocally",
                {{kSame, 40}, {[](RDib& d) { d.SetPalette(Colours(9)); }, 40},
                 {[](RDib& d) { Paint(d, 1, 2, 3, 4); }, 40}},
                {{kWhole, 4, 0}, {kWhole, 4, 1, true}, {{1, 2, 3, 4}, 4, 2, true}}},
        GifCase{"DelaysRoundOnTheRunningTotal",
                {{kSame, 33},
                 {[](RDib& d) { Paint(d, 0, 0, 1, 1, 201); }, 33},
                 {[](RDib& d) { Paint(d, 0, 0, 1, 1, 202); }, 33},
                 {[](RDib& d) { Paint(d, 0, 0, 1, 1, 203); }, 33}},
                // 33, 66, 99 and 132 ms end at 3, 7, 10 and 13 hundredths.
                {{kWhole, 3, 0}, {{0, 0, 1, 1}, 4, 1}, {{0, 0, 1, 1}, 3, 2}, {{0, 0, 1, 1}, 3, 3}}},
        GifCase{"NoDelay",
                {{kSame, 0}, {[](RDib& d) { Paint(d, 3, 3, 1, 1); }, 0}},
                {{kWhole, 0, 0}, {{3, 3, 1, 1}, 0, 1}}},
        GifCase{"StillBeyondTheLongestDelay",
                {{kSame, 700000}},
                // 70000 hundredths: the most one frame can say, then one unchanged pixel for the rest.
                {{kWhole, 65535, 0}, {{0, 0, 1, 1}, 4465, 0}}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// --- Files

std::string Recorded(const TempFile& file) {
    RDib picture = Picture();
    GifRecorder gif(file.path());
    for (int i = 0; i < 6; ++i) {
        Paint(picture, i * 5, i * 3, 4, 4, static_cast<std::uint8_t>(200 + i));
        gif.AddFrame(picture, 40);
    }
    gif.Close();
    return file.Bytes();
}

TEST(GifRecorder, SameFramesGiveTheSameBytes) {
    TempFile first(".gif"), second(".gif");
    const std::string bytes = Recorded(first);
    EXPECT_GT(bytes.size(), 100u);
    EXPECT_EQ(bytes, Recorded(second));
    EXPECT_EQ("GIF89a", bytes.substr(0, 6));
    EXPECT_EQ(';', bytes.back());
}

TEST(GifRecorder, ImpossiblePathIsRefusedAtOnce) {
    try {
        GifRecorder gif("/nonexistent-dir/show.gif");
        FAIL() << "opened";
    } catch (const RException& e) {
        EXPECT_EQ("Cannot create the GIF file /nonexistent-dir/show.gif: No such file or directory.", e.GetMessage());
    }
}

TEST(GifRecorder, FullDiskIsReportedAtClose) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    // A small file sits in the stream's buffer until the end.
    GifRecorder gif("/dev/full");
    gif.AddFrame(Picture(), 40);
    try {
        gif.Close();
        FAIL() << "closed without complaint";
    } catch (const RException& e) {
        EXPECT_EQ("Cannot write the GIF file /dev/full: No space left on device.", e.GetMessage());
    }
    EXPECT_THROW(gif.Close(), RException);
}

TEST(GifRecorder, FullDiskIsReportedWhileWritingAndRepeated) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    // Noise that does not compress overflows the stream's buffer mid-frame.
    RDib noise(400, 300);
    std::uint32_t state = 1;
    GifRecorder gif("/dev/full");
    std::string message;
    for (int frame = 0; frame < 10 && message.empty(); ++frame) {
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x) {
                state = state * 1664525u + 1013904223u;
                *noise.GetPixelAddr(x, y) = static_cast<std::uint8_t>(state >> 24);
            }
        try {
            gif.AddFrame(noise, 40);
        } catch (const RException& e) {
            message = e.GetMessage();
        }
    }
    EXPECT_EQ("Cannot write the GIF file /dev/full: No space left on device.", message);
    try {
        gif.AddFrame(noise, 40);
        FAIL() << "a frame was taken after the failure";
    } catch (const RException& e) {
        EXPECT_EQ(message, e.GetMessage());
    }
    try {
        gif.Close();
        FAIL() << "closed after the failure";
    } catch (const RException& e) {
        EXPECT_EQ(message, e.GetMessage());
    }
}

TEST(GifRecorder, NothingRecordedIsNotAFile) {
    TempFile file(".gif");
    GifRecorder gif(file.path());
    try {
        gif.Close();
        FAIL() << "closed without a frame";
    } catch (const RException& e) {
        EXPECT_EQ("Cannot write the GIF file " + file.path() + ": no frame was recorded.", e.GetMessage());
    }
}

TEST(GifRecorder, FrameOfAnotherSizeIsRefused) {
    TempFile file(".gif");
    GifRecorder gif(file.path());
    gif.AddFrame(Picture(), 40);
    try {
        gif.AddFrame(RDib(kWidth, kHeight + 1), 40);
        FAIL() << "taken";
    } catch (const RParamException& e) {
        EXPECT_EQ("A frame of 40x31 pixels cannot join a GIF of 40x30.", e.GetMessage());
    }
    gif.Close();  // the refused frame spoiled nothing
    const auto decoded = Decode(file.path());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(1u, decoded->frames.size());
}

TEST(GifRecorder, NegativeDelayIsRefused) {
    TempFile file(".gif");
    GifRecorder gif(file.path());
    try {
        gif.AddFrame(Picture(), -1);
        FAIL() << "taken";
    } catch (const RParamException& e) {
        EXPECT_EQ("A frame's delay cannot be negative (-1 ms).", e.GetMessage());
    }
}

TEST(GifRecorder, ClosedRecorderTakesNoFrames) {
    TempFile file(".gif");
    GifRecorder gif(file.path());
    gif.AddFrame(Picture(), 40);
    gif.Close();
    gif.Close();  // a second Close changes nothing
    try {
        gif.AddFrame(Picture(), 40);
        FAIL() << "taken";
    } catch (const RException& e) {
        EXPECT_EQ("Cannot add a frame to the GIF file " + file.path() + ": it is closed.", e.GetMessage());
    }
}

TEST(GifRecorder, WithoutCloseTheFileStillEnds) {
    TempFile file(".gif");
    {
        GifRecorder gif(file.path());
        RDib picture = Picture();
        gif.AddFrame(picture, 40);
        Paint(picture, 0, 0, 2, 2);
        gif.AddFrame(picture, 40);
    }
    const auto decoded = Decode(file.path());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(1u, decoded->frames.size());  // the pending frame was never written
}

}  // namespace
}  // namespace quellmoor::media
