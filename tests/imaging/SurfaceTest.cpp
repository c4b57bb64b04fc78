// RDibSurface: the colour operations over the bitmap, copies between
// surfaces with their transparent colour, Resize and Assign.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <sstream>

#include "BmpBuilder.h"
#include "imaging/Surface.h"

namespace quellmoor {
namespace {

std::int32_t Colour(int red, int green, int blue) { return red | green << 8 | blue << 16; }

// The colour of entry i in the palette of Numbered below.
std::int32_t EntryColour(int i) { return Colour(i, 255 - i, i / 2); }

// A surface whose palette entry i is (i, 255 - i, i / 2) and whose pixel (x, y) is 10 * y + x + 1.
std::unique_ptr<RDibSurface> Numbered(int width, int height) {
    auto surface = std::make_unique<RDibSurface>(static_cast<float>(width), static_cast<float>(height));
    Palette palette{};
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i / 2), static_cast<std::uint8_t>(255 - i),
                                                static_cast<std::uint8_t>(i), 0};
    surface->GetDib()->SetPalette(palette);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            *surface->GetDib()->GetPixelAddr(x, y) = static_cast<std::uint8_t>(10 * y + x + 1);
    return surface;
}

int IndexAt(const RSurface& surface, int x, int y) { return surface.GetDib()->GetPixelIndex(x, y); }

std::string Message(const std::function<void()>& f) {
    try {
        f();
    } catch (const RException& e) {
        return e.GetMessage();
    }
    return "no exception";
}

TEST(DibSurface, ConstructionTruncatesTheSides) {
    const RDibSurface surface(3.9f, 2.2f);
    EXPECT_EQ(3.0f, surface.GetWidth());
    EXPECT_EQ(2.0f, surface.GetHeight());
    EXPECT_EQ(RRect(0, 0, 3, 2), surface.GetRect());
    EXPECT_EQ(-1, surface.GetTransColor());
}

TEST(DibSurface, ImpossibleSidesFail) {
    for (float side : {0.0f, 0.5f, -3.0f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(), 1e20f})
        EXPECT_EQ("Out of memory while creating new DIB", Message([&] { RDibSurface(side, 4.0f); })) << side;
}

TEST(DibSurface, TransparentColourRoundTrip) {
    auto surface = Numbered(2, 2);
    surface->SetTransColor(EntryColour(12));  // entry 12 exactly
    EXPECT_EQ(12, surface->GetTransIndex());
    EXPECT_EQ(EntryColour(12), surface->GetTransColor());
    surface->SetTransColor(-1);
    EXPECT_EQ(-1, surface->GetTransColor());
    RDibSurface plain(2, 2);
    EXPECT_EQ("RDib::GetPaletteIndex : No source palette.", Message([&] { plain.SetTransColor(0); }));
}

TEST(DibSurface, CopiesUseTheSourcesTransparentColour) {
    auto source = Numbered(3, 1);  // 1 2 3
    auto dest = Numbered(3, 1);
    dest->GetDib()->Fill(50);
    dest->SetTransColor(EntryColour(50));  // the destination's own key does not matter
    source->SetTransColor(EntryColour(2));  // entry 2
    dest->CopyFrom(source.get(), 0, 0, 3, 1, 0, 0, 3, 1, false, false);
    EXPECT_EQ(1, IndexAt(*dest, 0, 0));
    EXPECT_EQ(50, IndexAt(*dest, 1, 0));
    EXPECT_EQ(3, IndexAt(*dest, 2, 0));
    source->SetTransColor(-1);
    dest->CopyFrom(source.get(), 0, 0, 3, 1, 0, 0, 3, 1, false, false);
    EXPECT_EQ(2, IndexAt(*dest, 1, 0));
}

TEST(DibSurface, MirroredCopiesFillTheSameRectangle) {
    auto source = Numbered(3, 2);  // 1 2 3 / 11 12 13
    RDibSurface dest(4, 2);
    dest.CopyFrom(source.get(), 0, 0, 3, 2, 1, 0, 3, 2, true, false);
    EXPECT_EQ(0, IndexAt(dest, 0, 0));
    EXPECT_EQ(3, IndexAt(dest, 1, 0));
    EXPECT_EQ(1, IndexAt(dest, 3, 0));
    EXPECT_EQ(11, IndexAt(dest, 3, 1));
    dest.CopyFrom(source.get(), 0, 0, 3, 2, 1, 0, 3, 2, false, true);
    EXPECT_EQ(11, IndexAt(dest, 1, 0));
    EXPECT_EQ(3, IndexAt(dest, 3, 1));
    dest.CopyFrom(nullptr, 0, 0, 3, 2, 0, 0, 3, 2, false, false);  // nothing to draw
}

TEST(DibSurface, FillUsesTheNearestColour) {
    auto surface = Numbered(2, 2);
    surface->Fill(Colour(7, 248, 4));  // nearest: entry 7 (7, 248, 3)
    EXPECT_EQ(7, IndexAt(*surface, 1, 1));
    surface->FillRect({1, 0, 5, 1}, EntryColour(40));  // entry 40 exactly
    EXPECT_EQ(40, IndexAt(*surface, 1, 0));
    EXPECT_EQ(7, IndexAt(*surface, 0, 0));
    EXPECT_EQ(7, IndexAt(*surface, 1, 1));
}

