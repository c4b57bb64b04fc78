// Readers and the writer of the component stream's tokens.
//
// A token is a decimal length, the byte '#', then exactly that many bytes. Every
// reader takes a byte counter by reference and reports through it how many
// bytes it took, so callers can account for the bytes of an enclosing body.
//
// Bad input always ends in RStreamException with a message the user can read;
// no reader allocates more than the bytes that actually arrive, and no declared
// length is trusted before the bytes are there.
//
//   int used = 0;
//   std::string name = LoadStringFromStream(in, used);   // "5#Stage" -> "Stage", used 7
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quellmoor {

// True when no byte can be read any more (end of data or a failed stream).
bool AtEndOfStream(std::istream& in);

// Adds `bytes` to `counter`, rejecting sums beyond the 32-bit range.
void AddToCounter(int& counter, std::int64_t bytes);

std::string LoadStringFromStream(std::istream& in, int& counter);
std::int32_t LoadLongIntFromStream(std::istream& in, int& counter);
float LoadCooFromStream(std::istream& in, int& counter);
std::int32_t LoadColorFromStream(std::istream& in, int& counter);
void LoadStringListFromStream(std::vector<std::string>& list, std::istream& in, int& counter);

// Reads a Tag-style value: an outer length header, then an inner list token.
void LoadWrappedStringList(std::vector<std::string>& list, std::istream& in, int& counter);

// Skips exactly `bytes` bytes; throws RStreamException when fewer remain.
void SkipBytes(std::istream& in, std::int64_t bytes);

void SaveStringToStream(std::string_view text, std::ostream& out);

// The value of the first Key=Value line whose key equals `key` ignoring case.
std::string GetValue(const std::vector<std::string>& lines, std::string_view key,
                     std::string_view fallback);

}  // namespace quellmoor
