#include "tests/stage/links/ModuleLinks.h"

#include "model/Component.h"
#include "model/EventLinks.h"

namespace quellmoor::testing {

namespace {

void Record(RComponent* sender, REvent* event, RObject*) {
    ModuleLinkCalls().push_back(sender->GetName() + ":" + event->GetName());
}

}  // namespace

std::vector<std::string>& ModuleLinkCalls() {
    static std::vector<std::string> calls;
    return calls;
}

void RegisterModuleEventLinks() {
    DeclareEventLink({"Stage", "OnBeforeEverything", &Record, ""});
    DeclareEventLink({"Stage", "OnKeyUp", &Record, ""});
}

}  // namespace quellmoor::testing
