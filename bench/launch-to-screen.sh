#!/usr/bin/env bash
# Time from launch to a large plot on screen, Kurvo against g3data, measured the same way for
# both: each program is started on the file under its own Xvfb, and the picture counts as
# shown once the program's window is mapped and the program has used no CPU for 0.4 s; the
# time is that of its last CPU tick. Peak memory is the process's VmHWM at that moment.
#   bench/launch-to-screen.sh [KURVO_BINARY] [RUNS]
# Needs Xvfb, xdotool, ImageMagick and g3data (apt-get install g3data). Prints a Markdown
# table of medians. Run it on an idle machine. SHOTS=DIR keeps a screenshot of each
# program at the moment it counts as shown.
set -euo pipefail
cd "$(dirname "$0")/.."
kurvo=$(realpath "${1:-build/bin/kurvo}")
runs=${2:-3}
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT

. bench/a4-plot.sh
a4_colour_files "$work" plot

display=:$((70 + RANDOM % 20))
Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY=$display
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
# A desktop has a session bus; on a bare Xvfb, Qt would otherwise spend some 60 ms searching
# the PATH for dbus-launch at every start. An address that fails at once stands in for a bus.
export DBUS_SESSION_BUS_ADDRESS=${DBUS_SESSION_BUS_ADDRESS:-unix:path=$work/no-bus}
mkdir -p "$XDG_CONFIG_HOME"

ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo -1; }
now() { date +%s.%N; }

# Prints "seconds megabytes" for one launch of "$@".
measure() {
  local start pid last t shown=0 quiet=0 before after hwm
  start=$(now)
  "$@" >/dev/null 2>&1 &
  pid=$!
  last=$start
  before=$(ticks "$pid")
  while [ "$quiet" -lt 20 ]; do
    sleep 0.02
    t=$(now)
    after=$(ticks "$pid")
    [ "$after" = -1 ] && { echo "exited early" >&2; return 1; }
    if [ "$after" != "$before" ]; then last=$t; before=$after; quiet=0; else quiet=$((quiet + 1)); fi
    if [ "$shown" = 0 ]; then
      if xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then shown=1; last=$t; fi
      quiet=0
    fi
    if (($(echo "$t - $start > 60" | bc))); then echo "timed out" >&2; break; fi
  done
  hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  [ -z "${SHOTS:-}" ] || import -window root "$SHOTS/$(basename "$1")-$(basename "${2:-none}").png"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$(echo "$last - $start" | bc) $((hwm / 1024))"
}

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

echo "| File | Kurvo | g3data |"
echo "|---|---|---|"
for file in plot.bmp plot.tif lzw.tif plot.png; do
  row="| $file"
  for program in "$kurvo" g3data; do
    : >"$work/times"
    for _ in $(seq "$runs"); do measure "$program" "$work/$file" >>"$work/times"; done
    seconds=$(cut -d' ' -f1 "$work/times" | median)
    megabytes=$(cut -d' ' -f2 "$work/times" | median)
    row="$row | $(printf '%.2f s, %d MB' "$seconds" "$megabytes")"
  done
  echo "$row |"
done
