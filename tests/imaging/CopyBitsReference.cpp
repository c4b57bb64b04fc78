#include "CopyBitsReference.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/Exceptions.h"

namespace quellmoor::test {

namespace {

// Source offset of every destination pixel: a remainder grows by S mod D per
// pixel; when it exceeds D the step is S div D + 1, otherwise S div D.
std::vector<int> Offsets(int sourceLength, int destLength, bool scaled) {
    std::vector<int> offsets(static_cast<std::size_t>(destLength));
    if (!scaled) {
        for (int i = 0; i < destLength; ++i) offsets[static_cast<std::size_t>(i)] = i;
        return offsets;
    }
    const int q = sourceLength / destLength;
    const int r = sourceLength % destLength;
    int remainder = 0;
    int offset = 0;
    for (int i = 0; i < destLength; ++i) {
        offsets[static_cast<std::size_t>(i)] = offset;
        remainder += r;
        int step = q;
        if (remainder > destLength) {
            remainder -= destLength;
            step = q + 1;
        }
        offset += step;
    }
    return offsets;
}

bool Finite(const RRect& r) {
    return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) && std::isfinite(r.height);
}

}  // namespace

void ReferenceCopyBits(const RDib& source, RDib& dest, RRect s, RRect d, int transparent, int mode, float alpha) {
    d.x = std::floor(d.x);
    d.y = std::floor(d.y);
    if (alpha != 0.0f) throw RParamException("RDib::CopyBits : Alpha blending not yet implemented.");
    if (!source.HasPalette())
        throw RParamException("RDib::CopyBits : Internal source DIB doesn't contain a palette.");
    if (mode != 0) throw RParamException("RDib::CopyBits : Only copy mode srcCopy supported yet.");
    if (d.IsEmpty()) d = dest.GetRect();
    if (s.IsEmpty()) s = source.GetRect();
    const bool mirrorH = d.width < 0;
    const bool mirrorV = d.height < 0;
    d.width = std::fabs(d.width);
    d.height = std::fabs(d.height);
    s.width = std::fabs(s.width);
    s.height = std::fabs(s.height);
    if (!Finite(s) || !Finite(d)) return;
    const bool scaleH = d.width != s.width;
    const bool scaleV = d.height != s.height;
    const auto sw = static_cast<float>(source.GetWidth());
    const auto sh = static_cast<float>(source.GetHeight());
    if (s.x < 0 || s.y < 0 || s.x + s.width > sw || s.y + s.height > sh)
        throw RParamException("RDib::CopyBits : Source rect out of bounds");
    if (static_cast<int>(s.width) == 0 || static_cast<int>(s.height) == 0) return;

    const RRect inside = d.Intersect(dest.GetRect());
    if (!(inside == d)) {
        if (inside.width > 0 && inside.height > 0) {
            const float left = inside.x - d.x, right = d.Right() - inside.Right();
            const float top = inside.y - d.y, bottom = d.Bottom() - inside.Bottom();
            // Which side of the source loses pixels depends on the mirroring.
            const float cutX = mirrorH ? right : left;
            const float cutY = mirrorV ? top : bottom;
            if (scaleH) {
                s.x += cutX * (s.width / d.width);
                s.width = s.width * (inside.width / d.width);
            } else {
                s.x += cutX;
                s.width -= left + right;
            }
            if (scaleV) {
                s.y += cutY * (s.height / d.height);
                s.height = s.height * (inside.height / d.height);
            } else {
                s.y += cutY;
                s.height -= top + bottom;
            }
        }
        d = inside;
    }
    if (!dest.HasPalette()) {
        Palette palette;
        std::copy(source.GetPaletteEntries(), source.GetPaletteEntries() + 256, palette.begin());
        dest.SetPalette(palette);
    }
    if (s.width > 60000 || d.width > 60000 || s.height > 60000 || d.height > 60000)
        throw RParamException("RDib::CopyBits : Rectangle too large.");

    const int dx = static_cast<int>(d.x), dy = static_cast<int>(d.y);
    int dw = std::min(static_cast<int>(d.width), dest.GetWidth() - dx);
    int dh = std::min(static_cast<int>(d.height), dest.GetHeight() - dy);
    const int sx = static_cast<int>(s.x), sy = static_cast<int>(s.y);
    int sWidth = std::min(static_cast<int>(s.width), source.GetWidth() - sx);
    int sHeight = std::min(static_cast<int>(s.height), source.GetHeight() - sy);
    if (!scaleH) dw = sWidth = std::min(dw, sWidth);
    if (!scaleV) dh = sHeight = std::min(dh, sHeight);
    if (dw <= 0 || dh <= 0 || sWidth <= 0 || sHeight <= 0) return;

    const std::vector<int> columns = Offsets(sWidth, dw, scaleH);
    const std::vector<int> rows = Offsets(sHeight, dh, scaleV);
    for (int top = 0; top < dh; ++top) {
        const int k = dh - 1 - top;  // row counted from the bottom of the rectangle
        const int sourceRow = mirrorV ? sHeight - 1 - rows[static_cast<std::size_t>(k)] : rows[static_cast<std::size_t>(k)];
        for (int c = 0; c < dw; ++c) {
            const int offset = columns[static_cast<std::size_t>(c)];
            const int sourceColumn = mirrorH ? sWidth - 1 - offset : offset;
            const std::uint8_t value =
                source.GetBits()[static_cast<std::ptrdiff_t>(sy + sourceRow) * source.GetStride() + sx + sourceColumn];
            if (transparent >= 0 && value == static_cast<std::uint8_t>(transparent & 0xFF)) continue;
            *dest.GetPixelAddr(dx + c, dy + top) = value;
        }
    }
}

}  // namespace quellmoor::test
