#include "model/Event.h"

#include <algorithm>

#include "model/Component.h"

namespace quellmoor {

void REvent::AddHandler(EventHandler handler, RObject* data) {
    if (!busy_) DropDeadHandlers();
    Binding binding{handler, data, {}, false};
    if (const auto* component = dynamic_cast<const RComponent*>(data)) {
        binding.dataLife = component->Watch();
        binding.watched = true;
    }
    handlers_.push_back(std::move(binding));
}

void REvent::DropDeadHandlers() {
    std::erase_if(handlers_, [](const Binding& binding) { return binding.DataDied(); });
}

void REvent::Fire(RComponent* sender, std::int32_t argument) {
    if (busy_) return;
    DropDeadHandlers();
    // A handler may destroy the component that owns this event: after each
    // handler, touch nothing of this event unless it is still alive.
    const std::weak_ptr<const void> alive = lifetime_.Watch();
    struct BusyGuard {
        bool& flag;
        const std::weak_ptr<const void>& alive;
        ~BusyGuard() {
            if (!alive.expired()) flag = false;
        }
    } guard{busy_, alive};
    busy_ = true;
    argument_ = argument;
    for (std::size_t i = handlers_.size(); i-- > 0;) {
        const Binding binding = handlers_[i];  // a copy: handlers may bind more
        if (binding.DataDied()) continue;
        binding.handler(sender, this, binding.data);
        if (alive.expired()) return;
    }
}

}  // namespace quellmoor
