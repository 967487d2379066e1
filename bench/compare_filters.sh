#!/usr/bin/env bash
# Compares our Gaussian blur (sigma 2 and 20), unsharp mask and 3 x 3 median on a 24-megapixel
# RGB photo with libvips (the vips command) and OpenCV (python3 cv2), and prints the figures
# with their ratios.
#
#   bench/compare_filters.sh [build-dir]     builds bench_engine (Release) there if needed
#   BENCH_BIN=/path/to/bench_engine RUNS=5 bench/compare_filters.sh
#
# The photo is the benchmark's own (written as photo.ppm). OpenCV is timed in-process on the
# loaded array (both threads); libvips is timed as a process, minus the same process only copying
# the file, as close to its compute cost as its command line allows.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-filter-rel}
runs=${RUNS:-5}

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
install() {
    echo "compare_filters: installing $*"
    $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null \
        || { $SUDO apt-get update -qq >/dev/null && $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }
}
# The system interpreter: Debian's python3-opencv is built for it, not for a user-installed one.
py=python3
if [ -x /usr/bin/python3 ]; then py=/usr/bin/python3; fi
command -v vips >/dev/null || install libvips-tools
command -v hyperfine >/dev/null || install hyperfine
$py -c 'import cv2' 2>/dev/null || install python3-opencv

bench=${BENCH_BIN:-}
if [ -z "$bench" ]; then
    if [ ! -f "$build/build.ninja" ]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    fi
    cmake --build "$build" --target bench_engine -j 2 >/dev/null
    bench=$build/bin/bench_engine
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export VIPS_CONCURRENCY=2

echo "== ours (bench_engine, $runs repetitions) =="
# The codec benchmark writes the photo as photo.ppm when VST_BENCH_SAMPLES is set.
VST_BENCH_SAMPLES="$work" "$bench" --benchmark_filter='^BM_PngDecode24mp(/|$)' \
    --benchmark_min_time=0.01 >/dev/null
"$bench" --benchmark_filter='^BM_(GaussianBlurSigma2|GaussianBlurSigma20|UnsharpMask|Median3x3)(/|$)' \
    --benchmark_repetitions="$runs" --benchmark_out=ours.json --benchmark_out_format=json
vips copy photo.ppm in.v

echo "== libvips (hyperfine, $runs runs) =="
hyperfine -N --warmup 1 --runs "$runs" --export-json vips.json \
    -n copy "vips copy in.v out.v" \
    -n gauss2 "vips gaussblur in.v out.v 2" \
    -n gauss20 "vips gaussblur in.v out.v 20" \
    -n unsharp "vips sharpen in.v out.v --sigma 2" \
    -n median "vips rank in.v out.v 3 3 4"

echo "== OpenCV (in-process, $runs runs) =="
$py - "$runs" <<'PY'
import cv2, json, sys, time
runs = int(sys.argv[1])
cv2.setNumThreads(2)
img = cv2.imread("photo.ppm", cv2.IMREAD_COLOR)

def unsharp():
    blur = cv2.GaussianBlur(img, (0, 0), 2)
    return cv2.addWeighted(img, 2.0, blur, -1.0, 0)

cases = {
    "gauss2": lambda: cv2.GaussianBlur(img, (0, 0), 2),
    "gauss20": lambda: cv2.GaussianBlur(img, (0, 0), 20),
    "unsharp": unsharp,
    "median": lambda: cv2.medianBlur(img, 3),
}
out = {}
for name, fn in cases.items():
    fn()
    best = float("inf")
    for _ in range(runs):
        t = time.perf_counter()
        fn()
        best = min(best, time.perf_counter() - t)
    out[name] = best * 1000
json.dump(out, open("opencv.json", "w"))
PY

python3 - <<'PY'
import json
ours = {}
for b in json.load(open("ours.json"))["benchmarks"]:
    if b.get("run_type") != "iteration":
        continue
    name = b["run_name"].split("/")[0]
    ours[name] = min(ours.get(name, float("inf")), b["real_time"])
vips = {r["command"]: r["min"] * 1000 for r in json.load(open("vips.json"))["results"]}
cv = json.load(open("opencv.json"))
copy = vips["copy"]
rows = [("gauss sigma 2", "BM_GaussianBlurSigma2", "gauss2"),
        ("gauss sigma 20", "BM_GaussianBlurSigma20", "gauss20"),
        ("unsharp mask", "BM_UnsharpMask", "unsharp"),
        ("median 3x3", "BM_Median3x3", "median")]
print()
print("wall ms, minimum of the runs; libvips less its file copy; ratio = ours / faster other")
print(f"{'case':<16}{'ours':>9}{'libvips':>9}{'OpenCV':>9}{'ratio':>8}  target <= 1.0 (1.5 at most)")
for label, bench, key in rows:
    o, v, c = ours[bench], vips[key] - copy, cv[key]
    # A busy machine can make the process look faster than its own copy: leave libvips out then.
    best = min(v if v > 0 else float("inf"), c)
    shown = f"{v:>9.1f}" if v > 0 else f"{'n/a':>9}"
    print(f"{label:<16}{o:>9.1f}{shown}{c:>9.1f}{o / best:>8.2f}")
PY
