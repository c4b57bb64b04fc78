#include "imaging/CopyKernels.h"

#include <array>
#include <cstring>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#include <immintrin.h>
#endif

namespace quellmoor::detail {

namespace {

thread_local std::array<std::int32_t, kMaxCopySide> columnTable;
thread_local std::array<std::int32_t, kMaxCopySide> rowTable;
// One scaled source row, gathered once and blended into every destination row that repeats it.
thread_local std::array<std::uint8_t, kMaxCopySide> rowBuffer;

// --- Rows, left to right

#ifdef __SSE2__
// Keeps the destination byte where the source byte equals the key: d = (d & eq) | (s & ~eq).
inline void Blend16(std::uint8_t* d, __m128i s, __m128i key) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    const __m128i eq = _mm_cmpeq_epi8(s, key);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_or_si128(_mm_and_si128(eq, dv), _mm_andnot_si128(eq, s)));
}

inline __m128i Load16(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// Byte order reversed with SSE2 shuffles only (no SSSE3 on the baseline).
inline __m128i Reverse16(__m128i x) {
    x = _mm_shuffle_epi32(x, _MM_SHUFFLE(0, 1, 2, 3));
    x = _mm_shufflelo_epi16(x, _MM_SHUFFLE(2, 3, 0, 1));
    x = _mm_shufflehi_epi16(x, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm_or_si128(_mm_srli_epi16(x, 8), _mm_slli_epi16(x, 8));
}
#endif

inline void BlendScalar(std::uint8_t* d, const std::uint8_t* s, int n, std::uint8_t key) {
    for (int i = 0; i < n; ++i) {
        const std::uint8_t v = s[i];
        d[i] = v == key ? d[i] : v;
    }
}

#ifdef __SSE2__
// Without SSE2 (a browser build) the scalar blend is the only one.
void BlendRow(std::uint8_t* d, const std::uint8_t* s, int n, std::uint8_t key) {
    if (n >= 16) {
        const __m128i k = _mm_set1_epi8(static_cast<char>(key));
        int i = 0;
        for (; i + 32 <= n; i += 32) {
            Blend16(d + i, Load16(s + i), k);
            Blend16(d + i + 16, Load16(s + i + 16), k);
        }
        if (i + 16 <= n) {
            Blend16(d + i, Load16(s + i), k);
            i += 16;
        }
        // The tail overlaps bytes already done; blending them again changes nothing.
        if (i < n) Blend16(d + n - 16, Load16(s + n - 16), k);
        return;
    }
    BlendScalar(d, s, n, key);
}
#endif

#if defined(__SSE2__) && defined(__GNUC__) && defined(__x86_64__)
#define QM_HAVE_AVX2_BLEND 1
// The same blend 32 bytes at a time, for processors that have AVX2 (chosen once per copy).
__attribute__((target("avx2"))) void BlendRowAvx2(std::uint8_t* d, const std::uint8_t* s, int n,
                                                   std::uint8_t key) {
    if (n < 32) {
        BlendRow(d, s, n, key);
        return;
    }
    const __m256i k = _mm256_set1_epi8(static_cast<char>(key));
    auto blend32 = [k](std::uint8_t* dp, const std::uint8_t* sp) __attribute__((target("avx2"))) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sp));
        const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dp));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dp), _mm256_blendv_epi8(sv, dv, _mm256_cmpeq_epi8(sv, k)));
    };
    int i = 0;
    for (; i + 64 <= n; i += 64) {
        blend32(d + i, s + i);
        blend32(d + i + 32, s + i + 32);
    }
    if (i + 32 <= n) {
        blend32(d + i, s + i);
        i += 32;
    }
    if (i < n) blend32(d + n - 32, s + n - 32);
}
#endif

