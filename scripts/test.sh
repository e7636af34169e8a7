#!/usr/bin/env bash
# Installs what is missing, builds everything with tests, and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)

# Every file reader gets a bounded fuzzing run (clang, ASan, UBSan) before the test suite.
OXN3_FUZZ_JOBS=$jobs bash scripts/fuzz.sh

build=${OXN3_TEST_BUILD_DIR:-build-test}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOXN3_BUILD_TESTS=ON -DOXN3_BUILD_BENCH=ON
cmake --build "$build" -j "$jobs"

# Tests never touch the user's own data folder.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/data"
mkdir -p "$HOME" "$XDG_DATA_HOME"

ctest --test-dir "$build" --output-on-failure -j "$jobs"
