#include "model/Component.h"

#include <algorithm>

#include "model/ComponentManager.h"
#include "model/CurrentStage.h"
#include "model/StreamReaders.h"
#include "model/Text.h"

namespace quellmoor {

RComponent::RComponent(std::string name, RComponent* owner) : name_(std::move(name)), owner_(owner) {
    if (owner_) owner_->owned_.push_back(this);
}

RComponent::~RComponent() {
    if (owner_) {
        auto& siblings = owner_->owned_;
        const auto it = std::find(siblings.begin(), siblings.end(), this);
        if (it != siblings.end()) siblings.erase(it);
    }
    // A child's destructor may unlink other entries (timers leave their lists),
    // so take one entry at a time rather than walking the list.
    while (!owned_.empty()) {
        RComponent* child = owned_.front();
        owned_.erase(owned_.begin());
        child->owner_ = nullptr;
        delete child;
    }
}

bool RComponent::LoadPropFromStream(const std::string& name, std::istream& in, int& counter) {
    if (!EqualsIgnoreCase(name, "Tag")) return false;
    LoadWrappedStringList(tag_, in, counter);
    return true;
}

void RComponent::SavePropToStream(const std::string&, std::ostream&) const {}

void RComponent::SaveToStream(std::ostream&) const {}

bool RComponent::LoadFromStream(std::istream& in, int& counter) {
    const std::int32_t declared = LoadLongIntFromStream(in, counter);
    if (declared < 0) throw RStreamException("LoadFromStream encountered a negative body length.");
    AddToCounter(counter, declared);

    const std::streampos bodyStart = in.tellg();
    std::int64_t remaining = declared;
    bool ok = true;
    while (ok && remaining > 0) {
        // A body cut short by the end of the stream can never use up its length.
        if (AtEndOfStream(in)) {
            ok = false;
            break;
        }
        std::string name;
        int used = 0;
        try {
            name = LoadStringFromStream(in, used);
        } catch (const RStreamException&) {
            ok = false;
            break;
        }
        remaining -= used;
        used = 0;
        if (LoadPropFromStream(name, in, used)) {
            remaining -= used;
        } else {
            try {
                LoadStringFromStream(in, used);
                remaining -= used;
            } catch (const RStreamException&) {
                remaining = -1;
            }
        }
    }
    const bool exact = ok && remaining == 0;
    if (!exact && bodyStart != std::streampos(-1)) {
        // Continue at the declared end so the next triple is read in step.
        in.clear();
        in.seekg(bodyStart + static_cast<std::streamoff>(declared));
    }
    return exact;
}

void RComponent::HandleEvent(const std::string&, RComponent*, REvent*) {}

std::string RComponent::GetTagValue(std::string_view key, std::string_view fallback) const {
    return GetValue(tag_, key, fallback);
}

void RComponent::AddEventHandler(std::string_view eventName, EventHandler handler, RObject* data) {
    if (data == nullptr) data = GetCurrentStage();
    REvent* event = FindEvent(eventName);
    if (!event) {
        events_.push_back(std::make_unique<REvent>(std::string(eventName)));
        event = events_.back().get();
    }
    event->AddHandler(handler, data);
}

REvent* RComponent::FindEvent(std::string_view eventName) const {
    for (const auto& event : events_)
        if (EqualsIgnoreCase(event->GetName(), eventName)) return event.get();
    return nullptr;
}

void RComponent::FireEvent(std::string_view eventName, std::int32_t argument) {
    if (REvent* event = FindEvent(eventName)) event->Fire(this, argument);
}

namespace {

void RouteToComponent(RComponent* sender, REvent* event, RObject* data) {
    if (auto* target = dynamic_cast<RComponent*>(data)) target->HandleEvent(event->GetName(), sender, event);
}

}  // namespace

void RComponent::ConnectEvent(std::string_view eventName, RComponent* target) {
    if (!target) throw RException("ConnectEvent: no target component.");
    AddEventHandler(eventName, &RouteToComponent, target);
}

}  // namespace quellmoor
