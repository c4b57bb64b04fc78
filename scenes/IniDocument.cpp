#include "scenes/IniDocument.h"

#include <algorithm>

#include "model/Text.h"

namespace quellmoor {

namespace {

#ifdef _WIN32
constexpr std::string_view kSystemLineEnding = "\r\n";
#else
constexpr std::string_view kSystemLineEnding = "\n";
#endif

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One line as offsets into the document: its text is [begin, textEnd), its
// ending [textEnd, end), empty for a last line without one.
struct Line {
    std::size_t begin = 0, textEnd = 0, end = 0;
};

class LineCursor {
public:
    LineCursor(std::string_view bytes, std::size_t from) : bytes_(bytes), pos_(from) {}

    bool Next(Line& line) {
        if (pos_ >= bytes_.size()) return false;
        line.begin = pos_;
        const std::size_t feed = bytes_.find('\n', pos_);
        if (feed == std::string_view::npos) {
            line.textEnd = line.end = bytes_.size();
        } else {
            line.textEnd = feed > pos_ && bytes_[feed - 1] == '\r' ? feed - 1 : feed;
            line.end = feed + 1;
        }
        pos_ = line.end;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t pos_;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

bool IsControl(char c) {
    const auto code = static_cast<unsigned char>(c);
    return (code < 0x20 && c != '\t') || code == 0x7F;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsQuoted(std::string_view value) {
    return value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\'');
}

// The name a section header line opens; nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view text) {
    text = Trim(text);
    if (!text.starts_with('[')) return std::nullopt;
    const std::size_t close = text.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(text.substr(1, close - 1));
}

struct Section {
    Line header;
    Line lastFilled;  // its last line that is not blank: the header at least
};

struct Entry {
    Line line;
    std::size_t valueBegin = 0;  // after "=" and the blanks that follow it
};

class Scanner {
public:
    explicit Scanner(std::string_view bytes)
        : bytes_(bytes), start_(bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0) {}

    std::string_view Text(const Line& line) const { return bytes_.substr(line.begin, line.textEnd - line.begin); }

    std::optional<Section> FindSection(std::string_view name) const {
        std::optional<Section> found;
        LineCursor cursor(bytes_, start_);
        for (Line line; cursor.Next(line);) {
            const auto header = SectionName(Text(line));
            if (found) {
                if (header) break;
                if (!Trim(Text(line)).empty()) found->lastFilled = line;
            } else if (header && EqualsIgnoreCase(*header, name)) {
                found = Section{line, line};
            }
        }
        return found;
    }

    std::optional<Entry> FindKey(const Section& section, std::string_view key) const {
        LineCursor cursor(bytes_, section.header.end);
        for (Line line; cursor.Next(line);) {
            const std::string_view text = Text(line);
            if (SectionName(text)) break;
            const std::size_t equals = text.find('=');
            if (equals == std::string_view::npos || !EqualsIgnoreCase(Trim(text.substr(0, equals)), key)) continue;
            std::size_t valueBegin = line.begin + equals + 1;
            while (valueBegin < line.textEnd && (bytes_[valueBegin] == ' ' || bytes_[valueBegin] == '\t')) ++valueBegin;
            return Entry{line, valueBegin};
        }
        return std::nullopt;
    }

    std::optional<Line> LastLine() const {
        std::optional<Line> last;
        LineCursor cursor(bytes_, start_);
        for (Line line; cursor.Next(line);) last = line;
        return last;
    }

    std::string FirstLineEnding() const {
        LineCursor cursor(bytes_, start_);
        for (Line line; cursor.Next(line);)
            if (line.end > line.textEnd) return std::string(bytes_.substr(line.textEnd, line.end - line.textEnd));
        return std::string(kSystemLineEnding);
    }

private:
    std::string_view bytes_;
    std::size_t start_;
};

}  // namespace

bool IsValidKey(std::string_view key) {
    if (key.empty() || Trim(key).size() != key.size()) return false;
    return std::none_of(key.begin(), key.end(), [](char c) {
        return c == '=' || c == ';' || c == '[' || c == ']' || IsControl(c);
    });
}

bool IsValidValue(std::string_view value) {
    return Trim(value).size() == value.size() && !IsQuoted(value) &&
           std::none_of(value.begin(), value.end(), IsControl);
}

IniDocument IniDocument::Parse(std::string_view bytes) { return IniDocument(std::string(bytes)); }

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    const Scanner scanner(bytes_);
    const auto found = scanner.FindSection(section);
    const auto entry = found ? scanner.FindKey(*found, key) : std::nullopt;
    if (!entry) return std::nullopt;
    const std::size_t length = entry->line.textEnd - entry->valueBegin;
    std::string_view value = Trim(std::string_view(bytes_).substr(entry->valueBegin, length));
    if (IsQuoted(value)) value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsValidKey(section) || !IsValidKey(key) || !IsValidValue(value)) return false;
    if (Get(section, key) == value) return false;

    const Scanner scanner(bytes_);
    const std::string ending = scanner.FirstLineEnding();
    const std::string entry = std::string(key) + "=" + std::string(value) + ending;
    if (const auto found = scanner.FindSection(section)) {
        if (const auto existing = scanner.FindKey(*found, key)) {
            bytes_.replace(existing->valueBegin, existing->line.textEnd - existing->valueBegin, value);
            return true;
        }
        // A new key goes after the section's last filled line, before the blank
        // lines that part it from the next section.
        const Line after = found->lastFilled;
        bytes_.insert(after.end, after.end == after.textEnd ? ending + entry : entry);
        return true;
    }

    std::string added;
    if (const auto last = scanner.LastLine()) {
        if (last->end == last->textEnd) added += ending;          // close the last line
        if (!Trim(scanner.Text(*last)).empty()) added += ending;  // and part the sections
    }
    bytes_ += added + "[" + std::string(section) + "]" + ending + entry;
    return true;
}

}  // namespace quellmoor
