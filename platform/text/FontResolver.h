// Font lookup: from a family name to a font file, through fontconfig.
//
//   ResolvedFace face = FontResolver::System().Resolve("Comic Sans MS");
//   // face.family == "Comic Neue", face.file == ".../ComicNeue-Regular.otf"
//
// The system resolver reads the machine's fontconfig set-up and then our rule
// file, fonts.conf: the copy in the source tree when it is there (so it can be
// edited without rebuilding), otherwise the copy compiled into this library.
// The rule maps "Comic Sans MS" to Comic Neue, falling back to DejaVu Sans.
// A resolver over explicit font folders sees only those fonts plus the rule,
// which lets tests check the fallback without uninstalling anything.
// Resolve always answers the regular upright face of the best match; it throws
// RException only when no font at all is available. Safe to share between
// threads (fontconfig locks its configuration).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quellmoor::text {

struct ResolvedFace {
    std::string family;  // the family fontconfig chose, as the font names it
    std::string file;    // path of the font file
    int index = 0;       // face index inside the file (collections)
};

class FontResolver {
public:
    // The process-wide resolver over the system's fonts, made on first use.
    static FontResolver& System();

    // A resolver that sees only the fonts in `fontDirectories` and our rule.
    explicit FontResolver(const std::vector<std::string>& fontDirectories);
    ~FontResolver();
    FontResolver(const FontResolver&) = delete;
    FontResolver& operator=(const FontResolver&) = delete;

    // The best face for `family` (an empty name asks for the default sans-serif face).
    ResolvedFace Resolve(std::string_view family) const;

private:
    struct SystemTag {};
    explicit FontResolver(SystemTag);

    class Config;
    std::unique_ptr<Config> config_;
};

// The rule file's text as compiled into the library.
const char* EmbeddedFontRules();

}  // namespace quellmoor::text
