#include "imaging/Dib.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <new>

#include "imaging/DibInternal.h"
#include "model/Exceptions.h"

namespace quellmoor {

namespace {

constexpr int kNaturalSize = -99999;

int ChannelDistance(const PaletteEntry& entry, int red, int green, int blue) {
    const int dr = entry.red - red;
    const int dg = entry.green - green;
    const int db = entry.blue - blue;
    return dr * dr + dg * dg + db * db;
}

}  // namespace

namespace detail {

Palette GreyRamp() {
    Palette palette{};
    for (int i = 0; i < 256; ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        palette[static_cast<std::size_t>(i)] = {level, level, level, 0};
    }
    return palette;
}

std::unique_ptr<std::uint8_t[]> AllocatePixels(std::int64_t width, std::int64_t height, const char* message) {
    if (width <= 0 || height <= 0 || width > RDib::kMaxPixelBytes || height > RDib::kMaxPixelBytes ||
        DibStride(width) * height > RDib::kMaxPixelBytes)
        throw RException(message);
    try {
        return std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(DibStride(width) * height));
    } catch (const std::bad_alloc&) {
        throw RException(message);
    }
}

BitmapInfoHeader MakeHeader(int width, int height) {
    BitmapInfoHeader header;
    header.width = width;
    header.height = height;
    header.sizeImage = static_cast<std::uint32_t>(DibStride(width) * height);
    return header;
}

}  // namespace detail

RDib::RDib(int width, int height) { Create(width, height); }

RDib::~RDib() { ReleaseAllDCs(); }

RDib::RDib(const RDib& other) { *this = other; }

// Copies everything, palette or not; a self-assignment changes nothing. The
// new pixels are made first so a failure leaves this bitmap as it was.
RDib& RDib::operator=(const RDib& other) {
    if (this == &other) return *this;
    std::unique_ptr<std::uint8_t[]> bits;
    if (other.bits_) {
        bits = detail::AllocatePixels(other.header_.width, other.header_.height,
                                      "Out of memory while creating new DIB");
        std::memcpy(bits.get(), other.bits_.get(), static_cast<std::size_t>(other.stride_) * other.header_.height);
    }
    ReleaseAllDCs();
    header_ = other.header_;
    palette_ = other.palette_;
    hasPalette_ = other.hasPalette_;
    stride_ = other.stride_;
    bits_ = std::move(bits);
    return *this;
}

RDib::RDib(RDib&& other) noexcept { TakeFrom(other); }

RDib& RDib::operator=(RDib&& other) noexcept {
    if (this != &other) {
        ReleaseAllDCs();
        TakeFrom(other);
    }
    return *this;
}

void RDib::TakeFrom(RDib& other) noexcept {
    // The other's drawing context points at its canvas member: end it first.
    other.ReleaseAllDCs();
    header_ = other.header_;
    palette_ = other.palette_;
    hasPalette_ = other.hasPalette_;
    stride_ = other.stride_;
    bits_ = std::move(other.bits_);
    other.header_ = detail::MakeHeader(0, 0);
    other.stride_ = 0;
    other.hasPalette_ = false;
}

void RDib::Create(int width, int height) {
    auto bits = detail::AllocatePixels(width, height, "Out of memory while creating new DIB");
    ReleaseAllDCs();
    hasPalette_ = false;
    header_ = detail::MakeHeader(width, height);
    palette_ = detail::GreyRamp();
    stride_ = static_cast<int>(DibStride(width));
    bits_ = std::move(bits);
}

void RDib::LoadFromFile(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) throw RException("Not a bitmap file");
    int consumed = 0;
    LoadFromStream(file, consumed);
}

void RDib::SaveToStream(std::ostream&) const { throw RException("RDib:SaveToStream"); }

void RDib::ReplaceWith(detail::LoadedDib&& loaded) noexcept {
    ReleaseAllDCs();
    header_ = loaded.header;
    palette_ = loaded.palette;
    hasPalette_ = true;
    stride_ = static_cast<int>(DibStride(loaded.header.width));
    bits_ = std::move(loaded.bits);
}

platform::IndexedImage RDib::GetImage() const {
    return {bits_.get(), header_.width, header_.height, stride_, palette_.data()};
}

void RDib::Paint(platform::WindowId target, int x, int y, int width, int height) const {
    if (width == kNaturalSize) width = header_.width;
    if (height == kNaturalSize) height = header_.height;
    if (!bits_) return;
    platform::CurrentPlatform().PresentStretched(target, GetImage(), {x, y, width, height});
}

void RDib::PaintRects(platform::WindowId target, int x, int y, int width, int height,
                      const std::vector<RRect>* rects) const {
    if (!bits_) return;
    std::vector<platform::PixelRect> pixels;
    const RRect bounds = GetRect();
    // Only what lies inside the bitmap is handed on, so no backend reads past the pixels.
    auto add = [&](RRect rect) {
        if (!std::isfinite(rect.x) || !std::isfinite(rect.y) || !std::isfinite(rect.width) ||
            !std::isfinite(rect.height))
            return;
        rect = {std::trunc(rect.x), std::trunc(rect.y), std::trunc(rect.width), std::trunc(rect.height)};
        const RRect inside = rect.Intersect(bounds);
        if (inside.IsEmpty()) return;
        pixels.push_back({static_cast<int>(inside.x), static_cast<int>(inside.y), static_cast<int>(inside.width),
                          static_cast<int>(inside.height)});
    };
    if (rects) {
        for (const RRect& rect : *rects) add(rect);
    } else {
        if (width == kNaturalSize) width = header_.width;
        if (height == kNaturalSize) height = header_.height;
        add({static_cast<float>(x), static_cast<float>(y), static_cast<float>(width), static_cast<float>(height)});
    }
    if (!pixels.empty()) platform::CurrentPlatform().PresentRects(target, GetImage(), pixels);
}

