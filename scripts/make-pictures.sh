#!/usr/bin/env bash
# Draws every picture of the program with ImageMagick (convert) into data/res/.
# The results are committed, so a build never needs ImageMagick; run this again after changing a drawing.
# Metadata is stripped so that an unchanged drawing gives the same files.
#
# One drawing kit serves all sizes: each glyph is drawn as vector primitives on a 192 x 192 canvas
# and scaled down, so the operation list, the side pictures and the About picture share their shapes.
#
#   scripts/make-pictures.sh [output-folder]      (default: data/res beside this script's repository)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/data/res}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

command -v convert >/dev/null || { echo "make-pictures: ImageMagick 'convert' is required" >&2; exit 1; }

# Operation colours: one hue per operation, used by the list pictures and the side pictures alike.
#           dark      light
encrypt=(  "#1b4f8f" "#4f8fd6" )
decrypt=(  "#23704a" "#52b383" )
shred=(    "#a23224" "#e06a4f" )
hide=(     "#5a3590" "#9a74d0" )
show=(     "#16707e" "#45b2c1" )

# Background of the operation list: white, and RGB(221, 239, 255) behind the row under the pointer.
list_bg="#ffffff"
list_hl="#ddefff"

# arc_lines CX CY R FROM TO -> short line primitives along a circle (degrees, 0 = east, clockwise as
# on screen). ImageMagick 6 closes open arcs and polylines with a chord, so arcs are drawn as segments.
arc_lines() {
  awk -v cx="$1" -v cy="$2" -v r="$3" -v a0="$4" -v a1="$5" 'BEGIN {
    n = 24; pi = atan2(0, -1)
    for (i = 0; i <= n; i++) { a = (a0 + (a1 - a0) * i / n) * pi / 180
      x = cx + r * cos(a); y = cy + r * sin(a)
      if (i) printf "line %.1f,%.1f %.1f,%.1f\n", px, py, x, y
      px = x; py = y } }'
}

# --- glyphs: MVG on a 192 x 192 canvas; $1 = ink colour, $2 = colour of cut-outs -----------------

glyph_encrypt() {  # closed padlock
  cat <<EOF
fill none stroke $1 stroke-width 16 stroke-linecap round
$(arc_lines 96 66 30 180 360)
line 66,66 66,92
line 126,66 126,92
stroke none fill $1
roundrectangle 46,88 146,160 14,14
fill $2
circle 96,116 96,127
rectangle 91,118 101,142
EOF
}

glyph_decrypt() {  # open padlock: the shackle lifted and swung open
  cat <<EOF
fill none stroke $1 stroke-width 16 stroke-linecap round
$(arc_lines 96 56 30 180 360)
line 66,56 66,66
line 126,56 126,92
stroke none fill $1
roundrectangle 46,88 146,160 14,14
fill $2
circle 96,116 96,127
rectangle 91,118 101,142
EOF
}

glyph_shred() {  # a sheet going into a shredder and leaving as strips
  cat <<EOF
stroke none fill $1
polygon 62,28 114,28 132,46 132,84 62,84
fill $2
polygon 114,28 114,46 132,46
rectangle 74,48 118,53
rectangle 74,60 120,65
rectangle 74,72 106,77
fill $1
roundrectangle 40,86 152,108 8,8
rectangle 62,114 71,162
rectangle 79,114 88,150
rectangle 96,114 105,166
rectangle 113,114 122,146
rectangle 130,114 139,158
EOF
}

eye() {  # the open eye shared by hide and show
  cat <<EOF
fill none stroke $1 stroke-width 13
path 'M 30,96 Q 96,34 162,96 Q 96,158 30,96 Z'
stroke none fill $1
circle 96,96 96,122
fill $2
circle 96,96 96,106
fill $1
circle 88,88 88,93
EOF
}

glyph_show() { eye "$1" "$2"; }

glyph_hide() {  # the eye struck through
  eye "$1" "$2"
  cat <<EOF
fill none stroke $2 stroke-width 21 stroke-linecap round
line 46,152 146,40
stroke $1 stroke-width 13
line 46,152 146,40
EOF
}

glyph_shield() {  # the program's mark: a shield with a keyhole
  cat <<EOF
stroke none fill $1
path 'M 96,18 L 160,42 L 160,92 Q 160,146 96,176 Q 32,146 32,92 L 32,42 Z'
fill $2
circle 96,84 96,102
polygon 86,96 106,96 112,138 80,138
EOF
}

# render_glyph NAME COLOUR OPACITY SIZE OUT -> the glyph in one colour on a transparent ground.
# The shapes are drawn white on black first and used as the alpha channel, so cut-outs (keyholes,
# the gap around the stroke through the eye) are real holes whatever lies beneath.
render_glyph() {
  local name=$1 colour=$2 opacity=$3 size=$4 file=$5
  convert -size 192x192 xc:black -draw "$("glyph_$name" white black)" -resize "${size}x${size}" \
    -evaluate multiply "$opacity" "$work/mask.png"
  convert -size "${size}x${size}" xc:"$colour" "$work/mask.png" -alpha off -compose CopyOpacity -composite "$file"
}

