#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over the toolkit-free sources (or the files
# given), using the compile commands of a build tree (default build-nogui/, configured when
# missing). Exits non-zero when clang-tidy reports a warning.
set -uo pipefail
cd "$(dirname "$0")/.."
tidy=$(command -v clang-tidy || command -v clang-tidy-14) || {
  echo "clang-tidy is not installed" >&2
  exit 1
}
build=${KURVO_TIDY_BUILD:-build-nogui}
if [ ! -f "$build/compile_commands.json" ]; then
  cmake -S . -B "$build" -DKURVO_GUI=OFF -DKURVO_BENCH=OFF -DKURVO_TESTS=OFF >/dev/null || exit 1
fi
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files 'src/*.cpp' | grep -vE '^src/(app|ui)/')
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
for f in "${files[@]}"; do
  "$tidy" -p "$build" --quiet "$f" 2>/dev/null | tee -a "$out" | grep -E 'warning:|error:' && status=1
done
[ $status -eq 0 ] && echo "clang-tidy: no warnings in ${#files[@]} files"
exit $status
