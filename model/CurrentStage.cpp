#include "model/CurrentStage.h"

namespace quellmoor {

namespace {
RComponentManager* currentStage = nullptr;
}

RComponentManager* GetCurrentStage() { return currentStage; }
void SetCurrentStage(RComponentManager* stage) { currentStage = stage; }

}  // namespace quellmoor
