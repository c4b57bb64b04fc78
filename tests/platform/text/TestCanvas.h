// An 8-bit canvas for drawing tests, fenced with guard bytes: before and after
// the pixels, and in the padding between each row's width and its stride, so a
// test can prove nothing was written outside the canvas.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Platform.h"

namespace quellmoor::testing {

class TestCanvas {
public:
    static constexpr std::uint8_t kGuard = 0xA5;
    static constexpr int kGuardBytes = 64;

    TestCanvas(int width, int height, std::uint8_t background)
        : width_(width), height_(height), stride_((width + 3) / 4 * 4 + 4),
          buffer_(static_cast<std::size_t>(stride_) * height + 2 * kGuardBytes, kGuard) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) Pixel(x, y) = background;
    }

    platform::IndexedCanvas Canvas() {
        return {buffer_.data() + kGuardBytes, width_, height_, stride_, nullptr};
    }

    // y counts from the top row, as drawing coordinates do.
    std::uint8_t& Pixel(int x, int y) {
        return buffer_[kGuardBytes + static_cast<std::size_t>(height_ - 1 - y) * stride_ + x];
    }

    bool GuardsIntact() const {
        for (int i = 0; i < kGuardBytes; ++i)
            if (buffer_[i] != kGuard || buffer_[buffer_.size() - 1 - i] != kGuard) return false;
        for (int row = 0; row < height_; ++row)
            for (int x = width_; x < stride_; ++x)
                if (buffer_[kGuardBytes + static_cast<std::size_t>(row) * stride_ + x] != kGuard) return false;
        return true;
    }

    int Count(std::uint8_t index) {
        int count = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) count += Pixel(x, y) == index;
        return count;
    }

    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_, height_, stride_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace quellmoor::testing
