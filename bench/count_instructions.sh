#!/bin/sh
# Instructions per output sample of both render engines at 44.1, 48 and 96 kHz, counted by
# callgrind (deterministic, unlike wall time on a shared machine): the difference between a long
# and a short run, so start-up and the first blocks' transients cancel. Both runs are longer than
# the knobs' smoothing (about 1.2 s), so the count is that of a settled voice, as a song plays it.
#   bench/count_instructions.sh [build-dir]
set -eu
build=${1:-build}
exe="$build/bench/oxn3_render_count"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
count() # engine rate seconds -> "samples instructions"
{
    valgrind --tool=callgrind --callgrind-out-file="$out/cg" "$exe" "$1" "$2" "$3" >"$out/stdout" 2>"$out/log"
    echo "$(sed 's/^samples \([0-9]*\).*/\1/' "$out/stdout") $(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$out/log")"
}
printf '%-8s%10s%14s\n' engine rate 'instr/sample'
for engine in re 311; do
    for rate in 44100 48000 96000; do
        set -- $(count $engine $rate 3) $(count $engine $rate 5)
        printf '%-8s%10s%14.0f\n' $engine $rate "$(echo "($4 - $2) / ($3 - $1)" | bc -l)"
    done
done
