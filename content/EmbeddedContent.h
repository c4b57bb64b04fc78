// The show's content as the program carries it, and where the built content
// directory lies.
//
//   std::span<const unsigned char> bytes = quellmoor::EmbeddedMainStream();
//   std::string dir = quellmoor::BuiltContentDir();  // scenes, Sounds/, Skins/
//
// EmbeddedMainStream returns the main component stream (stage set-up, the
// mascot, the ship's parts, stars, doors, sidekick, the getting-out and
// getting-in directors, the preview screens). It is compiled into the
// program from content/main/QUELLMOOR.rcsrc by the build (library
// qm_embedded_content); the bytes live as long as the program.
// BuiltContentDir is the build tree's content directory: the default
// scenes directory of a program run from the build tree.
#pragma once

#include <span>
#include <string>

namespace quellmoor {

std::span<const unsigned char> EmbeddedMainStream();
std::string BuiltContentDir();

}  // namespace quellmoor
