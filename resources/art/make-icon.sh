#!/bin/sh
# Draws the program icon (navy tile, white K, green "running" dot) at 16, 32
# and 48 pixels into ../kelvane.ico. Needs ImageMagick and the DejaVu fonts;
# the result is checked in, so builds do not run this.
set -e
cd "$(dirname "$0")"
for size in 16 32 48; do
    r=$((size / 6)); e=$((size - 1)); p=$((size * 3 / 4)); d=$((size / 5))
    convert -size ${size}x${size} xc:none \
        -fill '#1c3f8c' -draw "roundrectangle 0,0 $e,$e $r,$r" \
        -fill white -font DejaVu-Sans-Bold -pointsize $p -gravity center -annotate +0+0 K \
        -fill '#2fbf3a' -stroke white -strokewidth $((size / 16 + 1)) \
        -draw "circle $((size - d - 1)),$((size - d - 1)) $((size - 2)),$((size - d - 1))" \
        -define png:color-type=6 /tmp/kelvane-icon-$size.png
done
convert /tmp/kelvane-icon-16.png /tmp/kelvane-icon-32.png /tmp/kelvane-icon-48.png ../kelvane.ico
rm -f /tmp/kelvane-icon-*.png
