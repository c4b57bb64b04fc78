// Every kernel against the literal reference, over random copies: rectangles
// partly outside, widths 1 to 300, fractional coordinates, every flag
// combination, and a bitmap copied onto itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "CopyBitsReference.h"
#include "imaging/Dib.h"
#include "model/Exceptions.h"

namespace quellmoor {
namespace {

struct Flags {
    bool transparent, scaleH, scaleV, mirrorH, mirrorV;
};

std::string Describe(const Flags& f) {
    return std::string(f.transparent ? "T" : "-") + (f.scaleH ? "H" : "-") + (f.scaleV ? "V" : "-") +
           (f.mirrorH ? "h" : "-") + (f.mirrorV ? "v" : "-");
}

class Random {
public:
    explicit Random(unsigned seed) : engine_(seed) {}
    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }
    bool Chance(int percent) { return Int(0, 99) < percent; }

private:
    std::mt19937 engine_;
};

// Sprite-like content: runs of the key between runs of other indices.
void FillWithRuns(RDib& dib, Random& random, int key) {
    std::uint8_t* bits = dib.GetBits();
    const int size = dib.GetStride() * dib.GetHeight();
    for (int i = 0; i < size;) {
        const int run = random.Int(1, 24);
        const bool keyed = key >= 0 && random.Chance(40);
        for (int j = 0; j < run && i < size; ++j, ++i)
            bits[i] = keyed ? static_cast<std::uint8_t>(key) : static_cast<std::uint8_t>(random.Int(0, 255));
    }
}

// A coordinate that is usually whole and sometimes not.
float Coordinate(Random& random, int low, int high) {
    const float whole = static_cast<float>(random.Int(low, high));
    return random.Chance(15) ? whole + static_cast<float>(random.Int(1, 3)) * 0.25f : whole;
}

// Source length of the copy: for unscaled axes the destination gets the same value.
float Length(Random& random, float start, int limit) {
    const int room = limit - static_cast<int>(std::ceil(start));
    const float whole = static_cast<float>(random.Int(1, std::max(1, std::min(300, room))));
    if (random.Chance(10) && whole + start + 0.5f <= static_cast<float>(limit)) return whole + 0.5f;
    return whole;
}

float OtherLength(Random& random, float not_equal) {
    for (;;) {
        const float value = static_cast<float>(random.Int(1, 300));
        if (value != not_equal) return value;
    }
}

std::string Outcome(const std::function<void()>& copy) {
    try {
        copy();
    } catch (const RException& e) {
        return e.GetMessage();
    }
    return "ok";
}

void ExpectSameBitmap(const RDib& expected, const RDib& actual) {
    ASSERT_EQ(expected.GetStride() * expected.GetHeight(), actual.GetStride() * actual.GetHeight());
    const int size = expected.GetStride() * expected.GetHeight();
    for (int i = 0; i < size; ++i) {
        if (expected.GetBits()[i] != actual.GetBits()[i]) {
            const int row = i / expected.GetStride();
            FAIL() << "first difference at column " << i % expected.GetStride() << ", top row "
                   << expected.GetHeight() - 1 - row << ": expected " << int(expected.GetBits()[i]) << ", got "
                   << int(actual.GetBits()[i]);
        }
    }
    EXPECT_EQ(expected.HasPalette(), actual.HasPalette());
}

class CopyBitsDifferential : public ::testing::TestWithParam<int> {};

TEST_P(CopyBitsDifferential, KernelMatchesReference) {
    const int index = GetParam();
    const Flags flags{(index & 16) != 0, (index & 8) != 0, (index & 4) != 0, (index & 2) != 0, (index & 1) != 0};
    Random random(static_cast<unsigned>(1000 + index));
    int drawn = 0;
    for (int n = 0; n < 600; ++n) {
        const bool same = random.Chance(25);
        const int key = flags.transparent ? random.Int(0, 255) : -1;
        RDib source(random.Int(1, 320), random.Int(1, 40));
        source.SetPalette(Palette{});
        FillWithRuns(source, random, flags.transparent ? key : random.Int(0, 255));
        RDib target(random.Int(1, 320), random.Int(1, 40));
        FillWithRuns(target, random, -1);
        if (random.Chance(50)) target.SetPalette(Palette{});
        RDib& dest = same ? source : target;

        RRect s;
        s.x = Coordinate(random, 0, source.GetWidth() - 1);
        s.y = Coordinate(random, 0, source.GetHeight() - 1);
        s.width = Length(random, s.x, source.GetWidth());
        s.height = Length(random, s.y, source.GetHeight());
        RRect d;
        d.width = flags.scaleH ? OtherLength(random, s.width) : s.width;
        d.height = flags.scaleV ? static_cast<float>(random.Int(1, 60)) : s.height;
        if (flags.scaleV && d.height == s.height) d.height += 1;
        d.x = Coordinate(random, -static_cast<int>(d.width), dest.GetWidth());
        d.y = Coordinate(random, -static_cast<int>(d.height), dest.GetHeight());
        if (flags.mirrorH) d.width = -d.width;
        if (flags.mirrorV) d.height = -d.height;
        SCOPED_TRACE(Describe(flags) + " case " + std::to_string(n) + (same ? " same bitmap" : "") + " src " +
                     std::to_string(source.GetWidth()) + "x" + std::to_string(source.GetHeight()) + " (" +
                     std::to_string(s.x) + "," + std::to_string(s.y) + "," + std::to_string(s.width) + "," +
                     std::to_string(s.height) + ") dst " + std::to_string(dest.GetWidth()) + "x" +
                     std::to_string(dest.GetHeight()) + " (" + std::to_string(d.x) + "," + std::to_string(d.y) +
                     "," + std::to_string(d.width) + "," + std::to_string(d.height) + ") key " + std::to_string(key));

        const RDib snapshot = source;
        const RDib before = dest;
        RDib expected = dest;
        const std::string want = Outcome([&] { test::ReferenceCopyBits(snapshot, expected, s, d, key); });
        const std::string got = Outcome([&] { source.CopyBits(&dest, s, d, key); });
        ASSERT_EQ(want, got);
        ASSERT_NO_FATAL_FAILURE(ExpectSameBitmap(expected, dest));
        if (std::memcmp(before.GetBits(), dest.GetBits(),
                        static_cast<std::size_t>(dest.GetStride() * dest.GetHeight())) != 0)
            ++drawn;
    }
    EXPECT_GT(drawn, 100);  // most cases really draw
}

INSTANTIATE_TEST_SUITE_P(AllKernels, CopyBitsDifferential, ::testing::Range(0, 32),
                         [](const ::testing::TestParamInfo<int>& param) {
                             std::string name;
                             const int i = param.param;
                             name += (i & 16) ? "Transparent" : "Opaque";
                             name += (i & 8) ? "_ScaleH" : "";
                             name += (i & 4) ? "_ScaleV" : "";
                             name += (i & 2) ? "_MirrorH" : "";
                             name += (i & 1) ? "_MirrorV" : "";
                             return name;
                         });

// Wide rows reach the vector loops and their tails: every width from 1 to 300.
TEST(CopyBitsDifferentialWidths, EveryWidthOneToThreeHundred) {
    Random random(7);
    for (int width = 1; width <= 300; ++width) {
        for (int flags = 0; flags < 32; flags += 1) {
            const bool transparent = (flags & 16) != 0;
            RDib source(width + 3, 3);
            source.SetPalette(Palette{});
            FillWithRuns(source, random, 9);
            RDib dest(width + 5, 4);
            FillWithRuns(dest, random, -1);
            const float dw = (flags & 8) ? static_cast<float>(width + 2) : static_cast<float>(width);
            const float dh = (flags & 4) ? 4.0f : 2.0f;
            const RRect s{1, 1, static_cast<float>(width), 2};
            const RRect d{1, 0, (flags & 2) ? -dw : dw, (flags & 1) ? -dh : dh};
            RDib expected = dest;
            test::ReferenceCopyBits(source, expected, s, d, transparent ? 9 : -1);
            source.CopyBits(&dest, s, d, transparent ? 9 : -1);
            SCOPED_TRACE("width " + std::to_string(width) + " flags " + std::to_string(flags));
            ASSERT_NO_FATAL_FAILURE(ExpectSameBitmap(expected, dest));
        }
    }
}

// Screen-wide rows take the vector row copy (opaque) and the long blend
// loops: every kernel at the widths around and past the library's 2 KB
// string-move threshold, and a wide bitmap moved over itself by a few columns.
TEST(CopyBitsDifferentialWidths, ScreenWideRows) {
    Random random(8);
    for (int width : {65, 127, 128, 129, 2111, 2112, 2113, 2560, 3840, 4099}) {
        for (int flags = 0; flags < 32; ++flags) {
            const bool transparent = (flags & 16) != 0;
            const int sourceX = random.Int(0, 3);
            RDib source(width + 4, 3);
            source.SetPalette(Palette{});
            FillWithRuns(source, random, 9);
            RDib dest(width + 7, 4);
            FillWithRuns(dest, random, -1);
            const float dw = (flags & 8) ? static_cast<float>(width + 3) : static_cast<float>(width);
            const float dh = (flags & 4) ? 4.0f : 2.0f;
            const RRect s{static_cast<float>(sourceX), 1, static_cast<float>(width), 2};
            const RRect d{static_cast<float>(random.Int(0, 4)), 0, (flags & 2) ? -dw : dw, (flags & 1) ? -dh : dh};
            RDib expected = dest;
            test::ReferenceCopyBits(source, expected, s, d, transparent ? 9 : -1);
            source.CopyBits(&dest, s, d, transparent ? 9 : -1);
            SCOPED_TRACE("width " + std::to_string(width) + " flags " + std::to_string(flags));
            ASSERT_NO_FATAL_FAILURE(ExpectSameBitmap(expected, dest));
        }
        for (int shift : {-70, -1, 1, 33, 70}) {
            RDib bitmap(width + 80, 3);
            bitmap.SetPalette(Palette{});
            FillWithRuns(bitmap, random, 9);
            const RDib snapshot = bitmap;
            RDib expected = bitmap;
            const RRect s{0, 0, static_cast<float>(width), 3};
            const RRect d{static_cast<float>(shift), 0, static_cast<float>(width), 3};
            test::ReferenceCopyBits(snapshot, expected, s, d, -1);
            bitmap.CopyBits(&bitmap, s, d, -1);
            SCOPED_TRACE("width " + std::to_string(width) + " onto itself, shift " + std::to_string(shift));
            ASSERT_NO_FATAL_FAILURE(ExpectSameBitmap(expected, bitmap));
        }
    }
}

}  // namespace
}  // namespace quellmoor