void RDib::Fill(std::uint8_t index) {
    if (bits_) std::memset(bits_.get(), index, static_cast<std::size_t>(stride_) * header_.height);
}

void RDib::FillRect(const RRect& rect, std::uint8_t index) {
    const RRect inside = rect.Intersect(GetRect());
    if (inside.IsEmpty() || !bits_) return;
    // Intersect keeps the values inside the bitmap, so the truncations below are in range.
    const int left = static_cast<int>(inside.x);
    const int top = static_cast<int>(inside.y);
    const int width = std::min(static_cast<int>(inside.width), header_.width - left);
    const int height = std::min(static_cast<int>(inside.height), header_.height - top);
    for (int row = top; row < top + height; ++row)
        std::memset(bits_.get() + static_cast<std::ptrdiff_t>(header_.height - 1 - row) * stride_ + left, index,
                    static_cast<std::size_t>(width));
}

void RDib::GetBounds(int& left, int& top, int& right, int& bottom) const {
    left = 0;
    top = 0;
    right = header_.width;
    bottom = header_.height;
}

RRect RDib::GetRect() const {
    return {0.0f, 0.0f, static_cast<float>(header_.width), static_cast<float>(header_.height)};
}

std::uint8_t* RDib::GetPixelAddr(int x, int y) {
    return const_cast<std::uint8_t*>(static_cast<const RDib&>(*this).GetPixelAddr(x, y));
}

const std::uint8_t* RDib::GetPixelAddr(int x, int y) const {
    if (x < 0 || x >= header_.width || y < 0 || y >= header_.height)
        throw RParamException("Attempt to get out of range pixel addr");
    if (!bits_) return nullptr;
    return bits_.get() + static_cast<std::ptrdiff_t>(header_.height - 1 - y) * stride_ + x;
}

std::uint8_t RDib::GetPixelIndex(int x, int y) const {
    const std::uint8_t* address = GetPixelAddr(x, y);
    if (!address) throw RException("Out of range pixel coords");
    return *address;
}

std::int32_t RDib::GetPixel(int x, int y) const {
    if (!bits_) throw RException("GetPixel: Invalid Pointer");
    const PaletteEntry& entry = palette_[GetPixelIndex(x, y)];
    return entry.red | entry.green << 8 | entry.blue << 16;
}

void RDib::SetPalette(const Palette& palette) {
    palette_ = palette;
    hasPalette_ = true;
}

int RDib::GetPaletteIndex(std::int32_t colour, bool nearest) const {
    if (!hasPalette_) throw RParamException("RDib::GetPaletteIndex : No source palette.");
    const int red = colour & 0xFF;
    const int green = (colour >> 8) & 0xFF;
    const int blue = (colour >> 16) & 0xFF;
    if (!nearest) {
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& entry = palette_[static_cast<std::size_t>(i)];
            if (entry.red == red && entry.green == green && entry.blue == blue) return i;
        }
        return -1;
    }
    int best = -1;
    int bestDistance = 65535;
    for (int i = 0; i < 256; ++i) {
        const int distance = ChannelDistance(palette_[static_cast<std::size_t>(i)], red, green, blue);
        if (distance == 0) return i;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

std::uint8_t RDib::GetNearestIndex(std::int32_t colour) const {
    const int red = colour & 0xFF;
    const int green = (colour >> 8) & 0xFF;
    const int blue = (colour >> 16) & 0xFF;
    int best = 0;
    int bestDistance = ChannelDistance(palette_[0], red, green, blue);
    for (int i = 1; i < 256 && bestDistance > 0; ++i) {
        const int distance = ChannelDistance(palette_[static_cast<std::size_t>(i)], red, green, blue);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

platform::DrawingContext* RDib::GetDC() {
    if (dcCount_ == 0) {
        if (!bits_) throw RException("Cannot get DC when no bitmap exists.");
        canvas_ = {bits_.get(), header_.width, header_.height, stride_, palette_.data()};
        dc_ = platform::CurrentPlatform().CreateDrawingContext(canvas_);
    }
    ++dcCount_;
    return dc_.get();
}

void RDib::ReleaseDC() {
    --dcCount_;
    if (dcCount_ < 0) {
        // Put the count back, so a stray release does not poison the next GetDC.
        dcCount_ = 0;
        throw RException("Get/ReleaseDC stack: pops exceed pushes");
    }
    if (dcCount_ == 0) dc_.reset();
}

void RDib::ReleaseAllDCs() noexcept {
    dc_.reset();
    dcCount_ = 0;
}

}  // namespace quellmoor
