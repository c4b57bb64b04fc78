// Event bindings declared before any component exists.
//
// A declaration names a source component, an event, a handler and a target
// component (empty for the current stage). The stage binds the pending list
// once before it loads its content and again afterwards; a link stays pending
// until both its source and its named target are registered.
//
//   static const REventLinkDeclaration onKeyUp{"Stage", "OnKeyUp", &HandleKeyUp, ""};
#pragma once

#include <string>
#include <vector>

#include "model/Event.h"

namespace quellmoor {

class RComponentManager;

struct REventLink {
    std::string sourceName;
    std::string eventName;
    EventHandler handler;
    std::string targetName;
};

// Appends a link to the process-wide pending list (in declaration order).
void DeclareEventLink(REventLink link);
// Binds every pending link whose source (and named target) is registered with
// `registry`, and removes those from the list. Returns how many were bound.
int BindPendingEventLinks(RComponentManager& registry);
const std::vector<REventLink>& PendingEventLinks();
void ClearPendingEventLinks();

// Declares a link at static-initialisation time.
struct REventLinkDeclaration {
    REventLinkDeclaration(std::string source, std::string event, EventHandler handler, std::string target) {
        DeclareEventLink({std::move(source), std::move(event), handler, std::move(target)});
    }
};

}  // namespace quellmoor
