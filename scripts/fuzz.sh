#!/usr/bin/env bash
# Builds the fuzz programs (clang, build-fuzz), makes their starting corpus and runs each in
# turn, one process at a time:   scripts/fuzz.sh [SECONDS_PER_PROGRAM] [PROGRAM...]
# Corpora grow in build-fuzz/corpus/<program>; findings land in build-fuzz/findings/ and
# belong, once fixed, in tests/data/crashers/. Each program's log is build-fuzz/logs/<program>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-600}
shift || true
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=(bmp embedded_block tiff project archive_string png jpeg gif webp pdf)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKURVO_FUZZ=ON -DKURVO_GUI=OFF -DKURVO_BENCH=OFF -DKURVO_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2 --target fuzz_make_seeds "${programs[@]/#/fuzz_}"

out=$root/build-fuzz
[ -d "$out/corpus" ] || "$out/bin/fuzz_make_seeds" "$out/corpus"
mkdir -p "$out/findings" "$out/logs" "$out/run"
status=0
for p in "${programs[@]}"; do
  # An empty current folder: images a project names by bare name lead nowhere.
  (cd "$out/run" && UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$out/bin/fuzz_$p" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=2 \
    -print_final_stats=1 -artifact_prefix="$out/findings/$p-" \
    "$out/corpus/$p" "$root/tests/data/crashers" >"$out/logs/$p.log" 2>&1) || status=1
  grep -E "^stat::number_of_executed_units|^Done|ERROR|SUMMARY" "$out/logs/$p.log" | sed "s/^/$p: /"
done
exit $status
