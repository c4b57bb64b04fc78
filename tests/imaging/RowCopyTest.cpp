// Every opaque row copy the processor offers must match memmove byte for byte
// at every length and alignment, touch nothing outside its row, and the
// kernels' row move must keep memmove's meaning when a row overlaps itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "imaging/CopyKernels.h"

namespace quellmoor::detail {
namespace {

constexpr int kGuard = 80;  // wider than any vector, so a stray store lands in it

std::vector<std::uint8_t> RandomBytes(std::mt19937& random, std::size_t size) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(random));
    return bytes;
}

void ExpectEveryVariantMatchesMemmove(std::mt19937& random, int length, int sourceOffset, int destOffset) {
    const auto size = static_cast<std::size_t>(length + 64 + 2 * kGuard);
    const std::vector<std::uint8_t> source = RandomBytes(random, size);
    const std::vector<std::uint8_t> dest = RandomBytes(random, size);
    std::vector<std::uint8_t> expected = dest;
    std::memmove(expected.data() + kGuard + destOffset, source.data() + kGuard + sourceOffset,
                 static_cast<std::size_t>(length));
    for (const RowCopy& variant : AvailableRowCopies()) {
        std::vector<std::uint8_t> actual = dest;
        variant.copy(actual.data() + kGuard + destOffset, source.data() + kGuard + sourceOffset, length);
        ASSERT_EQ(actual, expected) << variant.name << " length " << length << " source offset " << sourceOffset
                                    << " destination offset " << destOffset;
    }
}

TEST(RowCopy, PlainCopyComesFirst) {
    const auto copies = AvailableRowCopies();
    ASSERT_GE(copies.size(), 1u);
    EXPECT_STREQ(copies.front().name, "memmove");
}

TEST(RowCopy, EveryVariantMatchesMemmoveAtEveryLengthAndAlignment) {
    std::mt19937 random(11);
    for (int length = 0; length <= 400; ++length)
        for (int sourceOffset : {0, 1, 17})
            for (int destOffset : {0, 3, 16, 31}) ExpectEveryVariantMatchesMemmove(random, length, sourceOffset, destOffset);
}

// Rows past 2 KB are where the library switches to its string-move path.
TEST(RowCopy, EveryVariantMatchesMemmoveOnScreenWideRows) {
    std::mt19937 random(12);
    for (int length : {2111, 2112, 2113, 2560, 3840, 4099, 7680})
        for (int sourceOffset = 0; sourceOffset < 64; sourceOffset += 7)
            for (int destOffset = 0; destOffset < 64; destOffset += 5)
                ExpectEveryVariantMatchesMemmove(random, length, sourceOffset, destOffset);
}

// A bitmap copied onto itself a few columns over: the row overlaps itself.
TEST(RowCopy, KernelRowMoveKeepsMemmoveMeaningWhenTheRowOverlapsItself) {
    std::mt19937 random(13);
    for (int length : {1, 15, 16, 40, 64, 65, 100, 300, 3840})
        for (int shift : {-65, -33, -1, 1, 2, 31, 64, 65}) {
            const std::vector<std::uint8_t> start = RandomBytes(random, static_cast<std::size_t>(length + 2 * kGuard));
            std::vector<std::uint8_t> expected = start;
            std::vector<std::uint8_t> actual = start;
            std::memmove(expected.data() + kGuard + shift, expected.data() + kGuard, static_cast<std::size_t>(length));
            CopyRow(actual.data() + kGuard + shift, actual.data() + kGuard, length);
            ASSERT_EQ(actual, expected) << "length " << length << " shift " << shift;
        }
}

}  // namespace
}  // namespace quellmoor::detail