TEST(DibSurface, FillFarFromEveryEntryUsesTheNearestNotIndex255) {
    RDibSurface surface(2, 2);
    Palette palette{};
    palette[3] = {0, 0, 1, 0};  // all entries far from white, entry 3 the least far
    surface.GetDib()->SetPalette(palette);
    EXPECT_EQ(-1, surface.GetDib()->GetPaletteIndex(Colour(255, 255, 255), true));
    surface.Fill(Colour(255, 255, 255));
    EXPECT_EQ(3, IndexAt(surface, 0, 0));
    surface.GetDib()->Fill(0);
    surface.FillRect({0, 0, 1, 1}, Colour(255, 255, 255));
    EXPECT_EQ(3, IndexAt(surface, 0, 0));
    EXPECT_EQ(0, IndexAt(surface, 1, 0));
}

TEST(DibSurface, ColourOperationsNeedAPalette) {
    RDibSurface surface(2, 2);
    EXPECT_EQ("RDib::GetPaletteIndex : No source palette.", Message([&] { surface.Fill(0); }));
    EXPECT_EQ("RDib::GetPaletteIndex : No source palette.", Message([&] { surface.FillRect({0, 0, 1, 1}, 0); }));
}

TEST(DibSurface, PixelColour) {
    auto surface = Numbered(2, 2);
    EXPECT_EQ(Colour(1, 254, 0), surface->GetPixel(0, 0));
    EXPECT_EQ(EntryColour(12), surface->GetPixel(1, 1));
}

TEST(DibSurface, ResizeWithoutStretchKeepsTheTopLeft) {
    auto surface = Numbered(3, 3);
    surface->Resize(2, 2, false);
    EXPECT_EQ(2.0f, surface->GetWidth());
    EXPECT_EQ(1, IndexAt(*surface, 0, 0));
    EXPECT_EQ(12, IndexAt(*surface, 1, 1));
    EXPECT_TRUE(surface->GetDib()->HasPalette());
    surface->Resize(4, 3, false);
    EXPECT_EQ(1, IndexAt(*surface, 0, 0));
    EXPECT_EQ(12, IndexAt(*surface, 1, 1));
    EXPECT_EQ(0, IndexAt(*surface, 3, 2));  // new area: as created
    EXPECT_EQ(0, IndexAt(*surface, 0, 2));
}

TEST(DibSurface, ResizeWithStretchScales) {
    auto surface = Numbered(2, 2);  // 1 2 / 11 12
    surface->Resize(4, 4, true);
    // Steps for 2 onto 4 are 0, 0, 0, 1: the last column and top row take the second source pixel.
    EXPECT_EQ(1, IndexAt(*surface, 2, 0));
    EXPECT_EQ(2, IndexAt(*surface, 3, 0));
    EXPECT_EQ(11, IndexAt(*surface, 2, 1));
    EXPECT_EQ(11, IndexAt(*surface, 0, 3));
    EXPECT_EQ(12, IndexAt(*surface, 3, 2));
}

TEST(DibSurface, ResizeWithoutPaletteKeepsTheCreatedBitmap) {
    RDibSurface surface(2, 2);
    surface.GetDib()->Fill(9);
    surface.Resize(3, 1, true);
    EXPECT_EQ(3.0f, surface.GetWidth());
    EXPECT_EQ(0, IndexAt(surface, 0, 0));
    EXPECT_FALSE(surface.GetDib()->HasPalette());
    EXPECT_EQ("Out of memory while creating new DIB", Message([&] { surface.Resize(0, 5, false); }));
    EXPECT_EQ(3.0f, surface.GetWidth());
}

TEST(DibSurface, AssignCopiesSizePixelsPaletteAndKey) {
    auto source = Numbered(3, 2);
    source->SetTransColor(EntryColour(12));
    RDibSurface copy(1, 1);
    copy.Assign(*source);
    EXPECT_EQ(3.0f, copy.GetWidth());
    EXPECT_EQ(13, IndexAt(copy, 2, 1));
    EXPECT_EQ(source->GetTransColor(), copy.GetTransColor());
    EXPECT_TRUE(copy.GetDib()->HasPalette());
    copy.Assign(copy);
    EXPECT_EQ(13, IndexAt(copy, 2, 1));
}

TEST(DibSurface, LoadsAndRefusesToSave) {
    RDibSurface surface(1, 1);
    std::istringstream in(test::BuildBmp({}));
    int consumed = 0;
    surface.LoadFromStream(in, consumed);
    EXPECT_EQ(static_cast<int>(in.str().size()), consumed);
    EXPECT_EQ(2.0f, surface.GetWidth());
    std::ostringstream out;
    EXPECT_EQ("RDib:SaveToStream not implemented", Message([&] { surface.SaveToStream(out); }));
    EXPECT_EQ("Not a bitmap file", Message([&] { surface.LoadFromFile("/nonexistent/quellmoor.bmp"); }));
}

}  // namespace
}  // namespace quellmoor
