#!/bin/sh
# Side-by-side cost of the render against an earlier commit, built and run on this machine in the
# same session so that the ratio holds on any machine: the base commit's tree goes into
# build-base/<commit> (git archive), both benchmarks are built in Release, then run alternately on
# one core, and the medians are printed as ns per sample, real-time factor and ratio new / base.
#   bench/compare_with_base.sh [base-commit] [build-dir] [core] [rounds]
# With OXN3_BENCH_MIN=1 it prints the best run of each side instead of the median: steadier on a
# busy machine when judging a small change.
set -eu
base=${1:-d11560a}
build=${2:-build}
core=${3:-2}
rounds=${4:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
src="$root/build-base/$base"
if [ ! -x "$src/build/bench/oxn3_engine_bench" ]; then
    mkdir -p "$src"
    git -C "$root" archive "$base" | tar -x -C "$src"
    timeout 1800 cmake -S "$src" -B "$src/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOXN3_BUILD_PLUGIN=OFF \
        -DOXN3_BUILD_TESTS=OFF -DOXN3_BUILD_BENCH=ON >/dev/null
    timeout 1800 cmake --build "$src/build" -j3 --target oxn3_engine_bench >/dev/null
fi
timeout 1800 cmake --build "$root/$build" -j3 --target oxn3_engine_bench >/dev/null
filter='BM_Render(RE|311)/'
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
i=0
while [ $i -lt "$rounds" ]; do
    for side in base new; do
        exe="$root/$build/bench/oxn3_engine_bench"
        [ $side = base ] && exe="$src/build/bench/oxn3_engine_bench"
        timeout 600 taskset -c "$core" "$exe" --benchmark_filter="$filter" --benchmark_min_time=0.3 \
            --benchmark_format=csv 2>/dev/null | grep '^"BM_' >>"$out/$side.csv"
    done
    i=$((i + 1))
done
# csv: name,iterations,real_time,cpu_time,time_unit,...; 256 samples per iteration
python3 - "$out" ${OXN3_BENCH_MIN:+min} <<'PY'
import csv, statistics, sys
d = sys.argv[1]
def medians(side):
    runs = {}
    for row in csv.reader(open(f"{d}/{side}.csv")):
        runs.setdefault(row[0].strip('"'), []).append(float(row[3]) / 256.0)
    return {k: (statistics.median(v) if len(sys.argv) < 3 else min(v)) for k, v in runs.items()}
base, new = medians("base"), medians("new")
print(f"{'benchmark':<22}{'base ns/smp':>12}{'base RT':>9}{'new ns/smp':>12}{'new RT':>9}{'new/base':>10}")
for name in base:
    rate = float(name.split("/")[1])
    b, n = base[name], new[name]
    print(f"{name:<22}{b:>12.1f}{1e9 / (b * rate):>9.1f}{n:>12.1f}{1e9 / (n * rate):>9.1f}{n / b:>10.3f}")
PY
