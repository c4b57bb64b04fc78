// Synthesised sound effects, written as 16-bit mono PCM WAV files at 22050 Hz:
// "brax1.wav" ... "brax10.wav" (the mascot's chirps and mumbles) and
// "motor1.wav", "motor2.wav" (the two engines).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace contentgen {

void WriteSounds(const std::string& dir);
// The bytes of a PCM WAV file holding `samples` (mono, 16 bit).
std::string WavBytes(const std::vector<std::int16_t>& samples, int rate);

}  // namespace contentgen
