// Named events and their handlers.
//
// A component owns its events, created on first binding. Firing calls every
// handler synchronously, newest binding first; a nested firing of the same
// event (a handler firing it again) is dropped. Handler data is an RObject so a
// handler can check at run time what it was given. A handler whose data is a
// component that has died is never called again and is dropped, and a handler
// may destroy the event's own component: the firing then ends at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/Exceptions.h"
#include "model/Lifetime.h"

namespace quellmoor {

class RComponent;
class REvent;

using EventHandler = void (*)(RComponent* sender, REvent* event, RObject* data);

class REvent : public RObject {
public:
    explicit REvent(std::string name) : name_(std::move(name)) {}

    void AddHandler(EventHandler handler, RObject* data);
    // Runs the handlers present when the firing starts, newest first. The busy
    // flag is cleared on every exit, also when a handler throws.
    void Fire(RComponent* sender, std::int32_t argument);

    const std::string& GetName() const { return name_; }
    std::int32_t GetArgument() const { return argument_; }
    bool IsBusy() const { return busy_; }
    std::size_t HandlerCount() const { return handlers_.size(); }

private:
    struct Binding {
        EventHandler handler;
        RObject* data;
        std::weak_ptr<const void> dataLife;  // set when the data is a component
        bool watched;
        bool DataDied() const { return watched && dataLife.expired(); }
    };
    void DropDeadHandlers();

    bool busy_ = false;
    std::int32_t argument_ = 0;
    std::string name_;
    std::vector<Binding> handlers_;
    RLifetime lifetime_;
};

}  // namespace quellmoor
