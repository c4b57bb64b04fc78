// RDib::CopyBits: checks, clipping and set-up; the pixels move in CopyKernels.cpp.
#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/CopyKernels.h"
#include "imaging/Dib.h"
#include "model/Exceptions.h"

namespace quellmoor {

namespace {

constexpr float kMaxSide = static_cast<float>(detail::kMaxCopySide);

bool IsFinite(const RRect& r) {
    return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) && std::isfinite(r.height);
}

// Nearest-neighbour copies cannot turn pixels by an arbitrary angle. No caller
// rotates; the sound reading kept here draws into the bounding box of the
// turned rectangle, upside down when the angle is nearer a half turn.
void RotationPrePass(RRect& dest, float angle) {
    float sine = std::sin(angle);
    float cosine = std::cos(angle);
    if (!std::isfinite(sine) || !std::isfinite(cosine))
        throw RParamException("RDib::CopyBits_Rotation: internal error");
    // sin(pi) is not quite 0 in floats; a stray 1e-7 would shift the floored position a pixel.
    if (std::fabs(sine) < 1e-6f) sine = 0;
    if (std::fabs(cosine) < 1e-6f) cosine = 0;
    const float width = std::fabs(dest.width);
    const float height = std::fabs(dest.height);
    const float centreX = dest.x + dest.width / 2;
    const float centreY = dest.y + dest.height / 2;
    const float turnedWidth = width * std::fabs(cosine) + height * std::fabs(sine);
    const float turnedHeight = width * std::fabs(sine) + height * std::fabs(cosine);
    const float flip = cosine < 0 ? -1.0f : 1.0f;
    dest = {centreX - turnedWidth / 2, centreY - turnedHeight / 2,
            std::copysign(turnedWidth, dest.width) * flip, std::copysign(turnedHeight, dest.height) * flip};
}

// Storage-order pixel ranges of a copy, for telling whether it overlaps itself.
struct Span {
    std::int64_t begin, end;
    bool Meets(const Span& other) const { return begin < other.end && other.begin < end; }
};

// The source rectangle kept aside when a copy reads what it writes. Rare (no
// caller does it), so this is the one place a copy may allocate.
thread_local std::vector<std::uint8_t> snapshot;

}  // namespace

void RDib::CopyBits(RDib* destination, int destX, int destY, int width, int height, int sourceX, int sourceY,
                    int transparent) const {
    const auto w = static_cast<float>(width);
    const auto h = static_cast<float>(height);
    CopyBits(destination, RRect{static_cast<float>(sourceX), static_cast<float>(sourceY), w, h},
             RRect{static_cast<float>(destX), static_cast<float>(destY), w, h}, transparent, 0, 0.0f, 0.0f);
}

