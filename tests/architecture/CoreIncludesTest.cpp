// The core stays portable: no folder above platform/ may include an operating
// system or library header, nor reach past the one platform interface into a
// backend.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

const char* const kCoreFolders[] = {"model", "imaging", "stage", "animation", "scenes", "saver"};

const std::regex kInclude(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])");
const std::regex kForbidden(
    R"(^(SDL.*|windows\.h|winuser\.h|mmsystem\.h|X11/.*|ft2build\.h|freetype/.*|fontconfig/.*|gif_lib\.h|png\.h|unistd\.h|sys/.*|pthread\.h|dlfcn\.h|platform/(sdl|headless|win32|text)/.*)$)");

TEST(CoreIncludes, NoSystemOrBackendHeadersAbovePlatform) {
    const std::filesystem::path root = QM_SOURCE_DIR;
    int files = 0;
    for (const char* folder : kCoreFolders) {
        if (!std::filesystem::exists(root / folder)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
            const auto extension = entry.path().extension();
            if (extension != ".h" && extension != ".cpp") continue;
            ++files;
            std::ifstream file(entry.path());
            std::string line;
            for (int number = 1; std::getline(file, line); ++number) {
                std::smatch match;
                if (std::regex_search(line, match, kInclude) && std::regex_match(match[1].str(), kForbidden))
                    ADD_FAILURE() << entry.path().string() << ":" << number << " includes " << match[1];
            }
        }
    }
    EXPECT_GT(files, 20);
}

}  // namespace
