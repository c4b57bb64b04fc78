// Arbitrary bytes as the settings file, then one key written the way the saver
// writes it (IniDocument::Set). Every key readable before must read the same
// after, the written key must read back, and an unchanged document must give
// back its bytes. Any violation aborts.
//
// Input: the first byte picks what is written (a key of the file, a new key in
// a section of the file, a new section), the second the value; the rest is
// the file.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/Text.h"
#include "scenes/IniDocument.h"

namespace {

using quellmoor::EqualsIgnoreCase;
using quellmoor::IniDocument;

struct Name {
    std::string section, key;
};

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// Every "[section]" and "key=" the bytes hold, paired with every section seen
// so far: a superset of what the document can read, found without its code.
std::vector<Name> CandidateNames(std::string_view bytes) {
    std::vector<std::string> sections{"Vexmon"};
    std::vector<std::string> keys{"Speed", "Dir"};
    std::size_t pos = 0;
    while (pos <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', pos), bytes.size());
        const std::string_view line = Trim(bytes.substr(pos, end - pos));
        if (line.starts_with('[') && line.rfind(']') != std::string_view::npos)
            sections.emplace_back(Trim(line.substr(1, line.rfind(']') - 1)));
        else if (const std::size_t equals = line.find('='); equals != std::string_view::npos)
            keys.emplace_back(Trim(line.substr(0, equals)));
        pos = end + 1;
        if (sections.size() * keys.size() > 4096) break;
    }
    std::vector<Name> names;
    for (const std::string& section : sections)
        for (const std::string& key : keys) names.push_back({section, key});
    return names;
}

bool SameName(const Name& a, const Name& b) {
    return EqualsIgnoreCase(a.section, b.section) && EqualsIgnoreCase(a.key, b.key);
}

void Check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    IniDocument document = IniDocument::Parse(bytes);
    Check(document.Serialise() == bytes);

    const std::vector<Name> names = CandidateNames(bytes);
    std::vector<std::pair<Name, std::optional<std::string>>> before;
    for (const Name& name : names) before.emplace_back(name, document.Get(name.section, name.key));

    Name written = names[data[0] % names.size()];
    if (data[0] & 0x80) written.key = "Fuzz" + std::to_string(data[0] & 0x0F);
    if (data[0] & 0x40) written.section = "Fuzz section";
    static const char* const kValues[] = {"1", "0", "a longer value", "x=y;z", "[not a section]", "\"half", ""};
    const std::string value = kValues[data[1] % std::size(kValues)];

    const std::optional<std::string> old = document.Get(written.section, written.key);
    const bool valid = quellmoor::IsValidKey(written.section) && quellmoor::IsValidKey(written.key) &&
                       quellmoor::IsValidValue(value);
    const bool changed = document.Set(written.section, written.key, value);
    Check(changed == (valid && old != value));
    if (!changed) Check(document.Serialise() == bytes);
    if (valid) Check(document.Get(written.section, written.key) == value);

    // What the next start reads: the written file parsed afresh.
    const IniDocument reread = IniDocument::Parse(document.Serialise());
    for (const auto& [name, value_before] : before)
        if (!SameName(name, written)) Check(reread.Get(name.section, name.key) == value_before);
    if (valid) Check(reread.Get(written.section, written.key) == value);
    return 0;
}
