# Sourced by the benchmark scripts: a4_plot OUT.png writes a 600-dpi A4 plot (4960 x 7016):
# white paper, a grid, a curve and a frame, in 24-bit colour (8 bits a sample: ImageMagick
# would otherwise keep 16). Sets $im to ImageMagick.
im=$(command -v magick || command -v convert)
a4_plot() {
  "$im" -size 4960x7016 xc:white -stroke '#B0B0B0' -strokewidth 3 \
    -draw "path 'M 400,0 L 400,7016 M 1400,0 L 1400,7016 M 2400,0 L 2400,7016 M 3400,0 L 3400,7016 M 4400,0 L 4400,7016'" \
    -draw "path 'M 0,600 L 4960,600 M 0,2100 L 4960,2100 M 0,3600 L 4960,3600 M 0,5100 L 4960,5100 M 0,6600 L 4960,6600'" \
    -stroke '#1E46BE' -strokewidth 8 -fill none \
    -draw "bezier 400,6600 1500,500 2800,6000 4400,1200" \
    -stroke black -strokewidth 6 -draw "rectangle 400,600 4400,6600" \
    -type TrueColor -depth 8 "$1"
}
# a4_colour_files DIR NAME writes DIR/NAME.png (a4_plot) and from it, at 8 bits a sample,
# DIR/NAME.bmp, the uncompressed DIR/NAME.tif and DIR/lzw.tif.
a4_colour_files() {
  a4_plot "$1/$2.png"
  "$im" "$1/$2.png" -type TrueColor -depth 8 BMP3:"$1/$2.bmp"
  "$im" "$1/$2.png" -type TrueColor -depth 8 -compress None "$1/$2.tif"
  "$im" "$1/$2.png" -type TrueColor -depth 8 -compress LZW "$1/lzw.tif"
}
