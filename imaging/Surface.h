// Surfaces: what the rest of the engine draws on.
//
// RSurface is the abstract drawing surface; RDibSurface, its only kind, owns
// one RDib plus the palette index that is left out when the surface is copied
// onto another (-1: none). Pictures, sprite frames and the stage image are
// surfaces made by the stage's CreateSurface.
//
//   auto frame = std::make_unique<RDibSurface>(1.0f, 1.0f);
//   frame->LoadFromStream(in, consumed);
//   frame->SetTransColor(0x00FF00);                      // green is see-through
//   stageImage.CopyFrom(frame.get(), 0, 0, 32, 32, x, y, 32, 32, false, false);
//
// Colours are red in bits 0-7, green 8-15, blue 16-23; -1 means no colour.
// Bitmap failures pass through unchanged as RException.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "imaging/Dib.h"
#include "model/Exceptions.h"
#include "model/Rect.h"

namespace quellmoor {

class RSurface : public RObject {
public:
    virtual void LoadFromStream(std::istream& in, int& consumed) = 0;
    // Same size, pixels, palette and transparent colour as `other`.
    virtual void Assign(const RSurface& other) = 0;
    virtual float GetWidth() const = 0;
    virtual float GetHeight() const = 0;
    virtual std::int32_t GetPixel(int x, int y) const = 0;
    // A new bitmap of the given size, the old image stretched onto it or kept at the top left.
    virtual void Resize(float width, float height, bool stretch) = 0;
    virtual void LoadFromFile(const std::string& fileName) = 0;
    virtual void SaveToStream(std::ostream& out) = 0;
    virtual std::int32_t GetTransColor() const = 0;
    virtual void SetTransColor(std::int32_t colour) = 0;
    // Draws `source` onto this surface; source y counts rows from the bottom, destination y from the top.
    virtual void CopyFrom(const RSurface* source, float sourceX, float sourceY, float sourceWidth,
                          float sourceHeight, float destX, float destY, float destWidth, float destHeight,
                          bool mirrorHorizontal, bool mirrorVertical) = 0;
    virtual void FillRect(const RRect& rect, std::int32_t colour) = 0;
    virtual void Fill(std::int32_t colour) = 0;
    virtual RRect GetRect() const = 0;
    virtual RDib* GetDib() = 0;
    virtual const RDib* GetDib() const = 0;
};

class RDibSurface : public RSurface {
public:
    // Sides are truncated; non-finite, non-positive or absurd sides fail like RDib::Create.
    RDibSurface(float width, float height);

    void LoadFromStream(std::istream& in, int& consumed) override;
    void Assign(const RSurface& other) override;
    float GetWidth() const override;
    float GetHeight() const override;
    std::int32_t GetPixel(int x, int y) const override;
    void Resize(float width, float height, bool stretch) override;
    void LoadFromFile(const std::string& fileName) override;
    // Always fails with "RDib:SaveToStream not implemented".
    void SaveToStream(std::ostream& out) override;
    std::int32_t GetTransColor() const override;
    void SetTransColor(std::int32_t colour) override;
    // A source that is not an RDibSurface (or null) draws nothing.
    void CopyFrom(const RSurface* source, float sourceX, float sourceY, float sourceWidth, float sourceHeight,
                  float destX, float destY, float destWidth, float destHeight, bool mirrorHorizontal,
                  bool mirrorVertical) override;
    void FillRect(const RRect& rect, std::int32_t colour) override;
    void Fill(std::int32_t colour) override;
    RRect GetRect() const override;
    RDib* GetDib() override { return dib_.get(); }
    const RDib* GetDib() const override { return dib_.get(); }

    // The see-through palette index, -1 when there is none (CopyBits' "no transparency").
    int GetTransIndex() const { return transIndex_ ? *transIndex_ : -1; }

private:
    std::unique_ptr<RDib> dib_;
    std::optional<std::uint8_t> transIndex_;  // none: every pixel is drawn
};

}  // namespace quellmoor
