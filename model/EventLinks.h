// Event bindings declared before any component exists.
//
// A declaration names a source component, an event, a handler and a target
// component (empty for the current stage). The stage binds the pending list
// once before it loads its content and again afterwards; a link stays pending
// until both its source and its named target are registered.
//
// A module declares its links in a registration function that the program
// calls before loading (like RegisterAnimationClasses): a static declaration
// object in a file nothing else references is dropped by the linker when the
// file sits in a static library, and its links silently never bind.
//
//   void RegisterSaverEventLinks() { DeclareEventLink({"Stage", "OnKeyUp", &HandleKeyUp, ""}); }
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

// Appends a link to the process-wide pending list (in declaration order). A
// link equal to one still pending is not added again, so a registration
// function may run more than once before the stage binds.
void DeclareEventLink(REventLink link);
// Binds every pending link whose source (and named target) is registered with
// `registry`, and removes those from the list. Returns how many were bound.
int BindPendingEventLinks(RComponentManager& registry);
const std::vector<REventLink>& PendingEventLinks();
void ClearPendingEventLinks();

// Declares a link at static-initialisation time; only in a file the program
// references anyway (see above).
struct REventLinkDeclaration {
    REventLinkDeclaration(std::string source, std::string event, EventHandler handler, std::string target) {
        DeclareEventLink({std::move(source), std::move(event), handler, std::move(target)});
    }
};

}  // namespace quellmoor
