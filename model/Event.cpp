#include "model/Event.h"

namespace quellmoor {

void REvent::AddHandler(EventHandler handler, RObject* data) { handlers_.emplace_back(handler, data); }

void REvent::Fire(RComponent* sender, std::int32_t argument) {
    if (busy_) return;
    struct BusyGuard {
        bool& flag;
        ~BusyGuard() { flag = false; }
    } guard{busy_};
    busy_ = true;
    argument_ = argument;
    for (std::size_t i = handlers_.size(); i-- > 0;) {
        const auto [handler, data] = handlers_[i];
        handler(sender, this, data);
    }
}

}  // namespace quellmoor
