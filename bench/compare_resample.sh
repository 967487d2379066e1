#!/usr/bin/env bash
# Compares our Lanczos 3 halving of a 24-megapixel RGB photo with libvips doing the same job.
# Usage: bench/compare_resample.sh [build-dir]   (default: build-bench, configured as Release)
#        BENCH_BIN=/path/to/bench_engine bench/compare_resample.sh   (use a binary already built)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-bench}"
runs="${RUNS:-5}"

need() { command -v "$1" >/dev/null 2>&1; }
if ! need vips || ! need hyperfine; then
    echo "Installing libvips-tools and hyperfine..."
    apt-get install -y libvips-tools hyperfine >/dev/null 2>&1 \
        || { apt-get update >/dev/null && apt-get install -y libvips-tools hyperfine >/dev/null; }
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# A 6000 x 4000 photo-like picture like the benchmark's own: gradients, a sine texture, noise.
echo "Making the 24-megapixel test image..."
vips xyz xy.v 6000 4000
vips extract_band xy.v x.v 0
vips extract_band xy.v y.v 1
vips linear x.v xs.v 2.8648 0  # 0.05 rad per pixel, in degrees
vips linear y.v ys.v 2.4637 0  # 0.043 rad per pixel
vips math xs.v sx.v sin
vips math ys.v cy.v cos
vips multiply sx.v cy.v sc.v
vips linear sc.v tex.v 18 0
vips gaussnoise noise.v 6000 4000 --mean 0 --sigma 4
vips add tex.v noise.v tn.v
vips linear x.v r0.v 0.026667 50
vips linear y.v g0.v 0.03 70
vips multiply x.v y.v xy1.v
vips linear xy1.v b0.v -- -0.0000054167 190
vips add r0.v tn.v r.v
vips subtract g0.v tn.v g.v
vips add b0.v noise.v b.v
vips bandjoin "r.v g.v b.v" rgb.v
vips cast rgb.v in.v uchar
vipsheader in.v

echo
echo "== libvips: vips resize in.v out.v 0.5 --kernel lanczos3 (process, file read and write included)"
hyperfine --warmup 1 --runs "$runs" --export-json vips.json \
    'vips resize in.v out.v 0.5 --kernel lanczos3' 'vips copy in.v out.v'
vips_ms=$(python3 -c "import json; print(round(json.load(open('vips.json'))['results'][0]['mean'] * 1000, 1))")
copy_ms=$(python3 -c "import json; print(round(json.load(open('vips.json'))['results'][1]['mean'] * 1000, 1))")

echo
echo "== ours: BM_ResampleLanczos3Half (in memory)"
bench="${BENCH_BIN:-}"
if [ -z "$bench" ]; then
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVST_BUILD_TESTS=OFF >/dev/null
    fi
    cmake --build "$build" --target bench_engine -- -j2 >/dev/null
    bench="$build/bin/bench_engine"
fi
"$bench" --benchmark_filter='BM_ResampleLanczos3Half' \
    --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
    --benchmark_out=ours.json --benchmark_out_format=json
ours_ms=$(python3 -c "
import json
for b in json.load(open('ours.json'))['benchmarks']:
    if b.get('aggregate_name') == 'mean': print(round(b['real_time'], 1))")

echo
echo "libvips resize: ${vips_ms} ms (of which about ${copy_ms} ms is the same process only copying the file)"
echo "ours:           ${ours_ms} ms"
python3 -c "v, o, c = $vips_ms, $ours_ms, $copy_ms
print(f'ratio libvips / ours: {v / o:.2f} (compute only, libvips minus its copy: {(v - c) / o:.2f})')"
