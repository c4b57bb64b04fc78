// Faces at one pixel height, loaded with FreeType and rendered one bit per pixel.
//
//   std::shared_ptr<FontFace> face = FontFace::Get("Comic Sans MS", 19);
//   const Glyph& g = face->GetGlyph(U'A');   // g.advance, g.bits ...
//
// The height is the cell height, as Windows fonts count it: ascent plus
// descent of the face's own line metrics equal `pixelHeight`, so a line is
// exactly that many pixels high. Glyphs are hinted for monochrome output and
// rendered without antialiasing, then kept; faces are kept process-wide per
// (file, face index, height), and the name lookup per (name, height), so a
// balloon that selects its font every frame never reloads anything. Kept faces
// live until the process ends (a show uses a handful).
// Get throws RException when no font at all can be loaded. Faces may be shared
// between threads; each guards its glyph table.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quellmoor::text {

// One rendered glyph. `bits` holds `rows` rows of `pitch` bytes, most
// significant bit leftmost, top row first.
struct Glyph {
    int advance = 0;  // pixels to the next pen position
    int left = 0;     // from the pen to the bitmap's first column
    int top = 0;      // from the baseline up to the bitmap's first row
    int width = 0, rows = 0, pitch = 0;
    std::vector<std::uint8_t> bits;
};

class FontFace {
public:
    static constexpr int kMaxPixelHeight = 512;

    // The face fontconfig picks for `family` at `pixelHeight` (clamped to 1..kMaxPixelHeight).
    static std::shared_ptr<FontFace> Get(std::string_view family, int pixelHeight);

    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const std::string& Family() const { return family_; }
    const std::string& File() const { return file_; }
    int LineHeight() const { return lineHeight_; }
    // Pixels from a line's top to its baseline.
    int Ascent() const { return ascent_; }
    const Glyph& GetGlyph(char32_t codePoint);

    // Made by Get only; the types are private to the implementation.
    class Library;
    struct Handle;
    FontFace(std::unique_ptr<Handle> handle, std::string family,
             std::string file, int lineHeight, int ascent);

private:
    std::unique_ptr<Handle> handle_;  // closes the FreeType face; keeps its library alive
    std::string family_, file_;
    int lineHeight_ = 0, ascent_ = 0;
    std::mutex glyphsMutex_;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

// Test hooks: faces FreeType holds open in this process, and a failure of the
// next face's holder (as when memory runs out) to prove nothing stays open.
namespace testing {
int OpenFaceCount();
void FailNextFaceHolder();
}  // namespace testing

}  // namespace quellmoor::text
