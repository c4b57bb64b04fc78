#include "model/Behaviour.h"

namespace quellmoor {

namespace {

void DispatchToBehaviour(RComponent* sender, REvent* event, RObject* data) {
    if (auto* behaviour = dynamic_cast<RBehaviour*>(data)) behaviour->OnEvent(event->GetName(), sender);
}

}  // namespace

RBehaviour::RBehaviour(RComponent* owner, std::string name, RComponent* target)
    : RComponent(std::move(name), owner), target_(target) {}

bool RBehaviour::OnEvent(const std::string&, RComponent*) { return false; }

void RBehaviour::SetValues(RComponent* target, std::string name) {
    if (!target_.IsEmpty() || !GetName().empty())
        throw RException("Behaviour::SetValues: values already set.");
    target_ = target;
    SetName(std::move(name));
}

void RBehaviour::Listen(std::string_view eventName) {
    RComponent* target = target_.Get();
    if (!target) throw RException("Behaviour::Listen: the behaviour has no target.");
    target->AddEventHandler(eventName, &DispatchToBehaviour, this);
}

}  // namespace quellmoor
