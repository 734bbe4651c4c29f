#!/usr/bin/env bash
# Peak memory of opening a 600-dpi A4 plot (4960 x 7016) of every kind the program reads,
# against the aim of at most 1.15 times the picture's DIB plus 30 MB. Each file is opened in
# a fresh kurvo-cli process ("image FILE OUT.bmp") and its peak resident size (VmHWM, from
# GNU time) is set against the DIB that comes out. The PDF page is a scan of the same plot
# rendered at 300 dpi.
#   bench/reader-memory.sh [KURVO_CLI_BINARY]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/bin/kurvo-cli}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

. bench/a4-plot.sh
a4_colour_files "$work" rgb
"$im" "$work/rgb.png" -colorspace Gray -type Grayscale -depth 8 -compress None "$work/grey.tif"
"$im" "$work/rgb.png" -colorspace Gray -type Grayscale -depth 8 "$work/grey.png"
"$im" "$work/rgb.png" -quality 90 "$work/rgb.jpg"
"$im" "$work/rgb.png" -colors 64 "$work/palette.gif"
"$im" "$work/rgb.png" -quality 90 "$work/lossy.webp"
"$im" "$work/rgb.png" -define webp:lossless=true "$work/lossless.webp"
# An A4 page holding the JPEG, written by hand: ImageMagick's PDF writer is often disabled.
python3 - "$work/rgb.jpg" "$work/page.pdf" <<'PY'
import sys
jpeg = open(sys.argv[1], 'rb').read()
content = b'q 595 0 0 842 0 0 cm /Im0 Do Q'
objects = [b'<< /Type /Catalog /Pages 2 0 R >>',
           b'<< /Type /Pages /Kids [3 0 R] /Count 1 >>',
           b'<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R'
           b' /Resources << /XObject << /Im0 5 0 R >> >> >>',
           b'<< /Length %d >>\nstream\n' % len(content) + content + b'\nendstream',
           b'<< /Type /XObject /Subtype /Image /Width 4960 /Height 7016 /ColorSpace /DeviceRGB'
           b' /BitsPerComponent 8 /Filter /DCTDecode /Length %d >>\nstream\n' % len(jpeg)
           + jpeg + b'\nendstream']
out = bytearray(b'%PDF-1.4\n')
offsets = []
for i, body in enumerate(objects, 1):
    offsets.append(len(out))
    out += b'%d 0 obj\n' % i + body + b'\nendobj\n'
xref = len(out)
out += b'xref\n0 %d\n0000000000 65535 f \n' % (len(objects) + 1)
out += b''.join(b'%010d 00000 n \n' % o for o in offsets)
out += b'trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n' % (len(objects) + 1, xref)
open(sys.argv[2], 'wb').write(out)
PY

base=$( { /usr/bin/time -f %M "$cli" info "$work/palette.gif" >/dev/null; } 2>&1 | tail -1)
echo "kurvo-cli alone: $((base / 1024)) MB"
echo
echo "| File | DIB | Peak | Aim (1.15 DIB + 30 MB) |"
echo "|---|---|---|---|"
for f in rgb.bmp rgb.tif lzw.tif grey.tif rgb.png grey.png rgb.jpg palette.gif lossy.webp \
  lossless.webp page.pdf; do
  extra=()
  [ "$f" = page.pdf ] && extra=(--dpi 300)
  peak=$( { /usr/bin/time -f %M "$cli" image "$work/$f" "$work/out.bmp" "${extra[@]}" >/dev/null; } 2>&1 | tail -1)
  dib=$(stat -c %s "$work/out.bmp")
  aim=$((dib * 115 / 100 + 30 * 1024 * 1024))
  mark=$([ $((peak * 1024)) -le "$aim" ] && echo within || echo over)
  printf '| %s | %d MB | %d MB | %d MB, %s |\n' "$f" $((dib / 1048576)) $((peak / 1024)) \
    $((aim / 1048576)) "$mark"
done
