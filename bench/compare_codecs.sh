#!/usr/bin/env bash
# Times our JPEG and PNG codecs against the libjpeg-turbo command-line tools and ImageMagick on
# the same 24-megapixel photo, and prints both sides with their ratio.
#
#   bench/compare_codecs.sh            builds bench_engine (Release) into build-bench/ if needed
#   BUILD_DIR=... RUNS=... bench/compare_codecs.sh
#   BENCH_BIN=/path/to/bench_engine bench/compare_codecs.sh     uses that binary as it is
#
# The benchmark binary writes the photo as photo.ppm and as our quality-90 photo.jpg; djpeg
# decodes that very file, cjpeg and convert encode that PPM.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
runs=${RUNS:-5}

for tool in djpeg cjpeg python3; do
    command -v "$tool" >/dev/null || { echo "compare_codecs: $tool is missing (scripts/setup)" >&2; exit 1; }
done
if ! command -v hyperfine >/dev/null; then
    echo "compare_codecs: installing hyperfine"
    SUDO=""
    if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
    $SUDO apt-get install -y -qq --no-install-recommends hyperfine >/dev/null
fi
# The ImageMagick binary itself, not a wrapper script earlier in PATH.
convert=/usr/bin/convert
[ -x "$convert" ] || convert=$(command -v convert)

bench=${BENCH_BIN:-}
if [ -z "$bench" ]; then
    if [ ! -f "$build/build.ninja" ]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVST_BUILD_TESTS=OFF >/dev/null
    fi
    cmake --build "$build" --target bench_engine -j 2 >/dev/null
    bench=$build/bin/bench_engine
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# On a shared machine the fastest run is the best estimate of the cost itself, so both sides
# report their minimum wall time; CPU time (all threads) is shown beside it.
echo "== ours (bench_engine, $runs repetitions) =="
VST_BENCH_SAMPLES="$work" "$bench" \
    --benchmark_filter='^BM_(Jpeg|Png)' --benchmark_repetitions="$runs" \
    --benchmark_out="$work/ours.json" --benchmark_out_format=json

echo "== tools (hyperfine, $runs runs) =="
hyperfine -N --warmup 1 --runs "$runs" --export-json "$work/tools.json" \
    -n djpeg "djpeg -outfile /dev/null $work/photo.jpg" \
    -n cjpeg "cjpeg -quality 90 -outfile /dev/null $work/photo.ppm" \
    -n convert "$convert $work/photo.ppm $work/convert.png"

python3 - "$work/ours.json" "$work/tools.json" "$work" <<'PY'
import json, os, sys

ours = {}  # name -> (min wall ms, min cpu ms)
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type") != "iteration":
        continue
    name = b["run_name"].split("/")[0]
    wall, cpu = ours.get(name, (float("inf"), float("inf")))
    ours[name] = (min(wall, b["real_time"]), min(cpu, b["cpu_time"]))
tools = {}
for r in json.load(open(sys.argv[2]))["results"]:
    tools[r["command"]] = (r["min"] * 1000, (r["user"] + r["system"]) * 1000)
work = sys.argv[3]

rows = [
    ("JPEG decode", "BM_JpegDecode24mp", "djpeg", 1.15),
    ("JPEG encode q90", "BM_JpegEncode24mpQ90", "cjpeg", 1.15),
    ("PNG encode", "BM_PngEncode24mp", "convert", 1.00),
]
print()
print(f"{'':<16}{'-------- wall ms (min) --------':>33}{'------ cpu ms ------':>26}")
print(f"{'case':<16}{'ours':>9}{'tool':>9}{'':>9}{'ratio':>6}{'ours':>10}{'tool':>9}{'ratio':>7}"
      f"{'target':>9}")
for name, bench, tool, target in rows:
    (ow, oc), (tw, tc) = ours[bench], tools[tool]
    verdict = "ok" if ow / tw <= target else "SLOW"
    print(f"{name:<16}{ow:>9.0f}{tw:>9.0f}{tool:>9}{ow / tw:>6.2f}{oc:>10.0f}{tc:>9.0f}"
          f"{oc / tc:>7.2f}{target:>8.2f} {verdict}")
ow, oc = ours["BM_PngDecode24mp"]
print(f"{'PNG decode':<16}{ow:>9.0f}{'':>24}{oc:>10.0f}")
size = lambda f: os.path.getsize(os.path.join(work, f)) / 1e6
print(f"\nPNG size: ours {size('encoded.png'):.1f} MB, convert {size('convert.png'):.1f} MB; "
      f"JPEG q90 {size('photo.jpg'):.1f} MB; load average {os.getloadavg()[0]:.1f} "
      f"on {os.cpu_count()} cores")
PY
