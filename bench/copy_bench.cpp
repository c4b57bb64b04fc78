// CopyBits against memcpy of the same bytes and against SDL2's blitters, on
// sprite-like 8-bit data (40% transparent pixels, in runs).
//
//   build/imaging-bench/bench/copy_bench --benchmark_format=json > copy.json
//   python3 bench/copy_ratios.py copy.json
//
// Every benchmark reports bytes processed = destination pixels, so figures of
// one run compare directly. The limit a copy is held to is the fastest of three
// baselines (copy_ratios.py takes it): one memcpy, memcpy row by row, and a
// plain vector loop row by row, so a slow path of the C library (such as its
// string moves on some AMD processors) cannot pass for the limit. SDL2 2.26 refuses SDL_BlitScaled for INDEX8, so
// scaled copies are compared with SDL_SoftStretch (which has no colour key).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <vector>

#include "imaging/Dib.h"

#ifdef QM_BENCH_HAVE_SDL2
#include <SDL.h>
#endif

namespace quellmoor {
namespace {

constexpr int kKey = 0;

// Runs of 1 to `maxRun` pixels (4 to 64 by default), 40% of them the transparent index.
void FillSpriteLike(std::uint8_t* bits, std::size_t size, int maxRun) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> runLength(maxRun >= 64 ? 4 : 1, maxRun);
    std::uniform_int_distribution<int> colour(1, 255);
    std::bernoulli_distribution transparent(0.4);
    for (std::size_t i = 0; i < size;) {
        const auto run = static_cast<std::size_t>(runLength(random));
        const bool key = transparent(random);
        const auto value = static_cast<std::uint8_t>(key ? kKey : colour(random));
        for (std::size_t j = 0; j < run && i < size; ++j, ++i) bits[i] = key ? value : static_cast<std::uint8_t>(colour(random));
    }
}

RDib SpriteDib(int width, int height, int maxRun = 64) {
    RDib dib(width, height);
    Palette palette{};
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                                                static_cast<std::uint8_t>(255 - i), 0};
    dib.SetPalette(palette);
    FillSpriteLike(dib.GetBits(), static_cast<std::size_t>(dib.GetStride()) * static_cast<std::size_t>(height), maxRun);
    return dib;
}

int W(const benchmark::State& state) { return static_cast<int>(state.range(0)); }
int H(const benchmark::State& state) { return static_cast<int>(state.range(1)); }
int MaxRun(const benchmark::State& state) { return static_cast<int>(state.range(2)); }

void Account(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * W(state) * H(state));
}

constexpr std::pair<int, int> kSizes[] = {{64, 64}, {256, 256}, {640, 480}, {1920, 1080}, {3840, 2160}};

// Arguments: width, height, longest run of equal transparency.
void Sizes(benchmark::internal::Benchmark* b) {
    for (auto [w, h] : kSizes) b->Args({w, h, 64});
}

// Keyed copies also on speckled data (runs of 1 to 8), where run-length encoding helps least.
void SizesAndRuns(benchmark::internal::Benchmark* b) {
    for (int run : {64, 8})
        for (auto [w, h] : kSizes) b->Args({w, h, run});
}

// --- Baselines: memcpy of the same bytes

void BM_Memcpy(benchmark::State& state) {
    const RDib source = SpriteDib(W(state), H(state));
    RDib dest(W(state), H(state));
    const auto bytes = static_cast<std::size_t>(source.GetStride()) * static_cast<std::size_t>(H(state));
    for (auto _ : state) {
        std::memcpy(dest.GetBits(), source.GetBits(), bytes);
        benchmark::ClobberMemory();
    }
    Account(state);
}
BENCHMARK(BM_Memcpy)->Apply(Sizes);

void BM_MemcpyRows(benchmark::State& state) {
    const RDib source = SpriteDib(W(state), H(state));
    RDib dest(W(state), H(state));
    const auto width = static_cast<std::size_t>(W(state));
    const std::ptrdiff_t stride = source.GetStride();
    for (auto _ : state) {
        for (int y = 0; y < H(state); ++y) std::memcpy(dest.GetBits() + y * stride, source.GetBits() + y * stride, width);
        benchmark::ClobberMemory();
    }
    Account(state);
}
BENCHMARK(BM_MemcpyRows)->Apply(Sizes);

// Sixteen bytes at a time, unaligned loads and stores, no library call.
void VectorCopy(std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
    std::size_t i = 0;
#ifdef __SSE2__
    for (; i + 64 <= n; i += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 32));
        const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 48));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), a);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 16), b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 32), c);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 48), e);
    }
    for (; i + 16 <= n; i += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
#endif
    // The tail, under 16 bytes (none at the sizes measured).
    for (; i < n; ++i) d[i] = s[i];
}

void BM_VectorLoopRows(benchmark::State& state) {
    const RDib source = SpriteDib(W(state), H(state));
    RDib dest(W(state), H(state));
    const auto width = static_cast<std::size_t>(W(state));
    const std::ptrdiff_t stride = source.GetStride();
    for (auto _ : state) {
        for (int y = 0; y < H(state); ++y) VectorCopy(dest.GetBits() + y * stride, source.GetBits() + y * stride, width);
        benchmark::ClobberMemory();
    }
    Account(state);
}
BENCHMARK(BM_VectorLoopRows)->Apply(Sizes);

// --- CopyBits

