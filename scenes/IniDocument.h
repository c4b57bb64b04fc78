// An INI settings document edited in place.
//
// Parse takes any bytes and never fails: "[Section]" lines open sections,
// "key=value" lines inside them hold settings, and every other line (comments,
// blank lines, junk) is kept as it is. Section and key names match without
// regard to ASCII case; blanks around names and values are ignored, and a
// value in matching quotes reads without them, as the system profile functions
// do. Only the first matching section, and the first matching key in it, count.
//
// Set changes one value and keeps every other byte: other sections, keys,
// comments, blank lines, each line's ending, a leading byte order mark; and
// Serialise(Parse(bytes)) == bytes. New lines take the document's first line
// ending ("\r\n" or "\n"); a document without one takes the system's. Set
// accepts only names and values that read back unchanged (IsValidKey,
// IsValidValue). The document keeps only its bytes; each call scans them once.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellmoor {

// Not empty; no "=", ";", "[", "]" or control characters (line breaks, NUL);
// no blanks at either end.
bool IsValidKey(std::string_view key);
// No control characters; no blanks at either end; not wrapped in matching quotes.
bool IsValidValue(std::string_view value);

class IniDocument {
public:
    static IniDocument Parse(std::string_view bytes);

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Returns true when the document changed; false when the value was already
    // there or the section, key or value is not valid (nothing changes then).
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    const std::string& Serialise() const { return bytes_; }

private:
    explicit IniDocument(std::string bytes) : bytes_(std::move(bytes)) {}

    std::string bytes_;
};

}  // namespace quellmoor
