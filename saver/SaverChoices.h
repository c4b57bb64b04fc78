// What the configure dialog offers and keeps: the ship's skin (the .bmp files
// in Skins), the engine (the numbers n with a Sounds/motor<n>.wav) and sound on
// or off, read from and written to the settings file (scenes/Control.h), the
// same keys the saver reads (Skin, Engine, Sound).
//
//   SaverChoices choices = ReadChoices();
//   std::vector<std::string> skins = ListSkins(dir), engines = ListEngines(dir);
//   if (!WriteChoices(choices)) ...  // the file could not be written
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quellmoor {

struct SaverChoices {
    std::string skin;          // empty: the ship keeps the skin it is built with
    std::string engine = "1";
    bool sound = true;

    bool operator==(const SaverChoices&) const = default;
};

// Skin names (file names without ".bmp", any case) in dir/Skins, sorted
// ignoring case; only bare names, so every one can be stored and read back.
std::vector<std::string> ListSkins(std::string_view dir);
// Engine numbers n with dir/Sounds/motor<n>.wav (any case), ascending; "1" when there are none.
std::vector<std::string> ListEngines(std::string_view dir);

// The settings as the saver reads them (a skin or engine that is not a bare name is the default).
SaverChoices ReadChoices();
// Writes all three; false when the settings file could not be written (it stays as it was).
bool WriteChoices(const SaverChoices& choices);

}  // namespace quellmoor
