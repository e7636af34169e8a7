#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (AddressSanitizer and UBSan) and runs each file
# reader's fuzzer for a bounded time on a scratch copy of its seed corpus. Exits non-zero on any
# finding. The pattern-file readers and the processor's text files need no JUCE; the host-state
# reader runs inside the plug-in's shared code, so its fuzzer builds JUCE as well.
#   OXN3_FUZZ_SECONDS        seconds per text reader (default 30)
#   OXN3_FUZZ_STATE_SECONDS  seconds for the host-state reader (default 60; 0 leaves it and
#                            its JUCE build out)
#   OXN3_FUZZ_BUILD_DIR      build folder (default build-fuzz)
#   OXN3_FUZZ_RSS_MB         memory limit per fuzzer (default 2048)
#   OXN3_FUZZ_TIMEOUT        seconds one input may take before it counts as a hang (default 10)
#   OXN3_FUZZ_JOBS           build jobs (default 4)
#   OXN3_FUZZ_PARALLEL       fuzzers run side by side (default: the number of cores)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${OXN3_FUZZ_SECONDS:-30}
state_seconds=${OXN3_FUZZ_STATE_SECONDS:-60}
build=${OXN3_FUZZ_BUILD_DIR:-build-fuzz}
rss=${OXN3_FUZZ_RSS_MB:-2048}
timeout=${OXN3_FUZZ_TIMEOUT:-10}
jobs=${OXN3_FUZZ_JOBS:-4}
readers=(pat tb ph prm rbs config map tun detect gui)

with_state=OFF
if [ "$state_seconds" -gt 0 ]; then
  with_state=ON
  readers+=(state)
fi

targets=()
for r in "${readers[@]}"; do targets+=("oxn3_fuzz_$r"); done

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOXN3_FUZZ=ON -DOXN3_BUILD_PLUGIN="$with_state" -DOXN3_BUILD_EDITOR=OFF -DOXN3_BUILD_TESTS=OFF -DOXN3_BUILD_BENCH=OFF -DOXN3_WERROR=OFF
build_start=$(date +%s)
cmake --build "$build" -j "$jobs" --target "${targets[@]}"
echo "fuzz build: $(($(date +%s) - build_start)) s with $jobs jobs"

scratch=$(mktemp -d)
# The harnesses save files through the program's writer, which syncs every file to the disk: on
# a RAM disk that costs nothing, so the fuzzers keep their pace.
TMPDIR=$(mktemp -d -p /dev/shm oxn3-fuzz-XXXXXX 2>/dev/null) || TMPDIR="$scratch/tmp"
export TMPDIR
trap 'rm -rf "$scratch" "$TMPDIR"' EXIT
mkdir -p "$TMPDIR"
findings="$build/fuzz-findings"

# One reader's bounded run; its verdict goes to $scratch/<reader>.verdict.
fuzz_reader() {
  local r=$1 corpus="$scratch/corpus-$r" run_seconds=$seconds extra=()
  mkdir -p "$corpus" "$findings/$r"
  cp -R "tests/fuzz/corpus/$r/." "$corpus/"
  if [ "$r" = state ]; then
    run_seconds=$state_seconds
    extra=(-dict=tests/fuzz/state.dict)
  fi
  local log="$scratch/$r.log"
  if "$build/tests/fuzz/oxn3_fuzz_$r" "$corpus" -max_total_time="$run_seconds" -rss_limit_mb="$rss" -timeout="$timeout" \
       -print_final_stats=1 -artifact_prefix="$findings/$r/" ${extra[@]+"${extra[@]}"} >"$log" 2>&1; then
    local runs
    runs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
    echo "fuzz $r: ${runs:-?} executions in ${run_seconds} s, no findings" >"$scratch/$r.verdict"
  else
    { echo "fuzz $r: FINDING (input kept in $findings/$r/)"; tail -n 60 "$log"; } >"$scratch/$r.verdict"
    touch "$scratch/$r.failed"
  fi
}

# Each fuzzer is single-threaded: run as many side by side as there are cores. The longest run
# starts first, so the shorter ones fill the other cores beside it rather than leave it alone at
# the end.
parallel=${OXN3_FUZZ_PARALLEL:-$(nproc)}
run_order=()
if [ "$with_state" = ON ]; then run_order+=(state); fi
for r in "${readers[@]}"; do [ "$r" = state ] || run_order+=("$r"); done
running=0
for r in "${run_order[@]}"; do
  if [ "$running" -ge "$parallel" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  fuzz_reader "$r" &
  running=$((running + 1))
done
wait

failed=()
for r in "${readers[@]}"; do
  # No verdict: the reader's run itself broke off (set -e in its subshell), which is a failure too.
  cat "$scratch/$r.verdict" 2>/dev/null || { echo "fuzz $r: the run broke off before its verdict"; touch "$scratch/$r.failed"; }
  if [ -e "$scratch/$r.failed" ]; then failed+=("$r"); fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "fuzzing: ${#readers[@]} readers, no findings"
