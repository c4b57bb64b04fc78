// The class factory: creates components by the class name a stream gives.
//
// Each subsystem registers its loadable classes once at start-up (for example
// RegisterAnimationClasses()). Names are tried in registration order and
// compare ignoring ASCII case. A class name that nobody registered creates
// nothing, and the loader skips that object's body by its length.
#pragma once

#include <string>
#include <string_view>

namespace quellmoor {

class RComponent;

// Builds a component with the given name, owned by `owner`.
using ComponentCreator = RComponent* (*)(const std::string& objectName, RComponent* owner);

// Registers (or replaces) the creator for a stream class name.
void RegisterComponentClass(std::string_view className, ComponentCreator create);
ComponentCreator FindComponentClass(std::string_view className);

}  // namespace quellmoor