#ifdef QM_HAVE_AVX2_BLEND
// With byte-masked stores the destination is never read: the same two
// streams as memcpy. The row's tail is one masked load and store, so nothing
// outside the row is touched.
__attribute__((target("avx512bw,avx512vl"))) void BlendRowAvx512(std::uint8_t* d, const std::uint8_t* s, int n,
                                                                  std::uint8_t key) {
    const __m256i k = _mm256_set1_epi8(static_cast<char>(key));
    int i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        _mm256_mask_storeu_epi8(d + i, _mm256_cmpneq_epi8_mask(sv, k), sv);
    }
    if (i < n) {
        const __mmask32 live = ~0u >> (32 - (n - i));
        const __m256i sv = _mm256_maskz_loadu_epi8(live, s + i);
        _mm256_mask_storeu_epi8(d + i, live & _mm256_cmpneq_epi8_mask(sv, k), sv);
    }
}
#endif

BlendFunction ChooseBlend() {
    const auto blends = AvailableRowBlends();
    return blends.back().blend;
}

// Picked once at start-up; kernels call it once per row.
const BlendFunction blendRow = ChooseBlend();

// d[i] = s[n - 1 - i]
void ReverseRow(std::uint8_t* d, const std::uint8_t* s, int n) {
    int i = 0;
#ifdef __SSE2__
    if (n >= 16) {
        for (; i + 16 <= n; i += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Reverse16(Load16(s + n - 16 - i)));
        if (i < n) _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 16), Reverse16(Load16(s)));
        return;
    }
#endif
    for (; i < n; ++i) d[i] = s[n - 1 - i];
}

void ReverseBlendRow(std::uint8_t* d, const std::uint8_t* s, int n, std::uint8_t key) {
    int i = 0;
#ifdef __SSE2__
    if (n >= 16) {
        const __m128i k = _mm_set1_epi8(static_cast<char>(key));
        for (; i + 16 <= n; i += 16) Blend16(d + i, Reverse16(Load16(s + n - 16 - i)), k);
        if (i < n) Blend16(d + n - 16, Reverse16(Load16(s)), k);
        return;
    }
#endif
    for (; i < n; ++i) {
        const std::uint8_t v = s[n - 1 - i];
        d[i] = v == key ? d[i] : v;
    }
}

// d[i] = s[offset(i)], or s[sourceWidth - 1 - offset(i)] when mirrored.
template <bool MirrorH>
void GatherRow(std::uint8_t* d, const std::uint8_t* s, int n, const std::int32_t* offsets, int sourceWidth) {
    const std::uint8_t* base = MirrorH ? s + sourceWidth - 1 : s;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const std::uint8_t a = MirrorH ? base[-offsets[i]] : base[offsets[i]];
        const std::uint8_t b = MirrorH ? base[-offsets[i + 1]] : base[offsets[i + 1]];
        const std::uint8_t c = MirrorH ? base[-offsets[i + 2]] : base[offsets[i + 2]];
        const std::uint8_t e = MirrorH ? base[-offsets[i + 3]] : base[offsets[i + 3]];
        d[i] = a;
        d[i + 1] = b;
        d[i + 2] = c;
        d[i + 3] = e;
    }
    for (; i < n; ++i) d[i] = MirrorH ? base[-offsets[i]] : base[offsets[i]];
}

// --- Opaque rows wider than the inline moves
//
// Not the library's memcpy: glibc moves 2 KB and more with `rep movsb` on
// processors that flag fast short string moves, and on AMD Zen 3 that runs at
// about 2 GB/s when the destination is not aligned, eight times slower than
// blending the same row. These loops never read the destination, and long
// rows store aligned. Source and destination must not overlap.

#ifdef __SSE2__
void CopyRowSse2(std::uint8_t* d, const std::uint8_t* s, int n) {
    if (n < 16) {
        std::memcpy(d, s, static_cast<std::size_t>(n));
        return;
    }
    // The unaligned first and last vectors cover what the aligned stores miss.
    const __m128i head = Load16(s), tail = Load16(s + n - 16);
    int i = static_cast<int>((16 - (reinterpret_cast<std::uintptr_t>(d) & 15)) & 15);
    for (; i + 64 <= n; i += 64) {
        const __m128i a = Load16(s + i), b = Load16(s + i + 16), c = Load16(s + i + 32), e = Load16(s + i + 48);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + i), a);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + i + 16), b);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + i + 32), c);
        _mm_store_si128(reinterpret_cast<__m128i*>(d + i + 48), e);
    }
    for (; i + 16 <= n; i += 16) _mm_store_si128(reinterpret_cast<__m128i*>(d + i), Load16(s + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), head);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 16), tail);
}
#endif

