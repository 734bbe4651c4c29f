#!/usr/bin/env bash
# Installs what is missing, builds the desktop configuration and the toolkit-free one (the
# latter under AddressSanitizer and UndefinedBehaviorSanitizer), and runs every test.
set -uo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
kurvo_install_missing || exit 1
# The export is tested under a comma-decimal locale: make one when the machine has none.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null || echo "note: no de_DE.UTF-8 locale"
fi

# Let ccache reuse objects across clones of the repository.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
jobs=$(nproc 2>/dev/null || echo 2)

build() { # folder, cmake options...
  local dir=$1
  shift
  cmake -S . -B "$dir" "${generator[@]}" "$@" >/dev/null || return 1
  cmake --build "$dir" -j "$jobs" || return 1
}

status=0
echo "== Formatting"
scripts/format.sh --check || status=1

build build -DCMAKE_BUILD_TYPE=RelWithDebInfo || exit 1
build build-nogui -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURVO_GUI=OFF -DKURVO_SANITIZE=ON \
  -DKURVO_BENCH=OFF || exit 1

echo "== Tests: desktop configuration"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs") || status=1
echo "== Tests: toolkit-free configuration under sanitizers"
(cd build-nogui && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j "$jobs") || status=1
exit $status
