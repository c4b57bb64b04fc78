// The process-wide pointer to the one stage.
//
// The stage sets it when it is created and clears it when it dies; pixies,
// timers and event bindings reach the stage through it. The model only knows
// the stage as a component manager; the stage module offers a typed accessor.
#pragma once

namespace quellmoor {

class RComponentManager;

RComponentManager* GetCurrentStage();
void SetCurrentStage(RComponentManager* stage);

}  // namespace quellmoor
