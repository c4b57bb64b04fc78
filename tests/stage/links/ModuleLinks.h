// A module of its own, built as a static library, that declares event links
// on the stage the way the saver does: through a registration function.
#pragma once

#include <string>
#include <vector>

namespace quellmoor::testing {

void RegisterModuleEventLinks();
// What the module's handlers saw, as "sender:event".
std::vector<std::string>& ModuleLinkCalls();

}  // namespace quellmoor::testing