#ifdef QM_HAVE_AVX2_BLEND
__attribute__((target("avx2"))) inline __m256i Load32(const std::uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

__attribute__((target("avx2"))) void CopyRowAvx2(std::uint8_t* d, const std::uint8_t* s, int n) {
    if (n < 64) {
        CopyRowSse2(d, s, n);
        return;
    }
    const __m256i head = Load32(s), tail = Load32(s + n - 32);
    // Aligning costs a few stores; it pays on long rows only.
    int i = n < 512 ? 0 : static_cast<int>((32 - (reinterpret_cast<std::uintptr_t>(d) & 31)) & 31);
    for (; i + 128 <= n; i += 128) {
        const __m256i a = Load32(s + i), b = Load32(s + i + 32), c = Load32(s + i + 64), e = Load32(s + i + 96);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), a);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 32), b);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 64), c);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 96), e);
    }
    for (; i + 32 <= n; i += 32) _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), Load32(s + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), head);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + n - 32), tail);
}

// Where the masked-store blend runs, the copy is that loop without the
// compare, so an opaque row never costs more than a transparent one.
__attribute__((target("avx512bw,avx512vl"))) void CopyRowAvx512(std::uint8_t* d, const std::uint8_t* s, int n) {
    int i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m256i a = Load32(s + i), b = Load32(s + i + 32);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), a);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 32), b);
    }
    if (i + 32 <= n) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), Load32(s + i));
        i += 32;
    }
    if (i < n) {
        const __mmask32 live = ~0u >> (32 - (n - i));
        _mm256_mask_storeu_epi8(d + i, live, _mm256_maskz_loadu_epi8(live, s + i));
    }
}
#endif


void CopyRowPlain(std::uint8_t* d, const std::uint8_t* s, int n) { std::memmove(d, s, static_cast<std::size_t>(n)); }

CopyFunction ChooseCopy() { return AvailableRowCopies().back().copy; }

// Picked once at start-up, like the blend.
const CopyFunction copyRow = ChooseCopy();

bool Disjoint(const std::uint8_t* d, const std::uint8_t* s, int n) {
    const auto da = reinterpret_cast<std::uintptr_t>(d), sa = reinterpret_cast<std::uintptr_t>(s);
    const auto length = static_cast<std::uintptr_t>(n);
    return da + length <= sa || sa + length <= da;
}

// A row of a sprite is short: a library call per row costs as much as the
// copy. Up to 64 bytes move inline; every load comes before the first store,
// so a row may overlap itself as memmove allows. Only a bitmap copied onto
// itself within one row overlaps; it keeps the library's memmove.
inline void MoveRow(std::uint8_t* d, const std::uint8_t* s, int n) {
#ifdef __SSE2__
    if (n >= 16 && n <= 64) {
        const __m128i first = Load16(s), last = Load16(s + n - 16);
        if (n <= 32) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), first);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 16), last);
            return;
        }
        const __m128i second = Load16(s + 16), thirdFromEnd = Load16(s + n - 32);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), first);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), second);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 32), thirdFromEnd);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 16), last);
        return;
    }
#endif
    if (n > 64 && Disjoint(d, s, n)) {
        copyRow(d, s, n);
        return;
    }
    std::memmove(d, s, static_cast<std::size_t>(n));
}

// --- The one template behind all 32 kernels

