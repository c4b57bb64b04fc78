// A picture for the demonstration when the animation library is not built:
// one surface loaded from the stream ("Surface", "Transparent", "TransColor"),
// drawn whole at the pixie's place. Registered as "RPicture".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "imaging/Surface.h"
#include "model/StreamReaders.h"
#include "model/Text.h"
#include "stage/Pixie.h"
#include "stage/Stage.h"

namespace quellmoor::demo {

class DemoPicture : public RPixie {
public:
    DemoPicture(std::string name, RComponent* owner)
        : RPixie(std::move(name), owner), surface_(CurrentStage()->CreateSurface(1, 1)) {}

    bool LoadPropFromStream(const std::string& name, std::istream& in, int& counter) override {
        if (RPixie::LoadPropFromStream(name, in, counter)) return true;
        if (EqualsIgnoreCase(name, "Surface")) {
            const std::int32_t declared = LoadLongIntFromStream(in, counter);
            int consumed = 0;
            surface_->LoadFromStream(in, consumed);
            AddToCounter(counter, consumed);
            if (consumed != declared) throw RStreamException("LoadPropFromStream; Invalid length.");
        } else if (EqualsIgnoreCase(name, "Transparent")) {
            transparent_ = TextToBool(LoadStringFromStream(in, counter));
            surface_->SetTransColor(transparent_ ? transColor_ : -1);
        } else if (EqualsIgnoreCase(name, "TransColor")) {
            transColor_ = LoadColorFromStream(in, counter);
        } else {
            return false;
        }
        return true;
    }
    float GetXPos() const override { return xPos_; }
    void SetXPos(float x) override { xPos_ = x; }
    float GetYPos() const override { return yPos_; }
    void SetYPos(float y) override { yPos_ = y; }
    float GetZPos() const override { return zPos_; }
    void SetZPos(float z) override { zPos_ = z; }
    bool UpdateBounds() override { return false; }
    void Draw(RSurface& destination, float x, float y, const std::vector<RRect>*) override {
        const float w = surface_->GetWidth(), h = surface_->GetHeight();
        destination.CopyFrom(surface_.get(), 0, 0, w, h, x, y, w, h, false, false);
    }

private:
    std::unique_ptr<RSurface> surface_;
    bool transparent_ = false;
    std::int32_t transColor_ = 0xFF0000;
};

}  // namespace quellmoor::demo
