// The program's run of a stage: load the embedded content, then the loop.
//
// Opens the content, loads it with the set-up sequence (which creates the
// window), runs the application loop until quit and returns the exit code.
// Failures while loading are reported like every other exception ("OnException",
// then the message box); without a window there is nothing to run and the
// program ends with exit code 1.
//
//   platform::SdlPlatform sdl({.content = bytes});
//   platform::SetCurrentPlatform(&sdl);
//   RDibStage stage;
//   return RunStageProgram(stage);
#pragma once

namespace quellmoor {

class RDibStage;

int RunStageProgram(RDibStage& stage);

}  // namespace quellmoor