template <bool Transparent, bool ScaleH, bool ScaleV, bool MirrorH, bool MirrorV>
void CopyKernelImpl(const CopyJob& job) {
    const int n = job.width;
    for (int k = 0; k < job.height; ++k) {
        std::uint8_t* d = job.dest + k * job.destStride;
        std::ptrdiff_t sourceRow;
        if constexpr (ScaleV)
            sourceRow = MirrorV ? job.sourceHeight - 1 - job.rows[k] : job.rows[k];
        else
            sourceRow = MirrorV ? job.height - 1 - k : k;
        const std::uint8_t* s = job.source + sourceRow * job.sourceStride;

        if constexpr (ScaleH) {
            // A source row met again (upscaling) is not gathered twice.
            bool repeated = false;
            if constexpr (ScaleV) repeated = k > 0 && job.rows[k] == job.rows[k - 1];
            if constexpr (Transparent) {
                if (!repeated) GatherRow<MirrorH>(rowBuffer.data(), s, n, job.columns, job.sourceWidth);
                blendRow(d, rowBuffer.data(), n, job.key);
            } else {
                if (repeated)
                    MoveRow(d, d - job.destStride, n);
                else
                    GatherRow<MirrorH>(d, s, n, job.columns, job.sourceWidth);
            }
        } else if constexpr (MirrorH) {
            if constexpr (Transparent)
                ReverseBlendRow(d, s, n, job.key);
            else
                ReverseRow(d, s, n);
        } else {
            if constexpr (Transparent)
                blendRow(d, s, n, job.key);
            else
                MoveRow(d, s, n);
        }
    }
}

template <std::size_t... I>
constexpr std::array<CopyKernel, 32> MakeKernelTable(std::index_sequence<I...>) {
    return {&CopyKernelImpl<(I & 16) != 0, (I & 8) != 0, (I & 4) != 0, (I & 2) != 0, (I & 1) != 0>...};
}

constexpr std::array<CopyKernel, 32> kKernels = MakeKernelTable(std::make_index_sequence<32>{});

}  // namespace

CopyKernel SelectCopyKernel(bool transparent, bool scaleH, bool scaleV, bool mirrorH, bool mirrorV) {
    const std::size_t index = (transparent ? 16u : 0u) | (scaleH ? 8u : 0u) | (scaleV ? 4u : 0u) |
                              (mirrorH ? 2u : 0u) | (mirrorV ? 1u : 0u);
    return kKernels[index];
}

void BuildSteps(std::int32_t* offsets, int sourceLength, int destLength) {
    const int quotient = sourceLength / destLength;
    const int remainder = sourceLength % destLength;
    int running = 0;
    std::int32_t offset = 0;
    for (int i = 0; i < destLength; ++i) {
        offsets[i] = offset;
        running += remainder;
        int step = quotient;
        if (running > destLength) {
            running -= destLength;
            ++step;
        }
        offset += step;
    }
}

std::vector<RowCopy> AvailableRowCopies() {
    std::vector<RowCopy> copies{{"memmove", &CopyRowPlain}};
#ifdef __SSE2__
    copies.push_back({"sse2", &CopyRowSse2});
#endif
#ifdef QM_HAVE_AVX2_BLEND
    if (__builtin_cpu_supports("avx2")) copies.push_back({"avx2", &CopyRowAvx2});
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl"))
        copies.push_back({"avx512", &CopyRowAvx512});
#endif
    return copies;
}

void CopyRow(std::uint8_t* dest, const std::uint8_t* source, int count) { MoveRow(dest, source, count); }

std::vector<RowBlend> AvailableRowBlends() {
    std::vector<RowBlend> blends{{"scalar", &BlendScalar}};
#ifdef __SSE2__
    blends.push_back({"sse2", &BlendRow});
#endif
#ifdef QM_HAVE_AVX2_BLEND
    if (__builtin_cpu_supports("avx2")) blends.push_back({"avx2", &BlendRowAvx2});
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl"))
        blends.push_back({"avx512", &BlendRowAvx512});
#endif
    return blends;
}

std::int32_t* ColumnTable() { return columnTable.data(); }
std::int32_t* RowTable() { return rowTable.data(); }

}  // namespace quellmoor::detail
