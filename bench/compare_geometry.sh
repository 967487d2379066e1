#!/usr/bin/env bash
# Compares our rotation by 7.5 degrees (bicubic), grey conversion and Lanczos halving of a
# 24-megapixel RGB photo with libvips and OpenCV doing the same jobs, two threads for everyone.
# Usage: bench/compare_geometry.sh [build-dir]   (default: build-bench, configured as Release)
#        BENCH_BIN=/path/to/bench_engine bench/compare_geometry.sh   (use a binary already built)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-bench}"
runs="${RUNS:-5}"
export VIPS_CONCURRENCY=2
# a relative BENCH_BIN names a file from here, not from the work folder
[ -z "${BENCH_BIN:-}" ] || BENCH_BIN="$(cd "$(dirname "$BENCH_BIN")" && pwd)/$(basename "$BENCH_BIN")"

need() { command -v "$1" >/dev/null 2>&1; }
if ! need vips || ! need hyperfine; then
    echo "Installing libvips-tools and hyperfine..."
    apt-get install -y libvips-tools hyperfine >/dev/null 2>&1 \
        || { apt-get update >/dev/null && apt-get install -y libvips-tools hyperfine >/dev/null; }
fi
# Debian's python3-opencv lives in the system interpreter, which may not be the first python3.
py=python3
if ! "$py" -c "import cv2" >/dev/null 2>&1; then
    py=/usr/bin/python3
    if ! "$py" -c "import cv2" >/dev/null 2>&1; then
        echo "Installing python3-opencv..."
        apt-get install -y python3-opencv >/dev/null 2>&1 \
            || { apt-get update >/dev/null && apt-get install -y python3-opencv >/dev/null; }
    fi
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# The same kind of 6000 x 4000 photo-like picture as the benchmark's own.
echo "Making the 24-megapixel test image..."
"$py" - <<'PY'
import numpy as np, cv2
h, w = 4000, 6000
y, x = np.mgrid[0:h, 0:w].astype(np.float32)
rng = np.random.default_rng(1)
tex = 18 * np.sin(x * 0.05) * np.cos(y * 0.043) + rng.normal(0, 4, (h, w)).astype(np.float32)
r = 50 + x * 0.026667 + tex
g = 70 + y * 0.03 - tex
b = 190 - x * y * 0.0000054167 + rng.normal(0, 4, (h, w)).astype(np.float32)
img = np.clip(np.dstack([b, g, r]), 0, 255).astype(np.uint8)
cv2.imwrite("in.png", img, [cv2.IMWRITE_PNG_COMPRESSION, 1])
PY
vips copy in.png in.v

# libvips runs as a process on its own .v file: its copy time is subtracted to leave the work.
echo
echo "== libvips (VIPS_CONCURRENCY=2)"
hyperfine --warmup 1 --runs "$runs" --export-json vips.json \
    'vips copy in.v out.v' \
    'vips similarity in.v out.v --angle 7.5 --interpolate bicubic' \
    'vips colourspace in.v out.v b-w' \
    'vips resize in.v out.v 0.5 --kernel lanczos3'

echo
echo "== OpenCV (cv2.setNumThreads(2), in memory)"
"$py" - "$runs" <<'PY' > cv.txt
import sys, time, math, cv2
cv2.setNumThreads(2)
runs = int(sys.argv[1])
img = cv2.imread("in.png")
h, w = img.shape[:2]
def rotate():
    a = math.radians(7.5)
    nw = int(math.ceil(w * abs(math.cos(a)) + h * abs(math.sin(a))))
    nh = int(math.ceil(w * abs(math.sin(a)) + h * abs(math.cos(a))))
    m = cv2.getRotationMatrix2D(((w - 1) / 2, (h - 1) / 2), 7.5, 1.0)
    m[0, 2] += (nw - w) / 2
    m[1, 2] += (nh - h) / 2
    return cv2.warpAffine(img, m, (nw, nh), flags=cv2.INTER_CUBIC, borderValue=(255, 255, 255))
jobs = {
    "rotate": rotate,
    "grey": lambda: cv2.cvtColor(img, cv2.COLOR_BGR2GRAY),
    "lanczos": lambda: cv2.resize(img, (w // 2, h // 2), interpolation=cv2.INTER_LANCZOS4),
}
for name, job in jobs.items():
    job()
    times = []
    for _ in range(runs):
        t = time.perf_counter()
        job()
        times.append(time.perf_counter() - t)
    print(name, round(sum(times) / len(times) * 1000, 1))
PY
cat cv.txt

echo
echo "== ours (bench_engine, in memory, two threads)"
bench="${BENCH_BIN:-}"
if [ -z "$bench" ]; then
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVST_BUILD_TESTS=OFF >/dev/null
    fi
    cmake --build "$build" --target bench_engine -- -j2 >/dev/null
    bench="$build/bin/bench_engine"
fi
"$bench" --benchmark_filter='BM_RotateBicubic7_5|BM_ToGray|BM_ResizeLanczos3Half' \
    --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
    --benchmark_out=ours.json --benchmark_out_format=json >/dev/null

python3 - <<'PY'
import json
vips = [r["mean"] * 1000 for r in json.load(open("vips.json"))["results"]]
copy = vips[0]
cv = dict(line.split() for line in open("cv.txt"))
ours = {b["run_name"].split("/")[0]: b["real_time"] for b in json.load(open("ours.json"))["benchmarks"]
        if b.get("aggregate_name") == "mean"}
rows = [("rotate 7.5 bicubic", "BM_RotateBicubic7_5", vips[1], "rotate"),
        ("grey conversion", "BM_ToGray", vips[2], "grey"),
        ("Lanczos halving", "BM_ResizeLanczos3Half", vips[3], "lanczos")]
print(f"{'job':22} {'ours ms':>8} {'vips ms':>8} {'cv ms':>8} {'ours/best':>10}")
for label, key, v, c in rows:
    o = ours[key]
    vw = max(v - copy, 0.1)  # libvips work without its process and file copy
    cvm = float(cv[c])
    print(f"{label:22} {o:8.1f} {vw:8.1f} {cvm:8.1f} {o / min(vw, cvm):10.2f}")
print(f"(libvips figures are its process time minus {copy:.1f} ms for 'vips copy')")
PY
