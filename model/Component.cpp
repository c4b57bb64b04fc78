#include "model/Component.h"

#include <algorithm>

#include "model/ComponentManager.h"
#include "model/CurrentStage.h"
#include "model/StreamReaders.h"
#include "model/Text.h"

namespace quellmoor {

namespace {

std::size_t liveComponents = 0;

}  // namespace

RComponent::RComponent(std::string name, RComponent* owner) : name_(std::move(name)), owner_(owner) {
    ++liveComponents;
}

RComponent::~RComponent() {
    LeaveRegistries();
    DestroyOwnedComponents();
    --liveComponents;
}

std::size_t RComponent::LiveCount() { return liveComponents; }

RComponent* RComponent::Adopt(std::unique_ptr<RComponent> child) {
    if (!child) return nullptr;
    if (child->owner_ != this)
        throw RException("Adopt: component " + child->GetName() + " was made for another owner.");
    owned_.push_back(std::move(child));
    return owned_.back().get();
}

std::unique_ptr<RComponent> RComponent::ReleaseOwned(RComponent* child) {
    const auto it = std::find_if(owned_.begin(), owned_.end(), [&](const auto& c) { return c.get() == child; });
    if (it == owned_.end()) return nullptr;
    std::unique_ptr<RComponent> released = std::move(*it);
    owned_.erase(it);
    released->owner_ = nullptr;
    OwnedReleased(released.get());
    return released;
}

void RComponent::DestroyOwnedComponents() {
    // A child's destructor may release a sibling or leave other lists, so take
    // one entry at a time rather than walking the list.
    while (!owned_.empty()) ReleaseOwned(owned_.front().get()).reset();
}

void RComponent::LeaveRegistries() {
    while (!registries_.empty()) {
        const std::size_t before = registries_.size();
        registries_.back()->UnregisterComponent(this);  // drops the entry here too
        if (registries_.size() == before) registries_.pop_back();
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
