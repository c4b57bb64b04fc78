// RPicture: a pixie that shows one bitmap (the ship's parts, doors, screens).
//
// It owns one surface into which the stored "Surface" bitmap is loaded and
// draws it at its position, optionally with one colour transparent. The stored
// order TransColor, Surface, Transparent puts the loaded colour in force.
#pragma once

#include <cstdint>
#include <memory>

#include "animation/PixieDrawing.h"
#include "model/Rect.h"
#include "stage/Pixie.h"

namespace quellmoor {

class RSurface;

class RPicture : public RPlacedPixie {
public:
    RPicture(std::string name, RComponent* owner);
    ~RPicture() override;

    bool LoadPropFromStream(const std::string& name, std::istream& in, int& counter) override;
    void SaveToStream(std::ostream& out) const override;
    std::string GetClassName() const override { return "RPicture"; }

    bool UpdateBounds() override;
    void Draw(RSurface& destination, float x, float y, const std::vector<RRect>* clipRects) override;

    virtual float GetWidth() const;
    virtual float GetHeight() const;

    // Tells the surface its transparent colour: the stored one when on, none when off.
    void SetTransparent(bool on);
    // Stores the colour only; it takes effect at the next SetTransparent.
    void SetTransColor(std::int32_t colour) { transColor_ = colour; }
    bool IsTransparent() const { return transparent_; }
    std::int32_t GetTransColor() const { return transColor_; }
    RSurface* GetSurface() const { return surface_.get(); }

private:
    bool transparent_ = false;
    std::int32_t transColor_ = 0xFF0000;
    CoveredArea bounds_;
    std::unique_ptr<RSurface> surface_;
};

}  // namespace quellmoor