# --- operation list: 48 x 48, entries 0-4 plain, 5-9 under the pointer -----------------------------
# A row is 51 pixels high; the picture is centred in it, 15 pixels from the left, and the title starts
# at 80, so 48 x 48 leaves a small margin on every side.

badge() {  # badge NAME DARK LIGHT BACKGROUND HIGHLIGHTED OUT
  local name=$1 dark=$2 light=$3 bg=$4 hl=$5 file=$6
  local top=$light bottom=$dark ring=none
  if [[ $hl == 1 ]]; then
    # under the pointer the badge lights up and gets a white inner ring
    top=$(convert xc:"$light" -modulate 115,110 -format '#%[hex:u.p{0,0}]' info:)
    bottom=$light
    ring="#ffffff"
  fi
  convert -size 176x176 gradient:"$top"-"$bottom" -alpha set \
    \( -size 176x176 xc:none -fill white -draw "roundrectangle 0,0 175,175 38,38" \) \
    -compose DstIn -composite "$work/badge.png"
  render_glyph "$name" white 1 192 "$work/glyph.png"
  convert -size 192x192 xc:"$bg" \
    \( -size 192x192 xc:none -fill "#00000030" -draw "roundrectangle 10,14 185,189 38,38" -blur 0x4 \) \
    -compose Over -composite \
    "$work/badge.png" -geometry +8+8 -compose Over -composite \
    \( "$work/glyph.png" -resize 128x128 \) -geometry +32+32 -compose Over -composite \
    -fill none -stroke "$ring" -strokewidth 6 -draw "roundrectangle 16,16 175,175 32,32" \
    -resize 48x48 -quality 95 -strip "$file"
}

ops=(encrypt decrypt shred hide show)
for i in 0 1 2 3 4; do
  name=${ops[$i]}
  declare -n col=$name
  badge "$name" "${col[0]}" "${col[1]}" "$list_bg" 0 "$out/$i.jpg"
  badge "$name" "${col[0]}" "${col[1]}" "$list_hl" 1 "$out/$((i + 5)).jpg"
  unset -n col
done

# --- side pictures: 290 pixels wide, as tall as the pages area ------------------------------------
# A diagonal gradient in the operation's hue, a soft pattern of rings, and the glyph large and pale.

side() {  # side NAME DARK LIGHT OUT
  local name=$1 dark=$2 light=$3 file=$4
  render_glyph "$name" white 0.85 192 "$work/side-glyph.png"
  convert -size 414x290 gradient:"$light"-"$dark" -rotate 90 "$work/side-bg.png"
  convert "$work/side-bg.png" \
    \( -size 290x414 xc:none -fill none -stroke "#ffffff22" -strokewidth 2 \
       -draw "circle 250,60 250,160" -draw "circle 250,60 250,220" -draw "circle 250,60 250,280" \
       -draw "circle 40,380 40,440" -draw "circle 40,380 40,480" \) -compose Over -composite \
    \( "$work/side-glyph.png" -resize 180x180 \) -geometry +55+110 -compose Over -composite \
    -fill "#ffffff" -draw "rectangle 286,0 289,413" \
    -quality 92 -strip "$file"
}

side encrypt "${encrypt[@]}" "$out/Encrypt.jpg"
side decrypt "${decrypt[@]}" "$out/Decrypt.jpg"
side shred   "${shred[@]}"   "$out/Shred.jpg"
side hide    "${hide[@]}"    "$out/Hide.jpg"
side show    "${show[@]}"    "$out/Show.jpg"

# --- start page: 290 x 410, the mark, the name and the five operation badges -------------------------
mark_dark="#16385f"
mark_light="#3f7cc4"
render_glyph shield white 0.92 192 "$work/shield.png"
convert -size 410x290 gradient:"$mark_light"-"$mark_dark" -rotate 90 \
  \( -size 290x410 xc:none -fill none -stroke "#ffffff1c" -strokewidth 2 \
     -draw "circle 145,120 145,210" -draw "circle 145,120 145,260" -draw "circle 145,120 145,310" \) \
  -compose Over -composite \
  \( "$work/shield.png" -resize 140x140 \) -geometry +75+40 -compose Over -composite \
  -font DejaVu-Sans-Bold -pointsize 30 -fill white -gravity north -annotate +0+196 "Brevikon" \
  -font DejaVu-Sans -pointsize 12 -fill "#dce9f7" -annotate +0+238 "Protects your secret files" \
  -gravity northwest \
  -fill "#ffffff" -draw "rectangle 286,0 289,409" \
  "$work/main.png"
