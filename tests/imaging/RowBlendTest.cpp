// Every row blend the processor offers must match the plain one byte for
// byte, touch nothing outside its row, and be the one the kernels use last.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "imaging/CopyKernels.h"

namespace quellmoor::detail {
namespace {

constexpr int kGuard = 80;  // wider than any vector, so a stray store lands in it

TEST(RowBlend, EveryVariantMatchesThePlainOneAtEveryLengthAndAlignment) {
    const auto blends = AvailableRowBlends();
    ASSERT_GE(blends.size(), 1u);
    ASSERT_STREQ(blends.front().name, "scalar");
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int length = 0; length <= 300; ++length) {
        for (int offset : {0, 1, 7, 31}) {
            const std::uint8_t key = static_cast<std::uint8_t>(byte(random));
            std::vector<std::uint8_t> source(static_cast<std::size_t>(length + offset + 2 * kGuard));
            std::vector<std::uint8_t> dest(source.size());
            // Runs of the key among random bytes, as sprites have them.
            for (auto& b : source) b = (byte(random) & 3) == 0 ? key : static_cast<std::uint8_t>(byte(random));
            for (auto& b : dest) b = static_cast<std::uint8_t>(byte(random));

            std::vector<std::uint8_t> expected = dest;
            blends.front().blend(expected.data() + kGuard + offset, source.data() + kGuard + offset, length, key);
            for (const RowBlend& variant : blends) {
                std::vector<std::uint8_t> actual = dest;
                variant.blend(actual.data() + kGuard + offset, source.data() + kGuard + offset, length, key);
                ASSERT_EQ(actual, expected) << variant.name << " length " << length << " offset " << offset;
            }
        }
    }
}

TEST(RowBlend, PlainBlendKeepsTheDestinationUnderTheKey) {
    const std::uint8_t source[] = {1, 9, 9, 2};
    std::uint8_t dest[] = {5, 6, 7, 8};
    AvailableRowBlends().front().blend(dest, source, 4, 9);
    EXPECT_EQ(std::vector<std::uint8_t>(dest, dest + 4), (std::vector<std::uint8_t>{1, 6, 7, 2}));
}

}  // namespace
}  // namespace quellmoor::detail
