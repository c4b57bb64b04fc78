#include "platform/text/FontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <atomic>
#include <new>
#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>
#include <utility>

#include "model/Exceptions.h"
#include "platform/text/FontResolver.h"

namespace quellmoor::text {

class FontFace::Library {
public:
    Library() {
        if (FT_Init_FreeType(&library_) != 0) throw RException("FreeType could not be started.");
    }
    ~Library() { FT_Done_FreeType(library_); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    FT_Library Get() const { return library_; }
    // FreeType wants opening and closing faces of one library serialised.
    std::mutex mutex;

private:
    FT_Library library_ = nullptr;
};

namespace {

std::atomic<int> openFaces{0};
std::atomic<bool> failNextHolder{false};

}  // namespace

// Owns one FreeType face from the moment it opens, so no path out of making a
// FontFace (an early return, an exception) can leave it open.
struct FontFace::Handle {
    explicit Handle(std::shared_ptr<Library> owner) : library(std::move(owner)) {}
    ~Handle() {
        if (!face) return;
        std::lock_guard lock(library->mutex);
        FT_Done_Face(face);
        --openFaces;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    // Call with the library's mutex held.
    bool Open(const ResolvedFace& resolved) {
        if (FT_New_Face(library->Get(), resolved.file.c_str(), resolved.index, &face) != 0) {
            face = nullptr;
            return false;
        }
        ++openFaces;
        return true;
    }

    std::shared_ptr<Library> library;
    FT_Face face = nullptr;
};

namespace testing {
int OpenFaceCount() { return openFaces.load(); }
void FailNextFaceHolder() { failNextHolder = true; }
}  // namespace testing

namespace {

struct Store {
    std::mutex mutex;
    std::shared_ptr<FontFace::Library> library;
    std::map<std::pair<std::string, int>, std::shared_ptr<FontFace>> byName;
    std::map<std::tuple<std::string, int, int>, std::shared_ptr<FontFace>> byFile;
};

Store& GetStore() {
    static Store store;
    return store;
}

// Windows sizes a font by its cell (win ascent + win descent); the OS/2 table
// carries those values, other faces fall back to their line metrics.
std::pair<long, long> CellUnits(FT_Face face) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
        return {os2->usWinAscent, os2->usWinDescent};
    if (face->ascender - face->descender > 0) return {face->ascender, -face->descender};
    return {face->units_per_EM * 4L / 5, face->units_per_EM / 5L};
}

std::shared_ptr<FontFace> Open(const std::shared_ptr<FontFace::Library>& library,
                               const ResolvedFace& resolved, int pixelHeight) {
    // Leaving this function any way closes the face unless the FontFace took the handle.
    auto handle = std::make_unique<FontFace::Handle>(library);
    {
        std::lock_guard lock(library->mutex);
        if (!handle->Open(resolved)) return nullptr;
        if (!FT_IS_SCALABLE(handle->face) || handle->face->units_per_EM == 0) return nullptr;
    }
    FT_Face face = handle->face;
    const auto [ascentUnits, descentUnits] = CellUnits(face);
    const double pixelsPerUnit = pixelHeight / static_cast<double>(ascentUnits + descentUnits);
    const auto emSize = static_cast<FT_F26Dot6>(std::lround(face->units_per_EM * pixelsPerUnit * 64.0));
    // At 72 dots per inch a point is a pixel, so this sets the em in 1/64 pixels.
    if (FT_Set_Char_Size(face, 0, std::max<FT_F26Dot6>(emSize, 1), 72, 72) != 0) return nullptr;
    const int ascent = static_cast<int>(std::lround(static_cast<double>(ascentUnits) * pixelsPerUnit));
    if (failNextHolder.exchange(false)) throw std::bad_alloc();
    return std::make_shared<FontFace>(std::move(handle), resolved.family, resolved.file,
                                      pixelHeight, ascent);
}

}  // namespace

FontFace::FontFace(std::unique_ptr<Handle> handle,
                   std::string family, std::string file, int lineHeight, int ascent)
    : handle_(std::move(handle)), family_(std::move(family)), file_(std::move(file)), lineHeight_(lineHeight),
      ascent_(ascent) {}

FontFace::~FontFace() = default;

std::shared_ptr<FontFace> FontFace::Get(std::string_view family, int pixelHeight) {
    const int height = std::clamp(pixelHeight, 1, kMaxPixelHeight);
    Store& store = GetStore();
    std::lock_guard lock(store.mutex);
    const auto nameKey = std::make_pair(std::string(family), height);
    if (auto found = store.byName.find(nameKey); found != store.byName.end()) return found->second;
    if (!store.library) store.library = std::make_shared<Library>();

    // A file fontconfig names may still fail to open (damaged, not scalable):
    // then the next candidate.
    std::shared_ptr<FontFace> face;
    for (std::string_view candidate : {family, std::string_view("DejaVu Sans"), std::string_view("sans-serif")}) {
        ResolvedFace resolved;
        try {
            resolved = FontResolver::System().Resolve(candidate);
        } catch (const RException&) {
            continue;
        }
        const auto fileKey = std::make_tuple(resolved.file, resolved.index, height);
        if (auto found = store.byFile.find(fileKey); found != store.byFile.end()) {
            face = found->second;
            break;
        }
        face = Open(store.library, resolved, height);
        if (face) {
            store.byFile.emplace(fileKey, face);
            break;
        }
    }
    if (!face)
        throw RException("No font could be loaded for the face \"" + std::string(family) +
                         "\"; install fonts-dejavu-core or fonts-comic-neue.");
    store.byName.emplace(nameKey, face);
    return face;
}

const Glyph& FontFace::GetGlyph(char32_t codePoint) {
    std::lock_guard lock(glyphsMutex_);
    if (auto found = glyphs_.find(codePoint); found != glyphs_.end()) return found->second;

    Glyph glyph;
    FT_Face face = handle_->face;
    // Index 0 is the face's "missing" box: drawn rather than silently dropped.
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) == 0 &&
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0) {
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO && bitmap.buffer && bitmap.width > 0 && bitmap.rows > 0) {
            glyph.left = slot->bitmap_left;
            glyph.top = slot->bitmap_top;
            glyph.width = static_cast<int>(bitmap.width);
            glyph.rows = static_cast<int>(bitmap.rows);
            glyph.pitch = (glyph.width + 7) / 8;
            glyph.bits.resize(static_cast<std::size_t>(glyph.pitch) * bitmap.rows);
            for (int row = 0; row < glyph.rows; ++row) {
                // A negative pitch means the buffer runs bottom-up.
                const unsigned char* source = bitmap.pitch >= 0
                    ? bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch
                    : bitmap.buffer + static_cast<std::ptrdiff_t>(glyph.rows - 1 - row) * -bitmap.pitch;
                std::copy_n(source, glyph.pitch, glyph.bits.begin() + static_cast<std::ptrdiff_t>(row) * glyph.pitch);
            }
        }
    }
    return glyphs_.emplace(codePoint, std::move(glyph)).first->second;
}

}  // namespace quellmoor::text