void CopyBitsBench(benchmark::State& state, int sourceDivisor, bool mirror, int transparent) {
    const RDib source = SpriteDib(W(state) / sourceDivisor, H(state) / sourceDivisor, MaxRun(state));
    RDib dest(W(state), H(state));
    const RRect from{0, 0, static_cast<float>(source.GetWidth()), static_cast<float>(source.GetHeight())};
    const float width = static_cast<float>(W(state));
    const RRect to{0, 0, mirror ? -width : width, static_cast<float>(H(state))};
    for (auto _ : state) {
        source.CopyBits(&dest, from, to, transparent);
        benchmark::ClobberMemory();
    }
    Account(state);
}

void BM_CopyBitsTransparent(benchmark::State& state) { CopyBitsBench(state, 1, false, kKey); }
void BM_CopyBitsOpaque(benchmark::State& state) { CopyBitsBench(state, 1, false, -1); }
void BM_CopyBitsMirroredTransparent(benchmark::State& state) { CopyBitsBench(state, 1, true, kKey); }
void BM_CopyBitsMirroredOpaque(benchmark::State& state) { CopyBitsBench(state, 1, true, -1); }
void BM_CopyBitsScaled2xOpaque(benchmark::State& state) { CopyBitsBench(state, 2, false, -1); }
void BM_CopyBitsScaled2xTransparent(benchmark::State& state) { CopyBitsBench(state, 2, false, kKey); }
BENCHMARK(BM_CopyBitsTransparent)->Apply(SizesAndRuns);
BENCHMARK(BM_CopyBitsOpaque)->Apply(Sizes);
BENCHMARK(BM_CopyBitsMirroredTransparent)->Apply(Sizes);
BENCHMARK(BM_CopyBitsMirroredOpaque)->Apply(Sizes);
BENCHMARK(BM_CopyBitsScaled2xOpaque)->Apply(Sizes);
BENCHMARK(BM_CopyBitsScaled2xTransparent)->Apply(Sizes);

#ifdef QM_BENCH_HAVE_SDL2
// --- SDL2 baselines: INDEX8 surfaces sharing one palette

struct SdlSurface {
    SDL_Surface* surface;
    SdlSurface(int width, int height) : surface(SDL_CreateRGBSurfaceWithFormat(0, width, height, 8, SDL_PIXELFORMAT_INDEX8)) {}
    ~SdlSurface() { SDL_FreeSurface(surface); }
    SdlSurface(const SdlSurface&) = delete;
    SdlSurface& operator=(const SdlSurface&) = delete;
};

void FillSdl(SDL_Surface* surface, const RDib& from) {
    auto* pixels = static_cast<std::uint8_t*>(surface->pixels);
    for (int y = 0; y < surface->h; ++y)
        std::memcpy(pixels + y * surface->pitch, from.GetBits() + y * from.GetStride(), static_cast<std::size_t>(surface->w));
}

void SdlBlitBench(benchmark::State& state, bool rle) {
    const RDib sprite = SpriteDib(W(state), H(state), MaxRun(state));
    SdlSurface source(W(state), H(state));
    SdlSurface dest(W(state), H(state));
    FillSdl(source.surface, sprite);
    SDL_SetSurfacePalette(dest.surface, source.surface->format->palette);
    SDL_SetColorKey(source.surface, SDL_TRUE, kKey);
    SDL_SetSurfaceRLE(source.surface, rle ? 1 : 0);
    SDL_BlitSurface(source.surface, nullptr, dest.surface, nullptr);  // builds the RLE form, the blit map
    for (auto _ : state) {
        SDL_BlitSurface(source.surface, nullptr, dest.surface, nullptr);
        benchmark::ClobberMemory();
    }
    Account(state);
}

void BM_SdlBlitKey(benchmark::State& state) { SdlBlitBench(state, false); }
void BM_SdlBlitKeyRle(benchmark::State& state) { SdlBlitBench(state, true); }
BENCHMARK(BM_SdlBlitKey)->Apply(SizesAndRuns);
BENCHMARK(BM_SdlBlitKeyRle)->Apply(SizesAndRuns);

void BM_SdlSoftStretch(benchmark::State& state) {
    const RDib sprite = SpriteDib(W(state) / 2, H(state) / 2);
    SdlSurface source(W(state) / 2, H(state) / 2);
    SdlSurface dest(W(state), H(state));
    FillSdl(source.surface, sprite);
    for (auto _ : state) {
        if (SDL_SoftStretch(source.surface, nullptr, dest.surface, nullptr) != 0) state.SkipWithError(SDL_GetError());
        benchmark::ClobberMemory();
    }
    Account(state);
}
BENCHMARK(BM_SdlSoftStretch)->Apply(Sizes);

// What a keyed scaled copy costs with SDL2: stretch into a scratch surface, then a keyed blit.
void BM_SdlSoftStretchThenKeyBlit(benchmark::State& state) {
    const RDib sprite = SpriteDib(W(state) / 2, H(state) / 2);
    SdlSurface source(W(state) / 2, H(state) / 2);
    SdlSurface scratch(W(state), H(state));
    SdlSurface dest(W(state), H(state));
    FillSdl(source.surface, sprite);
    SDL_SetSurfacePalette(scratch.surface, source.surface->format->palette);
    SDL_SetSurfacePalette(dest.surface, source.surface->format->palette);
    SDL_SetColorKey(scratch.surface, SDL_TRUE, kKey);
    SDL_BlitSurface(scratch.surface, nullptr, dest.surface, nullptr);
    for (auto _ : state) {
        if (SDL_SoftStretch(source.surface, nullptr, scratch.surface, nullptr) != 0) state.SkipWithError(SDL_GetError());
        SDL_BlitSurface(scratch.surface, nullptr, dest.surface, nullptr);
        benchmark::ClobberMemory();
    }
    Account(state);
}
BENCHMARK(BM_SdlSoftStretchThenKeyBlit)->Apply(Sizes);
#endif

}  // namespace
}  // namespace quellmoor
