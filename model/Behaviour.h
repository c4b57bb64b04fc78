// RBehaviour: a component that listens to the events of a target component and
// receives them by name in one virtual operation, OnEvent. It stops hearing a
// target that has died, and then reports no target.
#pragma once

#include <string>

#include "model/Component.h"

namespace quellmoor {

class RBehaviour : public RComponent {
public:
    RBehaviour(RComponent* owner, std::string name, RComponent* target);

    std::string GetClassName() const override { return "RBehaviour"; }

    // Called for every event bound with Listen; the result is informational.
    virtual bool OnEvent(const std::string& eventName, RComponent* sender);
    // Sets target and name once; throws "Behaviour::SetValues: values already set.".
    virtual void SetValues(RComponent* target, std::string name);
    virtual bool GetFlag() const { return flag_; }
    virtual void SetFlag(bool flag) { flag_ = flag; }

    // Binds OnEvent to the target's event of that name.
    void Listen(std::string_view eventName);
    RComponent* GetTarget() const { return target_.Get(); }

private:
    RHandle<RComponent> target_;
    bool flag_ = false;
};

}  // namespace quellmoor
