#include "platform/text/FontResolver.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/Exceptions.h"

namespace quellmoor {
namespace {

bool FamilyInstalled(const std::string& family) {
    return text::FontResolver::System().Resolve(family).family == family;
}

TEST(FontResolver, ComicSansRequestResolvesToComicNeue) {
    if (!FamilyInstalled("Comic Neue")) GTEST_SKIP() << "fonts-comic-neue is not installed";
    const text::ResolvedFace face = text::FontResolver::System().Resolve("Comic Sans MS");
    EXPECT_EQ(face.family, "Comic Neue");
    EXPECT_TRUE(std::filesystem::exists(face.file)) << face.file;
}

TEST(FontResolver, RegularFaceIsChosen) {
    if (!FamilyInstalled("Comic Neue")) GTEST_SKIP() << "fonts-comic-neue is not installed";
    const std::string file = text::FontResolver::System().Resolve("Comic Sans MS").file;
    EXPECT_NE(file.find("Regular"), std::string::npos) << file;
}

// Only the DejaVu folder is visible here, as on a machine without Comic Neue.
TEST(FontResolver, ComicSansFallsBackToDejaVuSans) {
    const std::string dejavu = "/usr/share/fonts/truetype/dejavu";
    if (!std::filesystem::exists(dejavu + "/DejaVuSans.ttf")) GTEST_SKIP() << "fonts-dejavu-core is not installed";
    text::FontResolver resolver({dejavu});
    EXPECT_EQ(resolver.Resolve("Comic Sans MS").family, "DejaVu Sans");
}

TEST(FontResolver, UnknownAndEmptyNamesStillGiveAFace) {
    EXPECT_FALSE(text::FontResolver::System().Resolve("No Such Face 12345").file.empty());
    EXPECT_FALSE(text::FontResolver::System().Resolve("").file.empty());
}

TEST(FontResolver, NoFontsAtAllIsReported) {
    const auto empty = std::filesystem::temp_directory_path() / "qm_no_fonts_here";
    std::filesystem::create_directories(empty);
    text::FontResolver resolver({empty.string()});
    try {
        resolver.Resolve("Comic Sans MS");
        ADD_FAILURE() << "expected an exception";
    } catch (const RException& e) {
        EXPECT_EQ(e.GetMessage(),
                  "No font was found for the face \"Comic Sans MS\"; install fonts-dejavu-core or fonts-comic-neue.");
    }
}

TEST(FontResolver, CompiledRulesAreTheCommittedFile) {
    std::ifstream file(QM_FONT_RULES_FILE);
    ASSERT_TRUE(file) << QM_FONT_RULES_FILE;
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(), text::EmbeddedFontRules());
}

// What an installed program falls back on must be a rule file fontconfig accepts.
TEST(FontResolver, CompiledRulesParse) {
    FcConfig* config = FcConfigCreate();
    EXPECT_TRUE(FcConfigParseAndLoadFromMemory(
        config, reinterpret_cast<const FcChar8*>(text::EmbeddedFontRules()), FcTrue));
    FcConfigDestroy(config);
}

}  // namespace
}  // namespace quellmoor
