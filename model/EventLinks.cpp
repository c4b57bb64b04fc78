#include "model/EventLinks.h"

#include "model/ComponentManager.h"

namespace quellmoor {

namespace {

std::vector<REventLink>& Pending() {
    static std::vector<REventLink> links;
    return links;
}

}  // namespace

void DeclareEventLink(REventLink link) {
    for (const REventLink& pending : Pending())
        if (pending.sourceName == link.sourceName && pending.eventName == link.eventName &&
            pending.handler == link.handler && pending.targetName == link.targetName)
            return;
    Pending().push_back(std::move(link));
}

const std::vector<REventLink>& PendingEventLinks() { return Pending(); }

void ClearPendingEventLinks() { Pending().clear(); }

int BindPendingEventLinks(RComponentManager& registry) {
    // Handlers may declare further links; bind from a snapshot and keep the rest.
    std::vector<REventLink> waiting = std::move(Pending());
    Pending().clear();
    std::vector<REventLink> stillPending;
    int bound = 0;
    for (REventLink& link : waiting) {
        RComponent* source = registry.FindComponent(link.sourceName);
        RComponent* target = link.targetName.empty() ? nullptr : registry.FindComponent(link.targetName);
        // A named target that is not there yet must not silently become the stage.
        if (!source || (!link.targetName.empty() && !target)) {
            stillPending.push_back(std::move(link));
            continue;
        }
        source->AddEventHandler(link.eventName, link.handler, target);
        ++bound;
    }
    for (REventLink& added : Pending()) stillPending.push_back(std::move(added));
    Pending() = std::move(stillPending);
    return bound;
}

}  // namespace quellmoor
