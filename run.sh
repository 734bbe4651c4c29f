#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kurvo (on the bundled sample plot when no
# file is given). Without a display it runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
kurvo_install_missing

export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"

file=${1:-}
if [ -z "$file" ] && [ -f examples/sample-plot.tif ]; then
  file=examples/sample-plot.tif
fi
args=()
[ -n "$file" ] && args=("$file")

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/kurvo "${args[@]}"
else
  exec xvfb-run -a build/bin/kurvo "${args[@]}"
fi
