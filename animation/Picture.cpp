#include "animation/Picture.h"

#include <sstream>

#include "animation/PixieDrawing.h"
#include "imaging/Surface.h"
#include "model/StreamReaders.h"
#include "model/Text.h"

namespace quellmoor {

RPicture::RPicture(std::string name, RComponent* owner)
    : RPlacedPixie(std::move(name), owner), surface_(MakeSurface(1.0f, 1.0f)) {}

RPicture::~RPicture() { ReleaseCoveredArea(bounds_); }

bool RPicture::LoadPropFromStream(const std::string& name, std::istream& in, int& counter) {
    if (RPixie::LoadPropFromStream(name, in, counter)) return true;
    if (EqualsIgnoreCase(name, "Surface")) {
        const std::int32_t declared = LoadLongIntFromStream(in, counter);
        int consumed = 0;
        surface_->LoadFromStream(in, consumed);
        AddToCounter(counter, consumed);
        if (consumed != declared) throw RStreamException("LoadPropFromStream; Invalid length.");
        return true;
    }
    if (EqualsIgnoreCase(name, "Transparent")) {
        SetTransparent(TextToBool(LoadStringFromStream(in, counter)));
        return true;
    }
    if (EqualsIgnoreCase(name, "TransColor")) {
        SetTransColor(LoadColorFromStream(in, counter));
        return true;
    }
    return false;
}

void RPicture::SaveToStream(std::ostream& out) const {
    std::ostringstream body;
    for (const char* property : {"Surface", "XPos", "YPos", "ZPos"}) SavePropToStream(property, body);
    SaveStringToStream("RPicture", out);
    SaveStringToStream(GetName(), out);
    SaveStringToStream(body.str(), out);
}

float RPicture::GetWidth() const { return surface_->GetWidth(); }
float RPicture::GetHeight() const { return surface_->GetHeight(); }

void RPicture::SetTransparent(bool on) {
    transparent_ = on;
    surface_->SetTransColor(on ? transColor_ : -1);
}

bool RPicture::UpdateBounds() { return UpdateCoveredArea(*this, bounds_, GetWidth(), GetHeight()); }

void RPicture::Draw(RSurface& destination, float x, float y, const std::vector<RRect>* clipRects) {
    DrawSurfaceAt(destination, *surface_, x, y, clipRects, false, false);
}

}  // namespace quellmoor
