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

# A 600-dpi A4 plot: white paper, a grid, a curve, a frame.
magick_cmd=$(command -v magick || command -v convert)
"$magick_cmd" -size 4960x7016 xc:white -stroke '#B0B0B0' -strokewidth 3 \
  -draw "path 'M 400,0 L 400,7016 M 1400,0 L 1400,7016 M 2400,0 L 2400,7016 M 3400,0 L 3400,7016 M 4400,0 L 4400,7016'" \
  -draw "path 'M 0,600 L 4960,600 M 0,2100 L 4960,2100 M 0,3600 L 4960,3600 M 0,5100 L 4960,5100 M 0,6600 L 4960,6600'" \
  -stroke '#1E46BE' -strokewidth 8 -fill none \
  -draw "bezier 400,6600 1500,500 2800,6000 4400,1200" \
  -stroke black -strokewidth 6 -draw "rectangle 400,600 4400,6600" \
  -type TrueColor "$work/plot.png"
"$magick_cmd" "$work/plot.png" -type TrueColor BMP3:"$work/plot.bmp"
"$magick_cmd" "$work/plot.png" -type TrueColor -compress None "$work/plot.tif"
"$magick_cmd" "$work/plot.png" -type TrueColor -compress LZW "$work/lzw.tif"

display=:$((70 + RANDOM % 20))
Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY=$display
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
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