void RDib::CopyBits(RDib* destination, const RRect& sourceRect, const RRect& destRect, int transparent, int mode,
                    float angle, float alpha) const {
    RRect src = sourceRect;
    RRect dst = destRect;
    if (angle != 0.0f) RotationPrePass(dst, angle);
    dst.x = std::floor(dst.x);
    dst.y = std::floor(dst.y);
    if (alpha != 0.0f) throw RParamException("RDib::CopyBits : Alpha blending not yet implemented.");
    if (!destination) throw RParamException("RDib::CopyBits : Destination DIB nonexistent.");
    if (!hasPalette_) throw RParamException("RDib::CopyBits : Internal source DIB doesn't contain a palette.");
    if (mode != 0) throw RParamException("RDib::CopyBits : Only copy mode srcCopy supported yet.");
    const bool transparentOn = transparent >= 0;

    if (dst.IsEmpty()) dst = destination->GetRect();
    if (src.IsEmpty()) src = GetRect();
    const bool mirrorH = dst.width < 0;
    const bool mirrorV = dst.height < 0;
    dst.width = std::fabs(dst.width);
    dst.height = std::fabs(dst.height);
    src.width = std::fabs(src.width);
    src.height = std::fabs(src.height);
    // Infinities and NaN have no pixels; truncating them would be undefined.
    if (!IsFinite(src) || !IsFinite(dst)) return;
    const bool scaleH = dst.width != src.width;
    const bool scaleV = dst.height != src.height;

    const int sourceW = header_.width;
    const int sourceH = header_.height;
    if (src.x < 0 || src.y < 0 || src.x + src.width > static_cast<float>(sourceW) ||
        src.y + src.height > static_cast<float>(sourceH))
        throw RParamException("RDib::CopyBits : Source rect out of bounds");
    if (src.width < 1.0f || src.height < 1.0f) return;

    // Clip to the destination; the source loses exactly the pixels the cut destination pixels would show.
    const RRect clipped = dst.Intersect(destination->GetRect());
    if (!(clipped == dst)) {
        if (clipped.width > 0 && clipped.height > 0) {
            const float cutLeft = clipped.x - dst.x;
            const float cutRight = dst.Right() - clipped.Right();
            const float cutH = mirrorH ? cutRight : cutLeft;
            if (scaleH) {
                src.x += cutH * (src.width / dst.width);
                src.width = src.width * (clipped.width / dst.width);
            } else {
                src.x += cutH;
                src.width -= cutLeft + cutRight;
            }
            const float cutTop = clipped.y - dst.y;
            const float cutBottom = dst.Bottom() - clipped.Bottom();
            const float cutV = mirrorV ? cutTop : cutBottom;
            if (scaleV) {
                src.y += cutV * (src.height / dst.height);
                src.height = src.height * (clipped.height / dst.height);
            } else {
                src.y += cutV;
                src.height -= cutTop + cutBottom;
            }
        }
        dst = clipped;
    }

    if (!destination->hasPalette_) {
        destination->palette_ = palette_;
        destination->hasPalette_ = true;
    }

    if (src.width > kMaxSide || dst.width > kMaxSide || src.height > kMaxSide || dst.height > kMaxSide)
        throw RParamException("RDib::CopyBits : Rectangle too large.");
    // Everything is finite and inside a bitmap here, so the truncations are defined.
    const int destW = destination->header_.width;
    const int destH = destination->header_.height;
    const int dx = std::clamp(static_cast<int>(dst.x), 0, destW);
    const int dy = std::clamp(static_cast<int>(dst.y), 0, destH);
    int width = std::min(static_cast<int>(dst.width), destW - dx);
    int height = std::min(static_cast<int>(dst.height), destH - dy);
    const int sx = std::clamp(static_cast<int>(src.x), 0, sourceW);
    const int sy = std::clamp(static_cast<int>(src.y), 0, sourceH);
    // Float rounding in the narrowing must never reach past the source's edge.
    int sourceWidth = std::min(static_cast<int>(src.width), sourceW - sx);
    int sourceHeight = std::min(static_cast<int>(src.height), sourceH - sy);
    if (!scaleH) width = sourceWidth = std::min(width, sourceWidth);
    if (!scaleV) height = sourceHeight = std::min(height, sourceHeight);
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0 || !bits_ || !destination->bits_)
        return;

    detail::CopyJob job;
    job.width = width;
    job.height = height;
    job.sourceWidth = sourceWidth;
    job.sourceHeight = sourceHeight;
    job.key = static_cast<std::uint8_t>(transparent & 0xFF);
    const std::ptrdiff_t destStride = destination->stride_;
    const std::ptrdiff_t destBottomRow = destH - dy - height;  // storage row of the rectangle's bottom
    job.dest = destination->bits_.get() + destBottomRow * destStride + dx;
    job.destStride = destStride;
    job.source = bits_.get() + static_cast<std::ptrdiff_t>(sy) * stride_ + sx;
    job.sourceStride = stride_;

    const bool plain = !transparentOn && !scaleH && !scaleV && !mirrorH && !mirrorV;
    if (destination == this && Span{destBottomRow, destBottomRow + height}.Meets(Span{sy, sy + sourceHeight}) &&
        Span{dx, dx + width}.Meets(Span{sx, sx + sourceWidth})) {
        if (plain) {
            // Rows move with memmove; walk downwards when the destination lies above the source.
            if (destBottomRow > sy) {
                job.dest += (height - 1) * destStride;
                job.source += static_cast<std::ptrdiff_t>(height - 1) * stride_;
                job.destStride = -destStride;
                job.sourceStride = -static_cast<std::ptrdiff_t>(stride_);
            }
        } else {
            snapshot.resize(static_cast<std::size_t>(sourceWidth) * static_cast<std::size_t>(sourceHeight));
            for (int row = 0; row < sourceHeight; ++row)
                detail::CopyRow(snapshot.data() + static_cast<std::size_t>(row) * sourceWidth,
                                job.source + row * job.sourceStride, sourceWidth);
            job.source = snapshot.data();
            job.sourceStride = sourceWidth;
        }
    }

    if (scaleH) {
        detail::BuildSteps(detail::ColumnTable(), sourceWidth, width);
        job.columns = detail::ColumnTable();
    }
    if (scaleV) {
        detail::BuildSteps(detail::RowTable(), sourceHeight, height);
        job.rows = detail::RowTable();
    }
    detail::SelectCopyKernel(transparentOn, scaleH, scaleV, mirrorH, mirrorV)(job);
}

}  // namespace quellmoor
