#!/usr/bin/env bash
# Writes the picture layouts a hobbyist's tools make, each beside
# ImageMagick's own fitting of it to 480 x 180 (scaled to cover, cut at the
# centre; box filter when shrinking, triangle when growing), which the
# Picture Manager's fitting must come close to. ImageMagick writes every
# file it can; the few BMP layouts it does not write (16 bits, 32 bits
# without bit fields, top-down rows) are written here from its pixels.
# cases.txt lists `name result`: result 0 has NAME.fit.png beside it.
set -euo pipefail
cd "$(dirname "$0")"
rm -f ./*.bmp ./*.png ./*.jpg cases.txt
im=convert
[ -x /usr/bin/convert ] && im=/usr/bin/convert  # ImageMagick itself
# a small picture whose corners differ, so a flipped or shifted result shows
$im -size 120x60 gradient:yellow-navy -fill red -draw "rectangle 4,4 34,20" \
    -fill "#20c040" -draw "circle 90,36 90,50" -fill white -draw "polygon 60,3 75,28 52,25" base.png

$im base.png -type bilevel BMP3:bmp1.bmp
$im base.png -colors 16 -type palette BMP3:bmp4.bmp
$im base.png -colors 200 -type palette -compress none BMP3:bmp8.bmp
$im base.png -colors 200 -type palette BMP2:bmp8_os2.bmp
$im base.png -type truecolor BMP3:bmp24.bmp
$im base.png -alpha set -channel A -evaluate set 100% +channel BMP:bmp32_bitfields.bmp
$im base.png -colors 16 -type palette -compress RLE BMP3:bmp8_rle.bmp
# the exact size: taken without scaling
$im base.png -resize 480x180! -type bilevel BMP3:bmp1_exact.bmp
# shrinking, cut at the sides; a portrait cut at top and bottom; a tiny one
$im -size 1200x300 gradient:navy-orange -fill white -draw "circle 600,150 600,260" \
    -fill red -draw "rectangle 20,20 300,120" -quality 92 jpeg_wide.jpg
$im base.png -quality 90 -interlace JPEG jpeg_progressive.jpg
$im base.png -colorspace Gray -quality 90 jpeg_grey.jpg
$im base.png -rotate 90 png_portrait.png
$im base.png -resize 24x12! -type palette png_tiny_palette.png
$im base.png -alpha set -fill none -draw "color 0,0 floodfill" -channel A -fx "i<60 ? 1 : 0.3" +channel \
    png_alpha.png
$im base.png -depth 16 -colorspace Gray png_grey16.png

# the layouts ImageMagick does not write, from its pixels
$im base.png -depth 8 rgb:- | python3 -c '
import struct, sys
w, h = 120, 60
rgb = sys.stdin.buffer.read()
def bmp(name, bits, rows, compression=0, masks=b"", top_down=False):
    header = 40
    data = b"".join(rows if top_down else rows[::-1])
    offset = 14 + header + len(masks)
    info = struct.pack("<IiiHHIIiiII", header, w, -h if top_down else h, 1, bits, compression, len(data), 2835, 2835, 0, 0)
    open(name, "wb").write(b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + info + masks + data)
def px(x, y):
    return rgb[3 * (y * w + x): 3 * (y * w + x) + 3]
def rows(fmt):
    out = []
    for y in range(h):
        r = b"".join(fmt(*px(x, y)) for x in range(w))
        out.append(r + b"\0" * (-len(r) % 4))
    return out
bmp("bmp16_555.bmp", 16, rows(lambda r, g, b: struct.pack("<H", (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)))
bmp("bmp16_565_bitfields.bmp", 16, rows(lambda r, g, b: struct.pack("<H", (r >> 3) << 11 | (g >> 2) << 5 | b >> 3)),
    3, struct.pack("<III", 0xF800, 0x07E0, 0x001F))
bmp("bmp32_plain.bmp", 32, rows(lambda r, g, b: bytes((b, g, r, 0))))
bmp("bmp24_top_down.bmp", 24, rows(lambda r, g, b: bytes((b, g, r))), top_down=True)
'

# the expected fittings: flattened on white as the page shows a picture
for f in bmp*.bmp jpeg*.jpg png_*.png; do
  name=${f%.*}
  if [ "$name" = bmp8_rle ]; then
    echo "$name 4" >>cases.txt  # run-length packed: refused
    continue
  fi
  size=$($im "$f" -format "%w %h" info:)
  read -r w h <<<"$size"
  filter=Triangle
  if [ $((w * 180)) -ge $((h * 480)) ] && [ "$w" -gt 480 ] || [ $((w * 180)) -lt $((h * 480)) ] && [ "$h" -gt 180 ]; then
    filter=Box
  fi
  $im "$f" -background white -alpha remove -alpha off -filter $filter -resize '480x180^' \
      -gravity center -extent 480x180 -type truecolor PNG24:"$name.fit.png"
  echo "$name 0" >>cases.txt
done
rm base.png
