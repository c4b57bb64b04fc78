#include "stage/Pixie.h"

#include "model/EventNames.h"
#include "model/StreamReaders.h"
#include "model/Text.h"

namespace quellmoor {

RPixie::RPixie(std::string name, RComponent* owner) : RComponent(std::move(name), owner) {}

RPixie::~RPixie() { DestroyOwnedComponents(); }

bool RPixie::LoadPropFromStream(const std::string& name, std::istream& in, int& counter) {
    if (RComponent::LoadPropFromStream(name, in, counter)) return true;
    if (EqualsIgnoreCase(name, "XPos")) {
        SetXPos(LoadCooFromStream(in, counter));
    } else if (EqualsIgnoreCase(name, "YPos")) {
        SetYPos(LoadCooFromStream(in, counter));
    } else if (EqualsIgnoreCase(name, "ZPos")) {
        SetZPos(LoadCooFromStream(in, counter));
    } else if (EqualsIgnoreCase(name, "Visible")) {
        SetVisible(TextToBool(LoadStringFromStream(in, counter)));
    } else {
        return false;
    }
    return true;
}

void RPixie::SetPosition(float x, float y, float z) {
    SetXPos(x);
    SetYPos(y);
    SetZPos(z);
    FireEvent(names::OnMove);
}

void RPixie::MoveTo(float x, float y) { SetPosition(x, y, GetZPos()); }

void RPixie::MoveBy(float dx, float dy, float dz) { SetPosition(GetXPos() + dx, GetYPos() + dy, GetZPos() + dz); }

void RPixie::SequenceFinished(RPixieSequencer* sequencer) {
    lastFinishedSequencer_ = sequencer;
    FireEvent(names::OnFinishSequence);
}

}  // namespace quellmoor
