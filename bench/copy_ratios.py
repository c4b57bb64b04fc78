#!/usr/bin/env python3
"""Turns one copy_bench JSON run into the tables of docs/performance.md.

    build/imaging-bench/bench/copy_bench --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true --benchmark_format=json > copy.json
    python3 bench/copy_ratios.py copy.json

Uses the median of the repetitions when there are any, else the single value,
and CPU time (on a quiet machine the same as wall time for these one-thread
benchmarks; on a shared one it leaves out the time other processes held the
core). Ratios are to the baseline: the fastest of one memcpy, memcpy row by
row and a plain vector loop row by row at that size, so a slow path of the C
library cannot pass for the limit.
"""
import json
import sys

SIZES = ["64/64", "256/256", "640/480", "1920/1080", "3840/2160"]


def load(path):
    with open(path) as f:
        data = json.load(f)
    times = {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b.get("run_name", b["name"])
        scale = {"ns": 1, "us": 1e3, "ms": 1e6}[b["time_unit"]]
        times[name] = b["cpu_time"] * scale
    return data["context"], times


def t(times, bench, size, run=64):
    return times.get(f"{bench}/{size}/{run}")


BASELINES = ["BM_Memcpy", "BM_MemcpyRows", "BM_VectorLoopRows"]


def baseline(times, size):
    found = [x for x in (t(times, b, size) for b in BASELINES) if x is not None]
    return min(found) if found else None


def fmt(x):
    return "n/a" if x is None else (f"{x:,.0f}" if x >= 100 else f"{x:.1f}")


def ratio(a, b):
    return "n/a" if a is None or b is None else f"{a / b:.2f}"


def main():
    context, times = load(sys.argv[1])
    rows = [
        ("memcpy, one call", "BM_Memcpy", 64),
        ("memcpy, row by row", "BM_MemcpyRows", 64),
        ("plain vector loop, row by row", "BM_VectorLoopRows", 64),
        ("CopyBits transparent 1:1, runs 4-64", "BM_CopyBitsTransparent", 64),
        ("CopyBits transparent 1:1, runs 1-8", "BM_CopyBitsTransparent", 8),
        ("CopyBits opaque 1:1", "BM_CopyBitsOpaque", 64),
        ("CopyBits mirrored opaque", "BM_CopyBitsMirroredOpaque", 64),
        ("CopyBits mirrored transparent", "BM_CopyBitsMirroredTransparent", 64),
        ("CopyBits 2x scaled opaque", "BM_CopyBitsScaled2xOpaque", 64),
        ("CopyBits 2x scaled transparent", "BM_CopyBitsScaled2xTransparent", 64),
        ("SDL2 key blit, RLE off, runs 4-64", "BM_SdlBlitKey", 64),
        ("SDL2 key blit, RLE on, runs 4-64", "BM_SdlBlitKeyRle", 64),
        ("SDL2 key blit, RLE off, runs 1-8", "BM_SdlBlitKey", 8),
        ("SDL2 key blit, RLE on, runs 1-8", "BM_SdlBlitKeyRle", 8),
        ("SDL2 SoftStretch 2x", "BM_SdlSoftStretch", 64),
        ("SDL2 SoftStretch 2x + key blit", "BM_SdlSoftStretchThenKeyBlit", 64),
    ]
    print("Time per copy in ns (CPU), and in parentheses as a multiple of the baseline, the")
    print("fastest of the first three rows at that size; lower is better.\n")
    print("| Copy | " + " | ".join(s.replace("/", "×") for s in SIZES) + " |")
    print("|---|" + "---|" * len(SIZES))
    for label, bench, run in rows:
        if all(t(times, bench, size, run) is None for size in SIZES):
            continue
        cells = []
        for size in SIZES:
            x, m = t(times, bench, size, run), baseline(times, size)
            cells.append("n/a" if x is None else f"{fmt(x)} ({ratio(x, m)})")
        print(f"| {label} | " + " | ".join(cells) + " |")

    if any(name.startswith("BM_Sdl") for name in times):  # a run filtered to CopyBits has none
        print_sdl_speedups(times)
    print_opaque_lines(times, context)


def print_sdl_speedups(times):
    print("\nSpeed-up of CopyBits over the SDL2 baseline (SDL2 time ÷ CopyBits time); higher is better.\n")
    print("| CopyBits vs SDL2 | " + " | ".join(s.replace("/", "×") for s in SIZES) + " |")
    print("|---|" + "---|" * len(SIZES))
    pairs = [
        ("transparent, runs 4-64, vs key blit RLE off", "BM_CopyBitsTransparent", "BM_SdlBlitKey", 64),
        ("transparent, runs 4-64, vs key blit RLE on", "BM_CopyBitsTransparent", "BM_SdlBlitKeyRle", 64),
        ("transparent, runs 1-8, vs key blit RLE off", "BM_CopyBitsTransparent", "BM_SdlBlitKey", 8),
        ("transparent, runs 1-8, vs key blit RLE on", "BM_CopyBitsTransparent", "BM_SdlBlitKeyRle", 8),
        ("2x scaled opaque vs SoftStretch", "BM_CopyBitsScaled2xOpaque", "BM_SdlSoftStretch", 64),
        ("2x scaled transparent vs SoftStretch", "BM_CopyBitsScaled2xTransparent", "BM_SdlSoftStretch", 64),
        ("2x scaled transparent vs SoftStretch + key blit", "BM_CopyBitsScaled2xTransparent",
         "BM_SdlSoftStretchThenKeyBlit", 64),
    ]
    for label, ours, theirs, run in pairs:
        cells = [ratio(t(times, theirs, s, run), t(times, ours, s, run)) for s in SIZES]
        print(f"| {label} | " + " | ".join(cells) + " |")



def print_opaque_lines(times, context):
    print("\nOpaque 1:1 CopyBits as a multiple of the baseline: " +
          ", ".join(f"{s.replace('/', '×')} {ratio(t(times, 'BM_CopyBitsOpaque', s), baseline(times, s))}"
                    for s in SIZES))
    print("\nOpaque 1:1 CopyBits ÷ transparent 1:1 (runs 4-64), at most 1 everywhere: " +
          ", ".join(f"{s.replace('/', '×')} {ratio(t(times, 'BM_CopyBitsOpaque', s), t(times, 'BM_CopyBitsTransparent', s))}"
                    for s in SIZES))
    print(f"\nRun: {context.get('date')}, {context.get('num_cpus')} CPUs at {context.get('mhz_per_cpu')} MHz, "
          f"library build {context.get('library_build_type')}.")


if __name__ == "__main__":
    main()
