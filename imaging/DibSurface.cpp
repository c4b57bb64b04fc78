#include <cmath>

#include "imaging/Surface.h"

namespace quellmoor {

namespace {

// Truncates a side given as a float; values an int cannot hold (and NaN) fail
// like any other size the bitmap cannot have.
int SideFromFloat(float side) {
    if (!(side > -1.0f && side < static_cast<float>(RDib::kMaxPixelBytes) + 1.0f))
        throw RException("Out of memory while creating new DIB");
    return static_cast<int>(side);
}

}  // namespace

RDibSurface::RDibSurface(float width, float height)
    : dib_(std::make_unique<RDib>(SideFromFloat(width), SideFromFloat(height))) {}

void RDibSurface::LoadFromStream(std::istream& in, int& consumed) { dib_->LoadFromStream(in, consumed); }

void RDibSurface::Assign(const RSurface& other) {
    const auto* surface = dynamic_cast<const RDibSurface*>(&other);
    if (!surface || surface == this) return;
    *dib_ = *surface->dib_;
    transIndex_ = surface->transIndex_;
}

float RDibSurface::GetWidth() const { return static_cast<float>(dib_->GetWidth()); }

float RDibSurface::GetHeight() const { return static_cast<float>(dib_->GetHeight()); }

std::int32_t RDibSurface::GetPixel(int x, int y) const { return dib_->GetPixel(x, y); }

void RDibSurface::Resize(float width, float height, bool stretch) {
    auto resized = std::make_unique<RDib>(SideFromFloat(width), SideFromFloat(height));
    if (dib_->HasPalette()) {
        if (stretch)
            dib_->CopyBits(resized.get(), GetRect(), resized->GetRect(), -1);
        else
            dib_->CopyBits(resized.get(), 0, 0, dib_->GetWidth(), dib_->GetHeight(), 0, 0, -1);
    }
    dib_ = std::move(resized);
}

void RDibSurface::LoadFromFile(const std::string& fileName) { dib_->LoadFromFile(fileName); }

void RDibSurface::SaveToStream(std::ostream&) { throw RException("RDib:SaveToStream not implemented"); }

std::int32_t RDibSurface::GetTransColor() const {
    if (!transIndex_) return -1;
    const PaletteEntry& entry = dib_->GetPaletteEntries()[*transIndex_];
    return entry.red | entry.green << 8 | entry.blue << 16;
}

void RDibSurface::SetTransColor(std::int32_t colour) {
    if (colour == -1) {
        transIndex_.reset();
        return;
    }
    // The search answers -1 when no entry is near enough: then nothing is see-through.
    const int index = dib_->GetPaletteIndex(colour, true);
    transIndex_.reset();
    if (index >= 0) transIndex_ = static_cast<std::uint8_t>(index);
}

void RDibSurface::CopyFrom(const RSurface* source, float sourceX, float sourceY, float sourceWidth,
                           float sourceHeight, float destX, float destY, float destWidth, float destHeight,
                           bool mirrorHorizontal, bool mirrorVertical) {
    const auto* surface = dynamic_cast<const RDibSurface*>(source);
    if (!surface) return;
    if (mirrorHorizontal) destWidth = -destWidth;
    if (mirrorVertical) destHeight = -destHeight;
    surface->dib_->CopyBits(dib_.get(), RRect{sourceX, sourceY, sourceWidth, sourceHeight},
                            RRect{destX, destY, destWidth, destHeight}, surface->GetTransIndex());
}

// The nearest-colour search gives -1 only when every entry is far away; the
// fill then uses the truly nearest entry instead of index 255 (-1's low byte).
void RDibSurface::FillRect(const RRect& rect, std::int32_t colour) {
    const int index = dib_->GetPaletteIndex(colour, true);
    dib_->FillRect(rect, index < 0 ? dib_->GetNearestIndex(colour) : static_cast<std::uint8_t>(index));
}

void RDibSurface::Fill(std::int32_t colour) {
    const int index = dib_->GetPaletteIndex(colour, true);
    dib_->Fill(index < 0 ? dib_->GetNearestIndex(colour) : static_cast<std::uint8_t>(index));
}

RRect RDibSurface::GetRect() const { return {0.0f, 0.0f, GetWidth(), GetHeight()}; }

}  // namespace quellmoor
