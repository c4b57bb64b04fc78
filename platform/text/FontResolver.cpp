#include "platform/text/FontResolver.h"

#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <system_error>

#include "model/Exceptions.h"

namespace quellmoor::text {

namespace {

const FcChar8* AsFc(const char* text) { return reinterpret_cast<const FcChar8*>(text); }

// The source tree's copy wins so the rule can be tried out without a rebuild;
// an installed program has only the compiled-in copy.
void LoadRules(FcConfig* config) {
#ifdef QM_FONT_RULES_PATH
    std::error_code error;
    if (std::filesystem::is_regular_file(QM_FONT_RULES_PATH, error) &&
        FcConfigParseAndLoad(config, AsFc(QM_FONT_RULES_PATH), FcFalse))
        return;
#endif
    if (!FcConfigParseAndLoadFromMemory(config, AsFc(EmbeddedFontRules()), FcTrue))
        throw RException("The font rules compiled into the program could not be read by fontconfig.");
}

std::string GetString(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value) return {};
    return reinterpret_cast<const char*>(value);
}

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

}  // namespace

class FontResolver::Config {
public:
    explicit Config(FcConfig* config) : config_(config) {
        if (!config_) throw RException("fontconfig could not load its configuration.");
    }
    ~Config() { FcConfigDestroy(config_); }
    Config(const Config&) = delete;
    Config& operator=(const Config&) = delete;
    FcConfig* Get() const { return config_; }

private:
    FcConfig* config_;
};

FontResolver& FontResolver::System() {
    static FontResolver resolver{SystemTag{}};
    return resolver;
}

FontResolver::FontResolver(SystemTag)
    : config_(std::make_unique<Config>(FcInitLoadConfigAndFonts())) {
    LoadRules(config_->Get());
}

FontResolver::FontResolver(const std::vector<std::string>& fontDirectories)
    : config_(std::make_unique<Config>(FcConfigCreate())) {
    LoadRules(config_->Get());
    for (const std::string& directory : fontDirectories) {
        if (!FcConfigAppFontAddDir(config_->Get(), AsFc(directory.c_str())))
            throw RException("The font folder \"" + directory + "\" could not be read.");
    }
}

FontResolver::~FontResolver() = default;

ResolvedFace FontResolver::Resolve(std::string_view family) const {
    const std::string name = family.empty() ? std::string("sans-serif") : std::string(family);
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) throw RException("fontconfig ran out of memory.");
    FcPatternAddString(pattern.get(), FC_FAMILY, AsFc(name.c_str()));
    // The balloon's face is weight 400, upright; scalable faces only, since
    // the size is chosen freely.
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config_->Get(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());

    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(config_->Get(), pattern.get(), &result));
    ResolvedFace face;
    if (match) {
        face.family = GetString(match.get(), FC_FAMILY);
        face.file = GetString(match.get(), FC_FILE);
        int index = 0;
        if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) == FcResultMatch) face.index = index;
    }
    if (face.file.empty())
        throw RException("No font was found for the face \"" + name +
                         "\"; install fonts-dejavu-core or fonts-comic-neue.");
    return face;
}

}  // namespace quellmoor::text
