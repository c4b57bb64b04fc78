#include "tools/rcs/PaletteCheck.h"

#include <cstdio>

#include "tools/rcs/StreamCodec.h"

namespace rcs {

namespace {

std::uint32_t Little(std::string_view b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

void CollectPairs(const std::vector<Pair>& pairs, const std::string& where, std::vector<NamedBitmap>& out) {
    for (const auto& p : pairs) {
        const Value& v = p.Get();
        const std::string here = where + "/" + p.name;
        if (v.kind == Kind::Bitmap) out.push_back({here, v.bytes});
        if (v.kind == Kind::Pairs) CollectPairs(v.pairs, here, out);
        if (v.kind == Kind::Frames) {
            for (const auto& frame : v.frames) {
                std::string name = "?";
                for (const auto& fp : frame)
                    if (fp.name == "Name") name = fp.Get().bytes;
                CollectPairs(frame, here + "/" + name, out);
            }
        }
    }
}

}  // namespace

std::optional<Palette> ReadPalette(std::string_view bmp) {
    if (!LooksLikeBitmap(bmp) || bmp.size() < 54 || Little(bmp, 14, 4) != 40 || Little(bmp, 28, 2) != 8)
        return std::nullopt;
    std::uint32_t count = Little(bmp, 46, 4);
    if (count == 0 || count > 256) count = 256;
    Palette palette{};
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = 54 + i * 4;
        if (at + 4 > bmp.size()) return std::nullopt;
        palette[i] = Little(bmp, at, 3);  // blue, green, red bytes -> 0xRRGGBB
    }
    return palette;
}

std::vector<NamedBitmap> CollectBitmaps(const Stream& stream) {
    std::vector<NamedBitmap> out;
    for (const auto& o : stream.objects) CollectPairs(o.pairs, o.name, out);
    return out;
}

std::string ComparePalette(std::string_view bmp, const Palette& reference) {
    auto palette = ReadPalette(bmp);
    if (!palette) return "is not an 8-bit Windows bitmap";
    for (std::size_t i = 0; i < palette->size(); ++i) {
        if ((*palette)[i] != reference[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "palette entry %zu is %06X, the shared palette has %06X", i,
                          static_cast<unsigned>((*palette)[i]), static_cast<unsigned>(reference[i]));
            return text;
        }
    }
    return {};
}

}  // namespace rcs
