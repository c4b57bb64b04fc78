// RDib: the engine's only pixel store, an 8-bit palettised bitmap.
//
// One byte per pixel (a palette index), rows stored bottom-up, each row padded
// to a multiple of 4 bytes. The pixels live in memory the bitmap owns; the
// platform sees them only when asked to present them (Paint, PaintRects) or
// to draw text and polygons into them (GetDC / ReleaseDC, or a DCLease).
//
//   RDib dib(64, 32);                       // grey ramp palette, HasPalette() false
//   dib.LoadFromFile("ship.bmp");           // Windows or OS/2 8-bit bitmap file
//   dib.CopyBits(&stageDib, 10, 20, 64, 32, 0, 0, 0);  // index 0 transparent
//
// Every failure throws an RException carrying the user's message. A failed
// Create or load leaves the bitmap exactly as it was. Colours are 32-bit values
// with red in bits 0-7, green 8-15, blue 16-23.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "model/Rect.h"
#include "platform/Platform.h"

namespace quellmoor {

// The 40-byte Windows bitmap info header, as kept in memory.
struct BitmapInfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 3780;
    std::int32_t yPelsPerMeter = 3780;
    std::uint32_t colorsUsed = 256;
    std::uint32_t colorsImportant = 0;
};

namespace detail {
struct LoadedDib;
}

using PaletteEntry = platform::PaletteEntry;
using Palette = std::array<PaletteEntry, 256>;

class RDib {
public:
    // Sides of one bitmap are limited so that no file can ask for an absurd
    // amount of memory; stride x height may not exceed this many bytes.
    static constexpr std::int64_t kMaxPixelBytes = std::int64_t{1} << 27;

    RDib(int width, int height);
    ~RDib();
    RDib(const RDib& other);
    RDib& operator=(const RDib& other);
    // A moved-from bitmap has no pixels and size 0 x 0.
    RDib(RDib&& other) noexcept;
    RDib& operator=(RDib&& other) noexcept;

    // --- Creation and files
    // New zeroed pixels, grey ramp palette, HasPalette() false.
    void Create(int width, int height);
    void LoadFromFile(const std::string& fileName);
    // Reads one bitmap file image; `consumed` is set to the bytes actually taken.
    void LoadFromStream(std::istream& in, int& consumed);
    // Not supported: always throws "RDib:SaveToStream" (imaging/BmpWriter.h writes files).
    void SaveToStream(std::ostream& out) const;

    // --- Presenting through the platform to the window `target`
    // -99999 for width or height means the bitmap's own size.
    void Paint(platform::WindowId target, int x, int y, int width, int height) const;
    // Copies `rects` (or, when null, the single rectangle x, y, width, height) 1:1.
    void PaintRects(platform::WindowId target, int x, int y, int width, int height,
                    const std::vector<RRect>* rects) const;

    // --- Copying (CopyBits.cpp)
    // Full form: source rectangle y counts rows from the bottom, destination
    // rectangle y from the top; a negative destination side mirrors that axis.
    void CopyBits(RDib* destination, const RRect& source, const RRect& dest, int transparent, int mode = 0,
                  float angle = 0.0f, float alpha = 0.0f) const;
    // Integer form: same size on both sides.
    void CopyBits(RDib* destination, int destX, int destY, int width, int height, int sourceX, int sourceY,
                  int transparent) const;

    // --- Pixels
    void Fill(std::uint8_t index);
    void FillRect(const RRect& rect, std::uint8_t index);
    void GetBounds(int& left, int& top, int& right, int& bottom) const;
    RRect GetRect() const;
    int GetWidth() const { return header_.width; }
    int GetHeight() const { return header_.height; }
    int GetStride() const { return stride_; }
    std::uint8_t* GetBits() { return bits_.get(); }
    const std::uint8_t* GetBits() const { return bits_.get(); }
    std::uint8_t* GetPixelAddr(int x, int y);
    const std::uint8_t* GetPixelAddr(int x, int y) const;
    std::uint8_t GetPixelIndex(int x, int y) const;
    std::int32_t GetPixel(int x, int y) const;

    // --- Palette
    const BitmapInfoHeader& GetHeader() const { return header_; }
    PaletteEntry* GetPaletteEntries() { return palette_.data(); }
    const PaletteEntry* GetPaletteEntries() const { return palette_.data(); }
    bool HasPalette() const { return hasPalette_; }
    // Gives the bitmap a palette of its own (HasPalette() becomes true).
    void SetPalette(const Palette& palette);
    // The palette entries, or null while the bitmap has no palette.
    const PaletteEntry* GetPalette() const { return hasPalette_ ? palette_.data() : nullptr; }
    // Exact (nearest false) or nearest-colour search; -1 when nothing qualifies.
    int GetPaletteIndex(std::int32_t colour, bool nearest) const;
    // The truly nearest entry (lowest index on ties); never fails for lack of a match.
    std::uint8_t GetNearestIndex(std::int32_t colour) const;

    // --- Drawing text and polygons: nested GetDC / ReleaseDC pairs share one context.
    platform::DrawingContext* GetDC();
    void ReleaseDC();
    int GetDCCount() const { return dcCount_; }

    // Images handed to the platform.
    platform::IndexedImage GetImage() const;

private:
    void ReleaseAllDCs() noexcept;
    void TakeFrom(RDib& other) noexcept;
    void ReplaceWith(detail::LoadedDib&& loaded) noexcept;

    BitmapInfoHeader header_;
    Palette palette_{};
    std::unique_ptr<std::uint8_t[]> bits_;
    int stride_ = 0;
    std::unique_ptr<platform::DrawingContext> dc_;
    platform::IndexedCanvas canvas_;  // what dc_ draws into; must outlive it
    int dcCount_ = 0;
    bool hasPalette_ = false;
};

// One GetDC held for a scope and given back on every exit, so a throwing draw
// cannot leave the count raised (the next GetDC would reuse a stale context).
//   DCLease dc(dib);
//   if (dc) dc->DrawLine("12.5", 0, 0, ink);
class DCLease {
public:
    explicit DCLease(RDib& dib) : dib_(dib), dc_(dib.GetDC()) {}
    ~DCLease() {
        try {
            dib_.ReleaseDC();
        } catch (...) {
            // Only a release nobody took could throw, and a destructor must not.
        }
    }
    DCLease(const DCLease&) = delete;
    DCLease& operator=(const DCLease&) = delete;

    explicit operator bool() const { return dc_ != nullptr; }
    platform::DrawingContext* operator->() const { return dc_; }
    platform::DrawingContext& operator*() const { return *dc_; }

private:
    RDib& dib_;
    platform::DrawingContext* dc_;
};

// Bytes per row for a given width: width rounded up to a multiple of 4.
constexpr std::int64_t DibStride(std::int64_t width) { return (width + 3) / 4 * 4; }

}  // namespace quellmoor
