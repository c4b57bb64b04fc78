// Registers the loadable animation classes with the class factory:
// "RPicture", "RSprite", "RTimer", "RText" (text blocks) and "RDirector".
#pragma once

namespace quellmoor {

void RegisterAnimationClasses();

}  // namespace quellmoor