x=22
for name in "${ops[@]}"; do
  declare -n col=$name
  render_glyph "$name" white 1 192 "$work/small.png"
  convert "$work/main.png" \
    \( -size 44x44 xc:none -fill "${col[1]}" -draw "roundrectangle 0,0 43,43 10,10" \) \
    -geometry +$x+300 -compose Over -composite \
    \( "$work/small.png" -resize 32x32 \) -geometry +$((x + 6))+306 -compose Over -composite \
    "$work/main.png"
  unset -n col
  x=$((x + 50))
done
convert "$work/main.png" -quality 92 -strip "$out/MainForm.jpg"

# --- About page: 166 x 200, transparent ----------------------------------------------------------
render_glyph shield "$mark_light" 1 192 "$work/about-shield.png"
convert -size 166x200 xc:none \
  \( "$work/about-shield.png" -resize 150x150 \) -geometry +8+10 -compose Over -composite \
  -font DejaVu-Sans-Bold -pointsize 16 -fill "$mark_dark" -gravity north -annotate +0+170 "Brevikon" \
  -strip "$out/About.png"

# --- button glyphs: 20 x 20, transparent ---------------------------------------------------------
button() {  # button NAME MVG
  convert -size 160x160 xc:none -draw "$2" -resize 20x20 -strip "$out/$1.png"
}
ink="#2d5a8c"
button Options "fill none stroke $ink stroke-width 22
circle 80,80 80,112
stroke-linecap round stroke-width 20
line 80,14 80,34
line 80,126 80,146
line 14,80 34,80
line 126,80 146,80
line 33,33 47,47
line 113,113 127,127
line 33,127 47,113
line 113,47 127,33"
button Help "fill $ink stroke none
circle 80,80 80,6
fill white
font-size 120 font DejaVu-Sans-Bold
text 46,124 '?'"
button Back "fill $ink stroke none
polygon 18,80 78,24 78,58 142,58 142,102 78,102 78,136"
button Next "fill $ink stroke none
polygon 142,80 82,24 82,58 18,58 18,102 82,102 82,136"
button Exit "fill none stroke #a23224 stroke-width 24 stroke-linecap round
line 36,36 124,124
line 124,36 36,124"
button Finish "fill none stroke #23704a stroke-width 24 stroke-linecap round stroke-linejoin round
polyline 24,86 62,124 136,40"

# --- tree pictures: 16 x 16, transparent; drawn on 64 x 64 ---------------------------------------
tree() {  # tree NAME MVG
  convert -size 64x64 xc:none -draw "$2" -resize 16x16 -strip "$out/Tree$1.png"
}
box="fill white stroke #4a6c93 stroke-width 4
roundrectangle 6,6 57,57 6,6"
tree Unchecked "$box"
tree Checked "$box
fill none stroke #1b4f8f stroke-width 8 stroke-linecap round stroke-linejoin round
polyline 16,33 28,45 48,19"
tree Partly "$box
fill #4f8fd6 stroke none
rectangle 18,18 45,45"
tree HardDisk "fill #8a96a6 stroke #4d5866 stroke-width 3
roundrectangle 4,18 59,48 6,6
fill #c5ccd6 stroke none
rectangle 8,22 55,32
fill #3fbf5f
circle 50,40 50,44"
tree Optical "fill #d8dee8 stroke #6b7685 stroke-width 3
circle 32,32 32,4
fill none stroke #a7c7ef stroke-width 6
circle 32,32 32,16
fill white stroke #6b7685 stroke-width 3
circle 32,32 32,24"
tree Removable "fill #3d5f8a stroke #25405f stroke-width 3
polygon 6,6 50,6 58,14 58,58 6,58
fill #d7e1ee stroke none
rectangle 16,8 44,24
fill #3d5f8a
rectangle 34,11 40,21
fill white
rectangle 14,34 50,56"
tree Folder "fill #e2b54a stroke #a97c1c stroke-width 3
polygon 4,14 24,14 30,20 60,20 60,54 4,54
fill #f3cf6c
polygon 4,26 60,26 60,54 4,54"
tree Document "fill white stroke #6b7685 stroke-width 3
polygon 12,4 42,4 54,16 54,60 12,60
fill #dfe5ec
polygon 42,4 42,16 54,16
fill none stroke #9aa6b4 stroke-width 3
line 20,28 46,28
line 20,37 46,37
line 20,46 40,46"
tree Padlock "fill none stroke #8a6a18 stroke-width 7
stroke-linecap round
$(arc_lines 32 20 12 180 360)
line 20,20 20,30
line 44,20 44,30
fill #e2b54a stroke #8a6a18 stroke-width 3
roundrectangle 10,28 54,60 5,5
fill #5a430c stroke none
circle 32,41 32,46
rectangle 30,42 34,52"

echo "make-pictures: wrote $(ls "$out" | wc -l) files to $out"
